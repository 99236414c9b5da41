// The configuration file's reading rules and the log's line format.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "agent/agent_config.h"
#include "agent/tests/agent_test_support.h"

namespace qap::testing {
namespace {

class ConfigTest : public AgentTest {
 protected:
  CAgentConfig& Load(const std::string& ini) {
    m_agentDir.Write("lbagent.ini", ini);
    m_config = std::make_unique<CAgentConfig>(m_agentDir.Path() + "/", "www.locker.test");
    m_config->GetUploadURL();
    return *m_config;
  }
  std::unique_ptr<CAgentConfig> m_config;
};

TEST_F(ConfigTest, KeysCountWhereverTheyStandAndTheLastLineWinsEvenWithoutABreak) {
  CAgentConfig& config = Load(
      "[LBAgent]\r\n"
      "; AuthUserURL=http://comment.test/\r\n"
      "AuthUserURL=http://first.test/login\r\n"
      "no equals sign here\n"
      "[Other]\r"
      "authuserurl=http://lower.test/\n"
      "AuthUserURL =http://blank.test/\n"
      "XferURL=http://x.test/servlet/Xfer?a=b=c\n"
      "AuthUserURL=http://second.test/login");
  EXPECT_EQ(config.GetAuthUserURL(), "http://second.test/login");
  EXPECT_EQ(config.GetUploadURL(), "http://www.locker.test/get_ulhost/lb/");
  EXPECT_EQ(config.GetXferURL(), "http://x.test/servlet/Xfer?a=b=c");
  EXPECT_EQ(config.GetAppDirectory(), m_agentDir.Path());

  std::vector<std::string> expected = {
      "LogFile was created.",
      ">>>>> Config File processing started...",
      "App directory was set to '" + m_agentDir.Path() + "'",
      "'AuthUserURL' directory was set to 'http://first.test/login'",
      "'authuserurl' = 'http://lower.test/' entry was dropped: no use",
      "'AuthUserURL ' = 'http://blank.test/' entry was dropped: no use",
      "'XferURL' directory was set to 'http://x.test/servlet/Xfer?a=b=c'",
      "'AuthUserURL' directory was set to 'http://second.test/login'",
      "Result: AuthenticateURL: 'http://second.test/login'",
      "Result: UploadURL: 'http://www.locker.test/get_ulhost/lb/'",
      ">>>>> Config File processing was finished..."};
  EXPECT_EQ(LogMessages(), expected);
}

TEST_F(ConfigTest, AnEmptyValueSetsTheEmptyStringAndTheFileIsReadOnlyOnce) {
  CAgentConfig& config = Load("UploadURL=\n");
  EXPECT_EQ(config.GetUploadURL(), "");
  EXPECT_TRUE(config.IsLoaded());
  m_agentDir.Write("lbagent.ini", "UploadURL=http://later.test/\n");
  EXPECT_EQ(config.GetUploadURL(), "");
  EXPECT_EQ(config.GetAuthUserURL(), "http://www.locker.test/servlet/Authenticate");
  EXPECT_EQ(config.GetXferURL(), "");
}

TEST_F(ConfigTest, AMissingOrUnreadableFileKeepsTheDefaultsAndIsLoggedAsAnError) {
  CAgentConfig missing(m_agentDir.Path(), "www.locker.test");
  EXPECT_EQ(missing.GetAuthUserURL(), "http://www.locker.test/servlet/Authenticate");
  ScratchDir folderAsFile;
  std::filesystem::create_directory(folderAsFile.File("lbagent.ini"));
  CAgentConfig unreadable(folderAsFile.Path(), "www.locker.test");
  EXPECT_EQ(unreadable.GetXferURL(), "");

  std::string log = LogText();
  std::regex line(
      "Error at [A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} "
      "[0-9]{4} : Failed to open config file\r\n");
  EXPECT_TRUE(std::regex_search(log, line)) << log;
  EXPECT_NE(log.find(" : Failed to read config file\r\n"), std::string::npos);
}

TEST_F(ConfigTest, LogLinesCarryTheirLevelPrefixAndKeepATrailingNewline) {
  CLogFile::Current()->Write("plain", 0);
  CLogFile::Current()->Write("careful", 1);
  CLogFile::Current()->Write("broken\n", 2);
  CLogFile::Current()->Write("doomed", 3);
  CLogFile::Current()->Write("unranked", 7);
  std::string log = LogText();
  EXPECT_NE(log.find("\r\nMessage at "), std::string::npos);
  EXPECT_NE(log.find(" : plain\r\nWarning at "), std::string::npos);
  EXPECT_NE(log.find(" : careful\r\nError at "), std::string::npos);
  EXPECT_NE(log.find(" : broken\n\r\nFatal error at "), std::string::npos);
  std::regex unranked(
      "\r\n[A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] [0-9:]{8} [0-9]{4} : unranked\r\n$");
  EXPECT_TRUE(std::regex_search(log, unranked)) << log;
}

TEST_F(ConfigTest, ALogThatCannotBeCreatedStaysSilentAndANewLogStartsEmptyForItsOwnerOnly) {
  {
    CLogFile nowhere("/nonexistent-folder/for/sure");
    EXPECT_FALSE(nowhere.IsOpen());
    AgentLog(kLogError, "goes nowhere");
  }
  EXPECT_EQ(CLogFile::Current(), nullptr);
  m_log.reset();
  // A log left behind readable by others is narrowed: it carries the
  // session cookie.
  chmod(m_agentDir.File("LogFile.log").c_str(), 0644);
  m_log = std::make_unique<CLogFile>(m_agentDir.Path());
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"LogFile was created."}));
  struct stat info {};
  ASSERT_EQ(stat(m_agentDir.File("LogFile.log").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  m_log.reset();
  EXPECT_EQ(LogMessages(),
            (std::vector<std::string>{"LogFile was created.", "LogFile was closed."}));
}

}  // namespace
}  // namespace qap::testing
