// The client list, its registry form and the start of a client program.
#include "agent/client_manager.h"

#include "agent/client_chooser.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "agent/log_file.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "platform/registry/reg_key.h"

namespace {

std::atomic<CClientManager*> g_current{nullptr};

// A missing or unreadable value reads as empty.
CString ReadString(HKEY key, const char* name) {
  DWORD size = 0;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return CString();
  }
  std::vector<char> buffer(size + 1, '\0');
  DWORD read = size;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                       &read) != ERROR_SUCCESS) {
    return CString();
  }
  return CString(buffer.data());
}

}  // namespace

CClientManager::CClientManager() { g_current.store(this); }

CClientManager::~CClientManager() {
  CClientManager* self = this;
  g_current.compare_exchange_strong(self, nullptr);
}

CClientManager* CClientManager::Current() { return g_current.load(); }

void CClientManager::ReadRegistry() {
  RegKey applications;
  if (applications.Open(HKEY_CURRENT_USER, kClientsKey) != ERROR_SUCCESS) {
    AgentLog(kLogMessage,
             "CClientManager: Failed to open registry key '%s'. No client information was read",
             kClientsKey);
    return;
  }
  for (DWORD index = 0;; ++index) {
    char name[257];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(applications.Get(), index, name, &nameSize, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      break;
    }
    RegKey client;
    if (client.Open(applications.Get(), name) != ERROR_SUCCESS) continue;
    ClientInfo info{CString(name), ReadString(client.Get(), "Format"),
                    ReadString(client.Get(), "Path")};
    AgentLog(kLogMessage, "CClientManager: Added client information: '%s' '%s'",
             info.Format.c_str(), info.Path.c_str());
    Add(info);
  }
}

void CClientManager::Add(const ClientInfo& client) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_clients.push_back(std::make_unique<ClientInfo>(client));
}

void CClientManager::Remove(const CString& name) {
  std::lock_guard<std::mutex> guard(m_mutex);
  auto found = std::find_if(m_clients.begin(), m_clients.end(),
                            [&name](const auto& client) { return client->name == name; });
  if (found != m_clients.end()) m_clients.erase(found);
}

std::vector<ClientInfo> CClientManager::Clients() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  std::vector<ClientInfo> clients;
  for (const auto& client : m_clients) clients.push_back(*client);
  return clients;
}

void CClientManager::HandOff(const CString& file) {
  // A copy: the chooser may wait for a person while other calls change the
  // list.
  std::vector<ClientInfo> clients = Clients();
  if (clients.empty()) return;
  if (clients.size() == 1) {
    Start(clients[0], file);
    return;
  }
  std::vector<CString> names;
  for (const ClientInfo& client : clients) names.push_back(client.name);
  std::optional<size_t> chosen = ChooseClient(names);
  if (chosen && *chosen < clients.size()) Start(clients[*chosen], file);
}

void CClientManager::Start(const ClientInfo& client, const CString& file) {
  std::string commandLine = FormatClientCommandLine(client.Format, file).str();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // Whether the program started is not the agent's business.
  if (CreateProcessA(client.Path, commandLine.data(), nullptr, nullptr, FALSE,
                     CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                     &started)) {
    CloseHandle(started.hProcess);
  }
}

CString FormatClientCommandLine(const CString& format, const CString& file) {
  const std::string& text = format.str();
  size_t placeholder = text.find("%s");
  if (placeholder == std::string::npos) return format;
  // A double quote in a file name (possible here, never on Windows) would
  // end the Format's quoted run and let the rest of the name become further
  // arguments of the client; escaped, it stays part of the one argument.
  std::string path;
  size_t backslashes = 0;
  for (char c : file.str()) {
    if (c == '"') {
      path.append(backslashes + 1, '\\');
    }
    backslashes = c == '\\' ? backslashes + 1 : 0;
    path += c;
  }
  return CString(text.substr(0, placeholder) + path + text.substr(placeholder + 2));
}
