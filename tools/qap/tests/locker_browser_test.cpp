// The go-to-locker page in a real browser: qap agent logs a user in and has
// the agent write the page, which headless chromium behind $BROWSER loads;
// the page's own script must post the login form to the configured login
// URL and the browser end on that user's locker. Also what the browser
// support says when there is no working chromium.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/headless_chromium.h"
#include "platform/testing/scratch.h"
#include "tools/qap/tests/agent_session.h"
#include "tools/qap/tests/run_qap.h"

namespace qap::testing {
namespace {

// Quotes, '<', '&' and letters outside ASCII, in the name and in the
// password.
constexpr const char* kHardUser = "Zo\xC3\xAB \"Q\" <a&b>";
constexpr const char* kHardPassword = "p\xC3\xA4sswort \"x\" <&> \xC3\xA9";

class LockerPageInBrowser : public AgentSession {
 protected:
  LockerPageInBrowser() : AgentSession("browser") { m_accounts[kHardUser] = kHardPassword; }

  void SetUp() override {
    AgentSession::SetUp();
    if (HasFatalFailure()) return;
    // What the agent starts as the user's browser: the page it is handed
    // goes to headless chromium, with the locker's web host on loopback.
    std::string wrapper = "#!/bin/sh\nexec '" + std::string(std::getenv("QAP_BIN_DIR")) +
                          "/headless-chromium' --rule '" +
                          LoopbackRule("www.lokbin.com", m_locker->Port()) + "' --dom '" +
                          DomFile() + "' \"$1\"\n";
    chmod(m_dir.Write("browser", wrapper).c_str(), 0755);
  }

  std::string DomFile() const { return m_dir.File("dom.html"); }

  void LogIn(const std::string& user, const std::string& password) {
    CommandResult result = RunQap({"agent", "login", user, "--password-stdin"}, password + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }

  // Runs "qap agent locker" and returns the body of the document the
  // browser ended on.
  std::string LockerInBrowser() {
    CommandResult result = RunQap({"agent", "locker"});
    if (result.exitCode != 0) {
      ADD_FAILURE() << result.err;
      return {};
    }
    std::string error = DomFile() + ".error";
    std::error_code ignored;
    if (!WaitFor(
            [&] {
              return std::filesystem::exists(DomFile(), ignored) ||
                     std::filesystem::exists(error, ignored);
            },
            std::chrono::seconds(120))) {
      ADD_FAILURE() << "the browser behind $BROWSER ended on no page within 120 s";
      return {};
    }
    if (std::filesystem::exists(error, ignored)) {
      ADD_FAILURE() << ReadFile(error);
      return {};
    }
    std::string dom = ReadFile(DomFile());
    size_t start = dom.find("<body>");
    size_t end = dom.rfind("</body>");
    if (start == std::string::npos || end == std::string::npos || end < start) return dom;
    return dom.substr(start + 6, end - start - 6);
  }

  // The locker's log of logins and locker pages, waited for (bounded) until
  // it holds count lines: a request is logged just after it is answered.
  std::vector<std::string> Logins(size_t count) {
    std::vector<std::string> logins;
    WaitFor([&] {
      logins.clear();
      for (const std::string& line : LockerLog()) {
        if (line.find("Authenticate") != std::string::npos || line.rfind("login", 0) == 0 ||
            line.find("/locker") != std::string::npos) {
          logins.push_back(line);
        }
      }
      return logins.size() >= count;
    });
    return logins;
  }
};

TEST_F(LockerPageInBrowser, ThePagePostsTheLoginFormToTheLoginUrlAndEndsOnTheUsersLocker) {
  ASSERT_NO_FATAL_FAILURE(LogIn("ann", "secret"));
  CommandResult upload = RunQap({"agent", "upload", m_dir.Write("music/Song.mp3", "xyz")});
  ASSERT_EQ(upload.exitCode, 0) << upload.err;
  EXPECT_EQ(LockerInBrowser(), "<h1>Locker of ann</h1><ul><li>Song.mp3 (3 bytes)</li></ul>");
  // The agent's login, then the page's, under the locker's real host name,
  // and the redirect the browser followed with the session cookie.
  EXPECT_EQ(Logins(5), (std::vector<std::string>{
                           "login of 'ann'",
                           "POST /servlet/Authenticate 303 (Host: www.lokbin.com)",
                           "login of 'ann'",
                           "POST /servlet/Authenticate 303 (Host: www.lokbin.com)",
                           "GET /locker 200 (Host: www.lokbin.com)",
                       }));
}

TEST_F(LockerPageInBrowser, ANameAndPasswordWithQuotesBracketsAmpersandsAndAccentsLogInAsThatUser) {
  ASSERT_NO_FATAL_FAILURE(LogIn(kHardUser, kHardPassword));
  CommandResult upload =
      RunQap({"agent", "upload", m_dir.Write("music/\xC3\x96l & <Farbe>.mp3", "12345")});
  ASSERT_EQ(upload.exitCode, 0) << upload.err;
  EXPECT_EQ(LockerInBrowser(),
            "<h1>Locker of Zo\xC3\xAB \"Q\" &lt;a&amp;b&gt;</h1>"
            "<ul><li>\xC3\x96l &amp; &lt;Farbe&gt;.mp3 (5 bytes)</li></ul>");
  std::string login = std::string("login of '") + kHardUser + "'";
  EXPECT_EQ(Logins(5), (std::vector<std::string>{
                           login,
                           "POST /servlet/Authenticate 303 (Host: www.lokbin.com)",
                           login,
                           "POST /servlet/Authenticate 303 (Host: www.lokbin.com)",
                           "GET /locker 200 (Host: www.lokbin.com)",
                       }));
}

TEST(HeadlessChromium, AMissingOrFailingBrowserIsAnErrorThatNamesThePackage) {
  ScratchDir programs;
  EnvironmentValue path("PATH", programs.Path());
  BrowserRun run;
  run.page = "http://www.lokbin.com/locker";
  BrowserResult missing = RunHeadlessChromium(run);
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("install the Debian package chromium"), std::string::npos)
      << missing.error;

  std::string failing =
      programs.Write("chromium", "#!/bin/sh\necho 'Missing X server or $DISPLAY' >&2\nexit 1\n");
  chmod(failing.c_str(), 0755);
  BrowserResult failed = RunHeadlessChromium(run);
  EXPECT_FALSE(failed.ok);
  for (const char* told :
       {"(exit status 1)", "Missing X server or $DISPLAY", "install the Debian package chromium"}) {
    EXPECT_NE(failed.error.find(told), std::string::npos) << failed.error;
  }
}

}  // namespace
}  // namespace qap::testing
