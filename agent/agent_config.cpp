// Loading "lbagent.ini": lines of key=value, sections and comments ignored,
// every decision logged.
#include "agent/agent_config.h"

#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "agent/file_ptr.h"
#include "agent/log_file.h"
#include "platform/base/paths.h"

CAgentConfig::CAgentConfig(std::string appDirectory, std::string lockerHost)
    : m_folder(std::move(appDirectory)), m_lockerHost(std::move(lockerHost)) {}

const CString& CAgentConfig::GetAppDirectory() {
  Load();
  return m_appDirectory;
}

const CString& CAgentConfig::GetAuthUserURL() {
  Load();
  return m_authUserUrl;
}

const CString& CAgentConfig::GetUploadURL() {
  Load();
  return m_uploadUrl;
}

const CString& CAgentConfig::GetXferURL() {
  Load();
  return m_xferUrl;
}

void CAgentConfig::Load() {
  std::call_once(m_once, [this] {
    m_authUserUrl = CString("http://" + m_lockerHost + "/servlet/Authenticate");
    m_uploadUrl = CString("http://" + m_lockerHost + "/get_ulhost/lb/");
    AgentLog(kLogMessage, ">>>>> Config File processing started...");
    std::string directory = m_folder;
    while (directory.size() > 1 && IsPathSeparator(directory.back())) directory.pop_back();
    std::string iniPath = AppendSeparator(directory) + "lbagent.ini";
    m_appDirectory = CString(directory);
    AgentLog(kLogMessage, "App directory was set to '%s'", m_appDirectory.c_str());
    ReadFile(iniPath);
    AgentLog(kLogMessage, "Result: AuthenticateURL: '%s'", m_authUserUrl.c_str());
    AgentLog(kLogMessage, "Result: UploadURL: '%s'", m_uploadUrl.c_str());
    m_loaded = true;
    AgentLog(kLogMessage, ">>>>> Config File processing was finished...");
  });
}

void CAgentConfig::ReadFile(const std::string& iniPath) {
  FilePtr file = OpenFile(iniPath, "rb");
  if (!file) {
    AgentLog(kLogError, "Failed to open config file");
    return;
  }
  struct stat info {};
  std::vector<char> text;
  bool read = fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode);
  if (read) {
    text.resize(static_cast<size_t>(info.st_size));
    read = std::fread(text.data(), 1, text.size(), file.get()) == text.size();
  }
  if (!read) {
    AgentLog(kLogError, "Failed to read config file");
    return;
  }
  // '\n' and '\r' each end a line, so "\r\n" leaves an empty line that is
  // skipped like any other.
  std::string line;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      if (!line.empty()) TakeLine(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) TakeLine(line);
}

void CAgentConfig::TakeLine(const std::string& line) {
  if (line.front() == '[' || line.front() == ';') return;
  size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  // Key and value are taken as they stand: no trimming, no quotes.
  std::string key = line.substr(0, equals);
  std::string value = line.substr(equals + 1);
  CString* setting = nullptr;
  if (key == "AuthUserURL") setting = &m_authUserUrl;
  if (key == "UploadURL") setting = &m_uploadUrl;
  if (key == "XferURL") setting = &m_xferUrl;
  if (setting == nullptr) {
    AgentLog(kLogMessage, "'%s' = '%s' entry was dropped: no use", key.c_str(), value.c_str());
    return;
  }
  *setting = CString(value);
  AgentLog(kLogMessage, "'%s' directory was set to '%s'", key.c_str(), value.c_str());
}
