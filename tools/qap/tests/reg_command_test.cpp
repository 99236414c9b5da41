// qap reg and qap demo, run as a user runs them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/testing/scratch.h"
#include "tools/qap/tests/run_qap.h"

namespace {

using qap::testing::RunQap;

// ASCII text as the UTF-16LE file regedit writes, byte order mark first.
std::string Utf16(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes.push_back(c);
    bytes.push_back('\0');
  }
  return bytes;
}

class RegCommand : public ::testing::Test {
 protected:
  // The child process inherits QAP_REGISTRY from the scratch hive.
  qap::testing::ScratchHive m_hive;
};

TEST_F(RegCommand, AddQueryAndDeleteWorkLikeWindowsReg) {
  auto result = RunQap({"reg", "add", "HKCU\\Software\\T", "/v", "Name", "/d", "Zelvar", "/f"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "The operation completed successfully.\n");
  ASSERT_EQ(RunQap({"reg", "add", "HKEY_CURRENT_USER\\Software\\T", "/v", "Count", "/t",
                    "REG_DWORD", "/d", "0x10", "/f"}).exitCode, 0);
  ASSERT_EQ(RunQap({"reg", "add", "HKCU\\Software\\T\\Sub", "/ve", "/t", "reg_binary", "/d",
                    "0aff"}).exitCode, 0);

  result = RunQap({"reg", "query", "hkcu\\software\\t"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "\nhkcu\\software\\t\n"
            "    Name    REG_SZ    Zelvar\n"
            "    Count    REG_DWORD    0x10\n"
            "hkcu\\software\\t\\Sub\n");
  result = RunQap({"reg", "query", "HKCU\\Software\\T\\Sub", "/ve"});
  EXPECT_EQ(result.out, "\nHKCU\\Software\\T\\Sub\n    (Default)    REG_BINARY    0AFF\n");

  // Without /f nothing is overwritten or deleted when nobody can be asked.
  result = RunQap({"reg", "add", "HKCU\\Software\\T", "/v", "Name", "/d", "Other"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(RunQap({"reg", "delete", "HKCU\\Software\\T"}).exitCode, 1);
  EXPECT_NE(RunQap({"reg", "query", "HKCU\\Software\\T", "/v", "name"}).out.find("Zelvar"),
            std::string::npos);

  EXPECT_EQ(RunQap({"reg", "delete", "HKCU\\Software\\T", "/v", "Name", "/f"}).exitCode, 0);
  result = RunQap({"reg", "query", "HKCU\\Software\\T", "/v", "Name"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("unable to find"), std::string::npos);
  EXPECT_EQ(RunQap({"reg", "delete", "HKCU\\Software\\T", "/f"}).exitCode, 0);
  EXPECT_EQ(RunQap({"reg", "query", "HKCU\\Software\\T"}).exitCode, 1);
}

TEST_F(RegCommand, ExportAndImportRoundTripThroughAFile) {
  ASSERT_EQ(RunQap({"reg", "add", "HKLM\\Software\\R", "/v", "Text", "/d", "a \"quoted\" \\ path",
                    "/f"}).exitCode, 0);
  std::string file = m_hive.Dir().File("out.reg");
  ASSERT_EQ(RunQap({"reg", "export", "HKLM\\Software\\R", file}).exitCode, 0);
  std::string exported = qap::testing::ReadFile(file);
  EXPECT_EQ(exported, Utf16("Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_LOCAL_MACHINE\\Software\\R]\r\n"
                            "\"Text\"=\"a \\\"quoted\\\" \\\\ path\"\r\n\r\n"));
  ASSERT_EQ(RunQap({"reg", "export", "HKLM\\Software\\R", m_hive.Dir().File("old.reg"), "/a"}).exitCode,
            0);
  EXPECT_EQ(qap::testing::ReadFile(m_hive.Dir().File("old.reg")),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\R]\r\n"
            "\"Text\"=\"a \\\"quoted\\\" \\\\ path\"\r\n\r\n");
  EXPECT_EQ(RunQap({"reg", "export", "HKLM\\Software\\R", file}).exitCode, 1);  // exists, no /y
  ASSERT_EQ(RunQap({"reg", "delete", "HKLM\\Software\\R", "/f"}).exitCode, 0);
  ASSERT_EQ(RunQap({"reg", "import", file}).exitCode, 0);
  EXPECT_NE(RunQap({"reg", "query", "HKLM\\Software\\R"}).out.find("a \"quoted\" \\ path"),
            std::string::npos);
}

// Two processes, one of each code page: what either writes, the other reads
// as the same characters.
TEST_F(RegCommand, ATextWrittenUnderOneCodePageReadsTheSameUnderTheOther) {
  const std::string utf8 = "Gr\xC3\xBC\xC3\x9F" "e";
  const std::string cp1252 = "Gr\xFC\xDF" "e";
  auto western = [](std::vector<std::string> args) {
    setenv("QAP_ACP", "1252", 1);
    auto result = RunQap(args);
    unsetenv("QAP_ACP");
    return result;
  };
  ASSERT_EQ(western({"reg", "add", "HKCU\\Software\\T", "/v", "West", "/d", cp1252, "/f"}).exitCode, 0);
  ASSERT_EQ(RunQap({"reg", "add", "HKCU\\Software\\T", "/v", "Wide", "/d", utf8, "/f"}).exitCode, 0);
  EXPECT_EQ(RunQap({"reg", "query", "HKCU\\Software\\T", "/v", "West"}).out,
            "\nHKCU\\Software\\T\n    West    REG_SZ    " + utf8 + "\n");
  EXPECT_EQ(western({"reg", "query", "HKCU\\Software\\T", "/v", "Wide"}).out,
            "\nHKCU\\Software\\T\n    Wide    REG_SZ    " + cp1252 + "\n");
}

TEST_F(RegCommand, BadArgumentsSayWhatIsWrongAndFail) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"reg"}, "missing operation"},
      {{"reg", "frobnicate", "HKCU\\X"}, "unknown operation"},
      {{"reg", "add", "HKXX\\Software"}, "Invalid key name"},
      {{"reg", "add", "HKCU\\X", "/v"}, "/v needs a value name"},
      {{"reg", "add", "HKCU\\X", "/v", "n", "/t", "REG_WHATEVER", "/d", "1"}, "unknown type"},
      {{"reg", "add", "HKCU\\X", "/v", "n", "/t", "REG_DWORD", "/d", "12abc"}, "not a valid"},
      {{"reg", "add", "HKCU\\X", "/v", "n", "/t", "REG_BINARY", "/d", "abc"}, "even number"},
      {{"reg", "export", "HKCU\\X"}, "export takes KEY and FILE"},
      {{"nosuchverb"}, "unknown verb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    auto result = RunQap(c.args);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  auto help = RunQap({"reg", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("qap reg query KEY"), std::string::npos);
}

TEST(DemoCommand, RunsInItsOwnScratchFolderAndLeavesTheCallersHiveAlone) {
  qap::testing::ScratchHive hive;
  qap::testing::ScratchDir demoDir;
  auto result = RunQap({"demo", "--dir", demoDir.File("demo")});
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Windows Registry Editor Version 5.00"), std::string::npos);
  EXPECT_NE(result.out.find(demoDir.File("demo")), std::string::npos);
  EXPECT_EQ(RunQap({"reg", "query", "HKCU\\Software\\QAP Demo"}).exitCode, 1);
}

}  // namespace
