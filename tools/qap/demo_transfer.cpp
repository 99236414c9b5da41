// Demo step: the transfer layer. The suite's modules are registered in the
// demo's hive; a tagged tone goes from WAV to WMA and to MP3 and back to WAV
// through the dialog library's conversion dialog, pictured offscreen, and the
// three files are burned through its recorder dialog and its simple mode to
// audio-CD disc images whose tables of contents are then read back from the
// device, and copied to a portable player.
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
  std::cout << "Burning the three files and a damaged one to an audio-CD image through the\n"
               "dialog library's recorder dialog: \"qap burn\" queues them and a window script\n"
               "chooses the device, presses Prepare, then Burn, and reads what became of each\n"
               "track (the damaged file stays red: it is left out). The image lives beside the\n"
               "dialogs' skin, copied into the disc's folder:\n";
  if (int code = RunVerbShown("devices", {})) return code;
  namespace fs = std::filesystem;
  const auto copyOptions = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
  const std::string disc2 = folder + "/simple-disc";
  fs::create_directories(disc2);
  for (const std::string& to : {disc, disc2}) {
    fs::copy(context.binDir + "/Drumlet.skn", to + "/Drumlet.skn", copyOptions);
    fs::copy(context.binDir + "/skin", to + "/skin", copyOptions);
  }
  const std::string damaged = folder + "/damaged.wav";
  std::ofstream(damaged) << "not audio";
  const std::string image = disc + "/image.cdi";
  // The damaged file is left out, which the command's status says.
  RunVerbShown("burn", {tone, folder + "/tone.wma", folder + "/tone.mp3", damaged, "--device",
                        "Audio CD image", "--image", image, "--screenshots", pictures});
  if (int code = RunVerbShown("devices", {"show", "Audio CD image", "--image", image})) {
    return code;
  }
  std::cout << "The CUE sheet beside the image (" << image << ".cue):\n";
  std::ifstream sheet(image + ".cue");
  std::stringstream text;
  text << sheet.rdbuf();
  std::cout << text.str();
  std::cout << "The same files through the simple mode, which asks nothing while they fit:\n";
  const std::string image2 = disc2 + "/image.cdi";
  if (int code = RunVerbShown("burn", {tone, folder + "/tone.wma", folder + "/tone.mp3", "--device",
                                       "Audio CD image", "--image", image2, "--simple", "--screenshots",
                                       pictures})) {
    return code;
  }
  if (int code = RunVerbShown("devices", {"show", "Audio CD image", "--image", image2})) return code;
  std::cout << "And to a portable player, a music folder of 64 MB, through the recorder dialog\n"
               "(MP3 and WMA files go as they are, the WAV file becomes MP3):\n";
  const std::string player = folder + "/player";
  fs::create_directories(player);
  if (int code = RunVerbShown("devices", {"add", "Demo player", player, "--capacity", "64"})) return code;
  if (int code = RunVerbShown("burn", {tone, folder + "/tone.wma", "--device", "Demo player"})) return code;
  if (int code = RunVerbShown("devices", {"show", "Demo player"})) return code;
  std::cout << "Pictures of the recorder dialog after preparing (green: prepared, red: left\n"
               "out) and after burning, and of the simple mode's \"Burning\" window: "
            << pictures << "/recorder-prepared.png, " << pictures << "/recorder-burned.png, " << pictures
            << "/recorder-simple.png\n";
  return 0;
}

const DemoStepRegistrar kStep({600, "Transfer layer: conversion and burning", Demo});

}  // namespace
}  // namespace qap
