// The agent's configuration: the three locker URLs, read once from
// "lbagent.ini" in the agent's folder on first use, with defaults built from
// the locker's web host.
#pragma once

#include <mutex>
#include <string>

#include "platform/base/cstring.h"

// The locker web host of the default URLs; a deployment names its own in
// "lbagent.ini" or through the constructor.
inline constexpr const char* kDefaultLockerHost = "www.lokbin.com";

class CAgentConfig {
 public:
  // appDirectory: the folder holding "lbagent.ini" (the executable's folder
  // in the real program).
  explicit CAgentConfig(std::string appDirectory, std::string lockerHost = kDefaultLockerHost);
  CAgentConfig(const CAgentConfig&) = delete;
  CAgentConfig& operator=(const CAgentConfig&) = delete;

  // Each getter loads the file first if that has not happened yet.
  const CString& GetAppDirectory();
  const CString& GetAuthUserURL();
  const CString& GetUploadURL();
  const CString& GetXferURL();
  bool IsLoaded() const { return m_loaded; }

 private:
  void Load();
  void ReadFile(const std::string& iniPath);
  void TakeLine(const std::string& line);

  std::string m_folder;
  std::string m_lockerHost;
  // Clients' threads and the worker may ask first at the same time: the load
  // runs exactly once and the others wait for it.
  std::once_flag m_once;
  bool m_loaded = false;
  CString m_appDirectory;
  CString m_authUserUrl;
  CString m_uploadUrl;
  CString m_xferUrl;
};
