// The go-to-locker page: its bytes, the escaping that keeps any name and
// password inside their strings, the encoding it declares, who may read it,
// and the browser that opens it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "agent/tests/agent_test_support.h"

namespace qap::testing {
namespace {

constexpr const char* kUtf8Mark = "\xEF\xBB\xBF";

std::string Page(const std::string& user, const std::string& password, const std::string& action,
                 const std::string& encoding = kUtf8Mark) {
  return encoding +
         "<HTML> \n <BODY onLoad=\"aa()\"><SCRIPT> function "
         "aa(){window.document.myform.LB_USERID.value = \"" +
         user + "\";window.document.myform.LB_PASSWD.value = \"" + password +
         "\";window.document.myform.submit();}</SCRIPT>"
         "<P><FORM NAME=\"myform\" METHOD=\"POST\" ACTION=\"" +
         action +
         "\"><INPUT TYPE=\"HIDDEN\" NAME=\"LB_USERID\"><INPUT TYPE=\"HIDDEN\" NAME=\"LB_PASSWD\"> "
         "</FORM> </P></BODY> </HTML>";
}

class LockerPageTest : public AgentTest {
 protected:
  // A browser that writes the page it was given to "<browser>.opened".
  std::string Browser() {
    std::string path =
        m_musicDir.Write("browser", "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.opened\"\n");
    chmod(path.c_str(), 0755);
    return path;
  }
  std::string PagePath() const { return m_agentDir.File("gohome.htm"); }
};

TEST_F(LockerPageTest, ThePageLogsTheStoredUserInAtTheLoginUrlAndOpensInTheBrowser) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  std::string browser = Browser();
  ScopedEnvironment chosen("BROWSER", browser);
  EXPECT_EQ(Locker().GotoLocker(), LockerPage::kOpened);
  EXPECT_EQ(ReadFile(PagePath()),
            Page("alice", "pa&ss=word", "http://www.locker.test/servlet/Authenticate"));
  struct stat info {};
  ASSERT_EQ(stat(PagePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_TRUE(WaitFor([&] { return ReadFile(browser + ".opened") == PagePath(); }))
      << ReadFile(browser + ".opened");
}

TEST_F(LockerPageTest, QuotesAndScriptEndsInTheCredentialsStayInsideTheirStrings) {
  m_agentDir.Write("lbagent.ini",
                   "AuthUserURL=http://www.locker.test/servlet/Authenticate?a=1&b=\"<x>'\n");
  StartLocker();
  ASSERT_TRUE(LogIn());
  Manager().SetCredentials("al\"ice\\", "p\"w</SCRIPT><b>\n\xC3\xA9\xE2\x80\xA8");
  ScopedEnvironment chosen("BROWSER", Browser());
  // A page left behind readable by others is narrowed too.
  m_agentDir.Write("gohome.htm", "old");
  chmod(PagePath().c_str(), 0644);
  EXPECT_EQ(Locker().GotoLocker(), LockerPage::kOpened);
  EXPECT_EQ(ReadFile(PagePath()),
            Page("al\\u0022ice\\u005c",
                 "p\\u0022w\\u003c/SCRIPT\\u003e\\u003cb\\u003e\\u000a\\u00e9\\u2028",
                 "http://www.locker.test/servlet/Authenticate?a=1&amp;b=&quot;&lt;x&gt;&#39;"));
  struct stat info {};
  ASSERT_EQ(stat(PagePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// The form is posted in the code page the page is read in, which must be
// the one the agent's own login spoke.
TEST_F(LockerPageTest, APageInWindows1252SaysSoForTheBrowserToPostTheFormInIt) {
  ScopedEnvironment codePage("QAP_ACP", "1252");
  StartLocker();
  ASSERT_TRUE(LogIn());
  Manager().SetCredentials("Ren\xE9", "\x80uro");
  ScopedEnvironment chosen("BROWSER", Browser());
  EXPECT_EQ(Locker().GotoLocker(), LockerPage::kOpened);
  EXPECT_EQ(ReadFile(PagePath()),
            Page("Ren\\u00e9", "\\u20acuro", "http://www.locker.test/servlet/Authenticate",
                 "<META CHARSET=\"windows-1252\">"));
}

TEST_F(LockerPageTest, LoggedOutNoPageIsWritten) {
  StartLocker();
  EXPECT_EQ(Locker().GotoLocker(), LockerPage::kNotLoggedIn);
  EXPECT_TRUE(Logged("GotoLokbinLocker failed, user is not logged in."));
  EXPECT_EQ(ReadFile(PagePath()), "");
}

TEST_F(LockerPageTest, ABrowserThatCannotStartIsLoggedAndReported) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  ScopedEnvironment chosen("BROWSER", m_musicDir.File("no-such-browser"));
  EXPECT_EQ(Locker().GotoLocker(), LockerPage::kNoBrowser);
  EXPECT_TRUE(Logged("Failed to launch browser"));
  EXPECT_NE(ReadFile(PagePath()), "");
}

}  // namespace
}  // namespace qap::testing
