// The qap verbs over the transfer layer, run as a user runs them: modules,
// convert (through the dialog library's conversion dialog), devices and
// burn, and their refusals: a disc image that does not match its sheet, a
// full disk.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/testing/file_size_limit.h"
#include "suite/quadrin/tests/quadrin_test_support.h"
#include "tools/qap/tests/run_qap.h"

namespace {

using converter_test::MakeToneWav;
using qap::testing::RunQap;
using Args = std::vector<std::string>;

class TransferCommand : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
  qap::testing::ScratchDir m_dir;
};

TEST_F(TransferCommand, ModulesRegisterListAndUnregister) {
  auto list = RunQap({"modules", "list"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_NE(list.out.find("No modules are registered"), std::string::npos);
  auto registered = RunQap({"modules", "register", "--builtin"});
  EXPECT_EQ(registered.exitCode, 0) << registered.err;
  list = RunQap({"modules", "list"});
  EXPECT_NE(list.out.find("WMAWriter        writer    wma"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("libWentrix.so"), std::string::npos);
  EXPECT_NE(list.out.find("QuadrinRecorder  recorder"), std::string::npos);
  EXPECT_EQ(RunQap({"modules", "unregister", "WMAWriter"}).exitCode, 0);
  EXPECT_EQ(RunQap({"modules", "list"}).out.find("WMAWriter"), std::string::npos);
  const auto bad = RunQap({"modules", "register", m_dir.Write("x.so", "no library")});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("cannot register"), std::string::npos);
  EXPECT_EQ(RunQap({"modules", "register"}).exitCode, 2);
}

// What ffprobe says a file lasts, in seconds; -1 when it cannot read it.
double SecondsByFfprobe(const std::string& file) {
  const std::string command =
      "ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 '" + file + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char line[64] = "";
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  return pclose(pipe) == 0 && read ? std::atof(line) : -1;
}

// Converting goes through the conversion dialog, whose skin controls the
// user has registered.
void RegisterForConverting() {
  ASSERT_EQ(RunQap({"modules", "register", "--builtin"}).exitCode, 0);
  ASSERT_EQ(RunQap({"regsvr", "libSkinControls.so"}).exitCode, 0);
}

TEST_F(TransferCommand, ConvertHasTheDialogWriteEachFileAndRefuseToReplaceOne) {
  RegisterForConverting();
  const std::string tone = MakeToneWav(m_dir, "tone.wav", WavFormat{44100, 2, 16}, 2.0);
  const std::string out = m_dir.File("out");
  std::filesystem::create_directories(out);
  auto converted = RunQap({"convert", tone, "--to", "mp3", "--kbps", "160", "--dest", out});
  ASSERT_EQ(converted.exitCode, 0) << converted.err;
  EXPECT_EQ(converted.out, tone + " -> " + out + "/tone.mp3\n");
  const converter_test::Probe probe = converter_test::ProbeFile(out + "/tone.mp3");
  EXPECT_EQ(probe.bitRate, 160000);
  EXPECT_NEAR(probe.seconds, 2.0, 0.1);
  EXPECT_EQ(quadrin_test::ReadFileTags(out + "/tone.mp3").title, "tone")
      << "the MP3 writer takes no tags: the tag library writes them";

  converted = RunQap({"convert", tone, m_dir.File("missing.wav"), m_dir.Write("notes.txt", "x"), "--to",
                      "mp3", "--dest", out});
  EXPECT_EQ(converted.exitCode, 1);
  EXPECT_NE(converted.err.find(tone + ": File \"" + out + "/tone.mp3\" already exists"), std::string::npos)
      << converted.err;
  EXPECT_NE(converted.err.find("missing.wav: Cannot read \"" + m_dir.File("missing.wav") + "\""),
            std::string::npos)
      << converted.err;
  EXPECT_NE(converted.err.find("notes.txt: no reader module takes .txt files"), std::string::npos);
  const auto unknown = RunQap({"convert", tone, "--to", "ogg"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("no writer module writes .ogg files"), std::string::npos);
  EXPECT_EQ(RunQap({"convert", tone}).exitCode, 2);
}

TEST_F(TransferCommand, ConvertTurnsWavIntoWmaAndWmaIntoWavOfTheSameLength) {
  RegisterForConverting();
  const std::string tone = MakeToneWav(m_dir, "Tone.wav", WavFormat{44100, 2, 16}, 3.0);
  const std::string wma = m_dir.File("wma");
  const std::string back = m_dir.File("back");
  std::filesystem::create_directories(wma);
  std::filesystem::create_directories(back);
  auto converted = RunQap({"convert", tone, "--to", "wma", "--kbps", "128", "--dest", wma});
  ASSERT_EQ(converted.exitCode, 0) << converted.err;
  EXPECT_NEAR(SecondsByFfprobe(wma + "/Tone.wma"), 3.0, 0.1);
  EXPECT_EQ(converter_test::ProbeFile(wma + "/Tone.wma").bitRate, 128000);
  converted = RunQap({"convert", wma + "/Tone.wma", "--to", "wav", "--dest", back});
  ASSERT_EQ(converted.exitCode, 0) << converted.err;
  EXPECT_NEAR(SecondsByFfprobe(back + "/Tone.wav"), 3.0, 0.1);
}

TEST_F(TransferCommand, BurnWritesADiscImageThatDevicesShowThenListsItsTracks) {
  RegisterForConverting();
  const std::string one = MakeToneWav(m_dir, "One.wav", WavFormat{44100, 2, 16}, 4.0);
  const std::string two = MakeToneWav(m_dir, "Two.wav", WavFormat{22050, 1, 16}, 4.0);
  std::filesystem::create_directories(m_dir.File("disc"));
  const std::string image = m_dir.File("disc/image.cdi");
  const auto devices = RunQap({"devices"});
  EXPECT_NE(devices.out.find("QuadrinCDWriter  0      Audio CD image"), std::string::npos)
      << devices.out;
  EXPECT_EQ(RunQap({"burn", one, "--device", "Audio CD image"}).exitCode, 1)
      << "the disc image needs --image";
  EXPECT_EQ(RunQap({"burn", one, "--device", "Audio CD image", "--image", m_dir.File("disc.cdi")})
                .exitCode,
            1)
      << "the dialogs keep their image as image.cdi";
  const auto burned = RunQap({"burn", one, two, m_dir.Write("bad.wav", "x"), "--device",
                              "Audio CD image", "--image", image});
  EXPECT_EQ(burned.exitCode, 1) << "one file was left out";
  EXPECT_NE(burned.err.find(m_dir.File("bad.wav") + ": left out"), std::string::npos) << burned.err;
  EXPECT_NE(burned.out.find(one + " -> burned as \"One\"\n" + two + " -> burned as \"Two\"\n"),
            std::string::npos)
      << burned.out;
  EXPECT_NE(burned.out.find("Burning completed"), std::string::npos);
  const auto shown = RunQap({"devices", "show", "Audio CD image", "--image", image});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_NE(shown.out.find("Total space: 807.5 MB"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("    1. One  (0.7 MB)\n    2. Two  (0.7 MB)"), std::string::npos)
      << shown.out;

  std::filesystem::create_directories(m_dir.File("player"));
  ASSERT_EQ(RunQap({"devices", "add", "Pocket", m_dir.File("player"), "--capacity", "10"}).exitCode, 0);
  const auto player = RunQap({"burn", one, "--device", "Pocket", "--erase"});
  EXPECT_EQ(player.exitCode, 0) << player.err;
  EXPECT_TRUE(std::filesystem::exists(m_dir.File("player/One.mp3")));
  EXPECT_EQ(RunQap({"devices", "remove", "Pocket"}).exitCode, 0);
  EXPECT_EQ(RunQap({"burn", one, "--device", "Pocket"}).exitCode, 1);
}

TEST_F(TransferCommand, ADiscImageItsSheetDoesNotDescribeIsRefusedAndLeftAsItWas) {
  ASSERT_EQ(RunQap({"modules", "register", "--builtin"}).exitCode, 0);
  const std::string image = m_dir.Write("disc.cdi", std::string(600 * 2352, '\x22'));
  const std::string sheet = m_dir.Write("disc.cdi.cue", "garbage\n");
  const auto result = RunQap({"devices", "show", "Audio CD image", "--image", image});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find(image + ".cue is not the CUE sheet of an audio CD image"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(std::filesystem::file_size(image), 600u * 2352);
  EXPECT_EQ(qap::testing::ReadFile(sheet), "garbage\n");
}

TEST_F(TransferCommand, AFullDiskFailsConvertAndBurnNamingTheFileAndTheReason) {
  RegisterForConverting();
  const std::string one = MakeToneWav(m_dir, "One.wav", WavFormat{44100, 2, 16}, 10.0);
  const std::string longer = MakeToneWav(m_dir, "Longer.wav", WavFormat{44100, 2, 16}, 20.0);
  std::filesystem::create_directories(m_dir.File("disc"));
  const std::string image = m_dir.File("disc/image.cdi");
  ASSERT_EQ(RunQap({"burn", one, "--device", "Audio CD image", "--image", image}).exitCode, 0);
  const std::uintmax_t size = std::filesystem::file_size(image);
  std::filesystem::create_directories(m_dir.File("out"));
  {
    // Room for the shorter track's preparation, not for the longer one's.
    qap::testing::FileSizeLimit disk(size + size / 2);
    const auto converted = RunQap({"convert", longer, "--to", "wav", "--dest", m_dir.File("out")});
    EXPECT_EQ(converted.exitCode, 1);
    EXPECT_NE(converted.err.find(longer + ": Conversion failed"), std::string::npos) << converted.err;
    const auto burned = RunQap({"burn", longer, "--device", "Audio CD image", "--image", image});
    EXPECT_EQ(burned.exitCode, 1);
    // Its preparation cannot be written: nothing is burned, and no line claims it was.
    EXPECT_NE(burned.err.find(longer + ": left out"), std::string::npos) << burned.err;
    EXPECT_NE(burned.err.find("No tracks prepared. Burning process canceled."), std::string::npos);
    EXPECT_EQ(burned.out.find("Burning completed"), std::string::npos) << burned.out;
  }
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("out/Longer.wav")));
}

}  // namespace
