// Demo step: the transfer layer. The suite's modules are registered in the
// demo's hive; a tagged tone goes from WAV to WMA and to MP3 and back to WAV
// through the dialog library's conversion dialog, pictured offscreen, and the
// three files are burned through its recorder dialog to an audio-CD disc
// image whose table of contents is then read back from the device.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "converters/wav_file.h"
#include "suite/hobrin/tag_block.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Demo(DemoContext& context) {
  const std::string folder = context.scratch + "/transfer";
  const std::string back = folder + "/back";
  const std::string disc = folder + "/disc";
  std::filesystem::create_directories(back + "/from-wma");
  std::filesystem::create_directories(back + "/from-mp3");
  std::filesystem::create_directories(disc);
  const std::string tone = folder + "/tone.wav";
  std::cout << "Making a 4-second 440 Hz stereo tone, tagged \"Demo tone\" by \"qap demo\": "
            << tone << "\n";
  std::string error;
  TagBlock tags{};
  std::snprintf(tags.title, sizeof tags.title, "Demo tone");
  std::snprintf(tags.artist, sizeof tags.artist, "qap demo");
  std::snprintf(tags.album, sizeof tags.album, "Transfer layer");
  if (!WriteToneWav(tone, WavFormat{44100, 2, 16}, 4.0, 440.0, &error) || !WriteTagBlock(tone.c_str(), tags)) {
    std::cerr << "qap demo: cannot make " << tone << " " << error << "\n";
    return 1;
  }
  std::cout << "Registering the suite's modules in the demo's registry:\n";
  if (int code = RunVerbShown("modules", {"register", "--builtin"})) return code;
  if (int code = RunVerbShown("modules", {"list"})) return code;
  std::cout << "And the skin controls that the dialog library's dialogs embed:\n";
  if (int code = RunVerbShown("regsvr", {"libSkinControls.so"})) return code;
  std::cout << "Converting the tone to WMA and to MP3, then both back to WAV. Each \"qap convert\"\n"
               "queues its files for the dialog library's conversion dialog and a window\n"
               "script drives the dialog as a person would: the output kind, \"Select\n"
               "Destination Path\" with the folder typed in, Convert, every track's status,\n"
               "Exit. Queued tracks are named after their files.\n";
  const std::string pictures = folder + "/pictures";
  if (int code = RunVerbShown("convert", {tone, "--to", "wma", "--kbps", "128", "--dest", folder,
                                          "--screenshots", pictures})) {
    return code;
  }
  if (int code = RunVerbShown("convert", {tone, "--to", "mp3", "--kbps", "192", "--dest", folder})) return code;
  for (const char* format : {"wma", "mp3"}) {
    const std::string source = folder + "/tone." + format;
    const std::string dest = back + "/from-" + format;
    if (int code = RunVerbShown("convert", {source, "--to", "wav", "--dest", dest})) return code;
  }
  std::cout << "Pictures of the conversion dialog, before and after converting: " << pictures
            << "/conversion-ready.png, " << pictures << "/conversion-done.png\n";
  std::cout << "Burning the three files to an audio-CD image through the dialog library's\n"
               "recorder dialog: \"qap burn\" queues them and a window script chooses the\n"
               "device, presses Prepare, then Burn, and reads what became of each track. The\n"
               "tracks' names become the disc's CD-TEXT titles:\n";
  if (int code = RunVerbShown("devices", {})) return code;
  const std::string image = disc + "/image.cdi";
  if (int code = RunVerbShown("burn", {tone, folder + "/tone.wma", folder + "/tone.mp3",
                                       "--device", "Audio CD image", "--image", image})) {
    return code;
  }
  if (int code = RunVerbShown("devices", {"show", "Audio CD image", "--image", image})) {
    return code;
  }
  std::cout << "The CUE sheet beside the image (" << image << ".cue):\n";
  std::ifstream sheet(image + ".cue");
  std::stringstream text;
  text << sheet.rdbuf();
  std::cout << text.str();
  return 0;
}

const DemoStepRegistrar kStep({600, "Transfer layer: conversion and burning", Demo});

}  // namespace
}  // namespace qap
