// LBAgent2's command-line rules: the switches, text after them, paths that
// look like switches, and quoted and unquoted program paths.
#include "agent/command_line.h"

#include <gtest/gtest.h>

namespace {

void ExpectStart(const std::string& line, StartMode mode, const std::string& argument = "") {
  SCOPED_TRACE(line);
  StartCommand command = ParseCommandLine(line);
  EXPECT_EQ(static_cast<int>(command.mode), static_cast<int>(mode));
  EXPECT_EQ(command.argument, argument);
}

TEST(CommandLine, EachSwitchIsRecognisedInAnyCaseAfterDashOrSlash) {
  ExpectStart(R"("C:\Agent\LBAgent2.exe" /RegServer)", StartMode::kRegister);
  ExpectStart(R"("C:\Agent\LBAgent2.exe" -regserver)", StartMode::kRegister);
  ExpectStart(R"("C:\Agent\LBAgent2.exe" /UNREGSERVER)", StartMode::kUnregister);
  ExpectStart(R"("C:\Agent\LBAgent2.exe" -Embedding)", StartMode::kServer);
  ExpectStart(R"(C:\Agent\LBAgent2.exe /Automation)", StartMode::kServer);
  // An unknown switch before a known one is skipped.
  ExpectStart(R"("C:\Agent\LBAgent2.exe" -x /Embedding)", StartMode::kServer);
}

TEST(CommandLine, ASwitchIsTheWholeRestOfTheLine) {
  ExpectStart(R"("C:\Agent\LBAgent2.exe" /RegServer now)", StartMode::kNothing);
  ExpectStart(R"("C:\Agent\LBAgent2.exe" /RegServer )", StartMode::kNothing);
  ExpectStart(R"("C:\Agent\LBAgent2.exe" -Embedding -x)", StartMode::kNothing);
  ExpectStart(R"("C:\Agent\LBAgent2.exe" /Unknown)", StartMode::kNothing);
}

TEST(CommandLine, AFileArgumentWithADashOrSlashCountsAsASwitch) {
  ExpectStart(R"("C:\Agent\LBAgent2.exe" C:\Music\a-b.mp3)", StartMode::kNothing);
  ExpectStart(R"("/usr/lib/qap/LBAgent2" /home/user/song.mp3)", StartMode::kNothing);
}

TEST(CommandLine, AQuotedProgramPathHandsTheRestOnAsItStands) {
  ExpectStart(R"("C:\Agent\LBAgent2.exe" C:\Music\song.mp3)", StartMode::kHandOff,
              R"(C:\Music\song.mp3)");
  ExpectStart(R"("C:\Agent\LBAgent2.exe"    "C:\My Music\song.mp3")", StartMode::kHandOff,
              R"("C:\My Music\song.mp3")");
  ExpectStart(R"("C:\Agent\LBAgent2.exe")", StartMode::kServer);
  ExpectStart(R"("C:\Agent\LBAgent2.exe"   )", StartMode::kServer);
  // Unquoted, the program path ends at the first blank and the rest is not
  // handed off.
  ExpectStart(R"(C:\Agent\LBAgent2.exe song.mp3)", StartMode::kServer);
  ExpectStart(R"(C:\Agent\LBAgent2.exe)", StartMode::kServer);
}

TEST(CommandLine, AFolderWithADashInTheProgramPathChangesNothing) {
  ExpectStart(R"("/opt/qap-suite/bin/LBAgent2" song.mp3)", StartMode::kHandOff, "song.mp3");
  ExpectStart(R"("/opt/qap-suite/bin/LBAgent2")", StartMode::kServer);
  ExpectStart(R"(/opt/qap-suite/bin/LBAgent2 -Embedding)", StartMode::kServer);
}

TEST(CommandLine, TheProcessArgumentsBecomeTheLineWindowsWouldPass) {
  const char* argv[] = {"/opt/qap suite/LBAgent2", "C:\\My Music\\a.mp3", "-Embedding"};
  EXPECT_EQ(CommandLineOf(3, argv), R"("/opt/qap suite/LBAgent2" "C:\My Music\a.mp3" -Embedding)");
  const char* alone[] = {"LBAgent2"};
  EXPECT_EQ(CommandLineOf(1, alone), R"("LBAgent2")");
}

}  // namespace
