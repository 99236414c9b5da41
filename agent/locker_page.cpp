// The go-to-locker page: "gohome.htm" in the agent's folder posts the stored
// user name and password to the login URL as soon as a browser loads it, so
// the locker opens already logged in.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "agent/agent_connection_manager.h"
#include "agent/log_file.h"
#include "agent/lokbin_http_connection.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"

namespace {

constexpr const char* kPageName = "gohome.htm";

// The characters a JavaScript string literal in a script block may hold as
// they are; every other one, above all double quotes, backslashes, '<'
// (which could start "</SCRIPT>") and line ends, is written as \uXXXX. Text outside ASCII
// is escaped too, so the page is plain ASCII whatever the browser takes its
// encoding to be.
std::string JavaScriptStringText(const CString& text) {
  static const std::string kPlain =
      " !#$%&'()*+,-./:;=?@[]^_`{|}~abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string out;
  for (char16_t unit : AnsiToWide(text.str())) {
    if (unit < 0x80 && kPlain.find(static_cast<char>(unit)) != std::string::npos) {
      out += static_cast<char>(unit);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(unit));
      out += escaped;
    }
  }
  return out;
}

std::string HtmlAttributeText(const CString& text) {
  std::string out;
  for (char c : text.str()) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

// A browser submits a form in the encoding it read the page in, and a
// local file carries none: without this it guesses from its own locale and
// posts the name and password in another code page than the agent's own
// login did. A byte-order mark is all UTF-8 needs; other code pages have
// none, and say it in the one way every browser reads.
std::string EncodingDeclaration() {
  if (GetACP() == CP_UTF8) return "\xEF\xBB\xBF";
  return "<META CHARSET=\"windows-" + std::to_string(GetACP()) + "\">";
}

bool WriteAll(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    ssize_t now = write(fd, text.data() + written, text.size() - written);
    if (now <= 0) return false;
    written += static_cast<size_t>(now);
  }
  return true;
}

// Owns an open file; Close reports what the last writes did.
struct FileDescriptor {
  explicit FileDescriptor(int value) : fd(value) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  bool Close() {
    int closing = fd;
    fd = -1;
    return closing < 0 || close(closing) == 0;
  }
  int fd;
};

// The shell's "Open" of a web page: the user's $BROWSER, else the desktop's
// opener.
bool OpenInBrowser(const std::string& hostPath) {
  const char* browser = std::getenv("BROWSER");
  std::string program = browser != nullptr && *browser != '\0' ? browser : "xdg-open";
  std::string commandLine = ArgsToCommandLine({program, hostPath});
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &started)) {
    return false;
  }
  CloseHandle(started.hProcess);
  return true;
}

}  // namespace

LockerPage CLokbinHTTPConnection::GotoLocker() {
  if (!IsLoggedIn(nullptr)) {
    AgentLog(kLogError, "GotoLokbinLocker failed, user is not logged in.");
    return LockerPage::kNotLoggedIn;
  }
  CString action = m_agent.Config().GetAuthUserURL();
  CString page(AppendSeparator(m_agent.Config().GetAppDirectory().str()) + kPageName);
  std::string host = ToHostPath(page.str());
  // The page holds the password in clear: for its owner's eyes only, also
  // when an earlier page was left with wider permissions.
  FileDescriptor file(
      host.empty() ? -1 : open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (file.fd < 0 || fchmod(file.fd, 0600) != 0) {
    AgentLog(kLogError, "Failed to create to '%s' to go to locker", page.c_str());
    return LockerPage::kNotWritten;
  }
  std::string script =
      EncodingDeclaration() +
      "<HTML> \n <BODY onLoad=\"aa()\"><SCRIPT> function "
      "aa(){window.document.myform.LB_USERID.value = \"" +
      JavaScriptStringText(m_agent.UserName()) + "\";window.document.myform.LB_PASSWD.value = \"" +
      JavaScriptStringText(m_agent.Password()) + "\";window.document.myform.submit();}</SCRIPT>";
  std::string form = "<P><FORM NAME=\"myform\" METHOD=\"POST\" ACTION=\"" +
                     HtmlAttributeText(action) +
                     "\"><INPUT TYPE=\"HIDDEN\" NAME=\"LB_USERID\"><INPUT TYPE=\"HIDDEN\" "
                     "NAME=\"LB_PASSWD\"> </FORM> </P></BODY> </HTML>";
  if (!WriteAll(file.fd, script) || !WriteAll(file.fd, form) || !file.Close()) {
    AgentLog(kLogError, "Failed to write to '%s' to go to locker", page.c_str());
    return LockerPage::kNotWritten;
  }
  if (!OpenInBrowser(host)) {
    AgentLog(kLogError, "Failed to launch browser");
    return LockerPage::kNoBrowser;
  }
  return LockerPage::kOpened;
}
