// Command lines split and joined by the Windows rules, and programs started
// the way CreateProcessA starts them.
#include "platform/base/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/base/sync.h"
#include "platform/testing/scratch.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLines, SplitByTheRuntimesRules) {
  const std::pair<const char*, Args> cases[] = {
      {R"(prog a b)", {"prog", "a", "b"}},
      {"prog \t a\t\tb  ", {"prog", "a", "b"}},
      {R"("C:\Program Files\p.exe" x)", {R"(C:\Program Files\p.exe)", "x"}},
      // The program name knows no backslash escapes: the quote opens a run.
      {R"(C:\dir\\p.exe\" x)", {R"(C:\dir\\p.exe\ x)"}},
      {R"(p "a b" c)", {"p", "a b", "c"}},
      {R"(p a"b c"d)", {"p", "ab cd"}},
      {R"(p \"a\")", {"p", R"("a")"}},
      {R"(p a\\\"b)", {"p", R"(a\"b)"}},
      {R"(p a\\\\"b c")", {"p", R"(a\\b c)"}},
      {R"(p a\b\c)", {"p", R"(a\b\c)"}},
      {R"(p "a""b")", {"p", R"(a"b)"}},
      {R"(p "" x)", {"p", "", "x"}},
      {R"(p "unterminated rest)", {"p", "unterminated rest"}},
      {"", {""}},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(CommandLineToArgs(line), expected) << line;
  }
}

TEST(CommandLines, JoiningQuotesOnlyWhatNeedsItAndSplitsBackTheSame) {
  EXPECT_EQ(ArgsToCommandLine({"p", "a", "b c"}), R"(p a "b c")");
  const Args tricky = {
      "C:\\Program Files\\p.exe", "",          "a\"b",   "trailing\\", "in \\\" mid",
      "C:\\Music\\x y\\",         "tab\there", "%s 100%"};
  EXPECT_EQ(CommandLineToArgs(ArgsToCommandLine(tricky)), tricky);
}

class ProcessTest : public ::testing::Test {
 protected:
  // Starts sh with a script and its arguments, waits (bounded) for it to
  // end and returns its exit code.
  DWORD RunShell(const std::string& script, const Args& extra, BOOL inherit = FALSE,
                 DWORD flags = 0, const char* folder = nullptr) {
    SCOPED_TRACE(script);
    Args args = {"sh", "-c", script, "sh"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string line = ArgsToCommandLine(args);
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(CreateProcessA("/bin/sh", line.data(), nullptr, nullptr, inherit, flags, nullptr,
                               folder, nullptr, &info));
    EXPECT_EQ(info.hThread, nullptr);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    CloseHandle(info.hProcess);
    return code;
  }
  qap::testing::ScratchDir m_dir;
};

TEST_F(ProcessTest, AProgramGetsItsArgumentsAndItsExitCodeComesBack) {
  std::string out = m_dir.File("args");
  EXPECT_EQ(RunShell("printf '%s|' \"$@\" > \"$1\"; exit 7", {out, "two words", "x\"y"}), 7u);
  EXPECT_EQ(qap::testing::ReadFile(out), out + "|two words|x\"y|");
}

TEST_F(ProcessTest, WithoutInheritanceOnlyTheStandardDescriptorsReachTheProgram) {
  int leaked = open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
  ASSERT_GE(leaked, 3);
  std::string script = "test -e /proc/$$/fd/" + std::to_string(leaked) + " && exit 1; exit 0";
  EXPECT_EQ(RunShell(script, {}), 0u);
  EXPECT_EQ(RunShell(script, {}, TRUE), 1u);
  close(leaked);
}

TEST_F(ProcessTest, ANewProcessGroupAndAFolderAreHonoured) {
  std::string out = m_dir.File("where");
  // Field 5 of /proc/PID/stat is the process group.
  RunShell("cut -d' ' -f5 /proc/$$/stat > \"$1\"; echo $$ >> \"$1\"; pwd >> \"$1\"", {out}, FALSE,
           CREATE_NEW_PROCESS_GROUP, m_dir.Path().c_str());
  std::string text = qap::testing::ReadFile(out);
  size_t first = text.find('\n');
  size_t second = text.find('\n', first + 1);
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_EQ(text.substr(0, first), text.substr(first + 1, second - first - 1));
  EXPECT_EQ(text.substr(second + 1), m_dir.Path() + "\n");
  EXPECT_NE(text.substr(0, first), std::to_string(getpgrp()));
}

TEST_F(ProcessTest, AProgramThatCannotBeFoundIsAnErrorOfTheCall) {
  PROCESS_INFORMATION info{};
  std::string missing = m_dir.File("no-such-program");
  std::string line = ArgsToCommandLine({missing});
  EXPECT_FALSE(CreateProcessA(missing.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, nullptr, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  std::string searched = "qap-no-such-program-anywhere";
  EXPECT_FALSE(CreateProcessA(nullptr, searched.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, nullptr, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
