// The agent's connection manager: the base manager with the configuration,
// the logged-in user's name and password, the locker connection installed,
// and the queuing of files and folders dropped on the agent.
#pragma once

#include <mutex>
#include <string>

#include "agent/agent_config.h"
#include "agent/connection_manager.h"
#include "agent/lokbin_http_connection.h"

// What a path handed to AddFile turned out to be.
enum class AddedPath {
  kNothing,    // no such entry, or a file that is not music
  kLink,       // an http or https address: the caller queues a link transfer
  kFile,       // a music file, queued
  kDirectory,  // a folder whose music files (if any) were queued
};

class CAgentConnectionManager : public CConnectionManager {
 public:
  // appDirectory holds "lbagent.ini"; events receives the progress values.
  CAgentConnectionManager(const std::string& appDirectory, IAgentEventSink* events,
                          const char* tempDirectory = nullptr,
                          std::string lockerHost = kDefaultLockerHost);
  ~CAgentConnectionManager() override;

  // The one manager of the process, or null.
  static CAgentConnectionManager* Current();

  void InstallConnections() override;

  CAgentConfig& Config() { return m_config; }
  CLokbinHTTPConnection* Locker() const { return m_locker; }
  CString UploadUrl() const override;
  bool TransferLink(CLinkRequest& request) override;
  void SetCredentials(const CString& user, const CString& password);
  CString UserName() const;
  CString Password() const;

  // Classifies path and queues one upload per music file (".wav", ".mp3",
  // ".wma" in any case): the file itself, or each one directly in the
  // folder. A file URL counts as its local path. Each queued file is
  // reported by its path.
  AddedPath AddFile(const CString& path);

  // Cancels the running transfer and whatever waits on the network, on any
  // thread; the locker connection fails everything from then on. For the
  // agent's end, so that nothing waits out a time-out.
  void AbortTransfers();

 private:
  bool AddIfMusic(const CString& path);

  CAgentConfig m_config;
  CLokbinHTTPConnection* m_locker = nullptr;
  mutable std::mutex m_credentialsMutex;
  CString m_userName;
  CString m_password;
};
