// The client programs the agent can hand a file to: each has a name, a
// command-line Format with one "%s" for the file and the Path of the program
// to start. The list comes from the registry in the file hand-off mode and
// from AddClient in the server.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/cstring.h"

struct ClientInfo {
  CString name;
  CString Format;
  CString Path;
};

// HKEY_CURRENT_USER\<this>: one sub-key per client with the string values
// "Format" and "Path".
constexpr const char* kClientsKey = "Software\\Lokbin Inc.\\Lokbin Agent\\Applications";

class CClientManager {
 public:
  CClientManager();
  ~CClientManager();
  CClientManager(const CClientManager&) = delete;
  CClientManager& operator=(const CClientManager&) = delete;

  // The one client list of the process while it lives, or null.
  static CClientManager* Current();

  // Appends the clients registered under kClientsKey, in the order the
  // registry lists its sub-keys.
  void ReadRegistry();
  void Add(const ClientInfo& client);
  // Removes the first client of exactly this name; nothing when none has it.
  void Remove(const CString& name);
  // No client: nothing. One: starts it with file. Several: starts the one
  // the person picks in the dialog "Downloading to clients", if any.
  void HandOff(const CString& file);
  std::vector<ClientInfo> Clients() const;

 private:
  void Start(const ClientInfo& client, const CString& file);

  // Clients' calls arrive on several threads at once.
  mutable std::mutex m_mutex;
  std::vector<std::unique_ptr<ClientInfo>> m_clients;
};

// The client's command line: Format with its first "%s" replaced by the
// file; every other '%' stays as written, and a Format without "%s" is the
// command line as it is. Double quotes in the file are escaped (\"), so
// that they cannot end a quoted "%s" early.
CString FormatClientCommandLine(const CString& format, const CString& file);
