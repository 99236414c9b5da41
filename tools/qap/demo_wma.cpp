// Demo step: the WMA converter components. A generated tone goes into a WMA
// file through the writer, and its format, tags and audio come back out
// through the reader.
#include <iostream>

#include "converters/wav_file.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Demo(DemoContext& context) {
  const std::string tone = context.scratch + "/tone.wav";
  const std::string wma = context.scratch + "/tone.wma";
  const std::string decoded = context.scratch + "/tone-decoded.wav";
  std::cout << "Making a 3-second 440 Hz stereo tone at 44100 Hz: " << tone << "\n";
  std::string error;
  if (!WriteToneWav(tone, WavFormat{44100, 2, 16}, 3.0, 440.0, &error)) {
    std::cerr << "qap demo: " << error << "\n";
    return 1;
  }
  std::cout << "Encoding it to WMA through the writer component (Wentrix):\n";
  if (int code = RunVerbShown("wma", {"encode", tone, wma, "--kbps", "96", "--title", "Demo tone", "--author",
                         "qap demo", "--description", "440 Hz for three seconds"})) {
    return code;
  }
  std::cout << "Reading its format and tags back through the reader component (Lumbrix):\n";
  if (int code = RunVerbShown("wma", {"info", wma})) return code;
  std::cout << "Decoding it back to PCM:\n";
  return RunVerbShown("wma", {"decode", wma, decoded});
}

const DemoStepRegistrar kStep({300, "WMA converter components", Demo});

}  // namespace
}  // namespace qap
