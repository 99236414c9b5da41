// The agent's manager: construction order, credentials, and turning dropped
// paths into upload requests.
#include "agent/agent_connection_manager.h"

#include <atomic>
#include <cctype>
#include <filesystem>
#include <vector>

#include "agent/link_request.h"
#include "agent/log_file.h"
#include "agent/upload_request.h"
#include "platform/base/paths.h"
#include "platform/inet/wininet.h"

namespace {

std::atomic<CAgentConnectionManager*> g_current{nullptr};

constexpr DWORD kLockerChunkSize = 1024;

bool IsMusicFile(const std::string& path) {
  std::string extension = SplitPath(path).extension;
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".wav" || extension == ".mp3" || extension == ".wma";
}

}  // namespace

CAgentConnectionManager::CAgentConnectionManager(const std::string& appDirectory,
                                                 IAgentEventSink* events, const char* tempDirectory,
                                                 std::string lockerHost)
    : CConnectionManager(tempDirectory, events), m_config(appDirectory, std::move(lockerHost)) {
  g_current.store(this);
  InstallConnections();
}

CAgentConnectionManager::~CAgentConnectionManager() {
  StopWorker();
  CAgentConnectionManager* self = this;
  g_current.compare_exchange_strong(self, nullptr);
}

CAgentConnectionManager* CAgentConnectionManager::Current() { return g_current.load(); }

void CAgentConnectionManager::InstallConnections() {
  auto locker = std::make_unique<CLokbinHTTPConnection>(*this, kLockerChunkSize);
  m_locker = locker.get();
  Install(std::move(locker));
}

void CAgentConnectionManager::SetCredentials(const CString& user, const CString& password) {
  std::lock_guard<std::mutex> guard(m_credentialsMutex);
  m_userName = user;
  m_password = password;
}

CString CAgentConnectionManager::UserName() const {
  std::lock_guard<std::mutex> guard(m_credentialsMutex);
  return m_userName;
}

CString CAgentConnectionManager::Password() const {
  std::lock_guard<std::mutex> guard(m_credentialsMutex);
  return m_password;
}

bool CAgentConnectionManager::AddIfMusic(const CString& path) {
  if (!IsMusicFile(path.str())) return false;
  auto request = std::make_unique<CUploadRequest>(path);
  request->ReportAs(path);
  AddRequest(std::move(request));
  return true;
}

void CAgentConnectionManager::AbortTransfers() {
  RequestCancel();
  m_locker->CloseSession();
}

AddedPath CAgentConnectionManager::AddFile(const CString& path) {
  CString local = path;
  std::vector<char> cracked(path.GetLength() + 1);
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszUrlPath = cracked.data();
  parts.dwUrlPathLength = static_cast<DWORD>(cracked.size());
  if (InternetCrackUrlA(path, 0, ICU_DECODE, &parts)) {
    if (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS) {
      return AddedPath::kLink;
    }
    if (parts.nScheme == INTERNET_SCHEME_FILE) {
      local = CString(cracked.data());
      return AddIfMusic(local) ? AddedPath::kFile : AddedPath::kNothing;
    }
  }
  std::string host = ToHostPath(local.str());
  std::error_code error;
  std::filesystem::file_status status = std::filesystem::status(host, error);
  if (host.empty() || error || !std::filesystem::exists(status)) return AddedPath::kNothing;
  if (!std::filesystem::is_directory(status)) {
    return AddIfMusic(local) ? AddedPath::kFile : AddedPath::kNothing;
  }
  std::filesystem::directory_iterator entries(host, error);
  if (error) {
    AgentLog(kLogError, "Failed to find first file in '%s'", local.c_str());
    return AddedPath::kDirectory;
  }
  std::string folder = AppendSeparator(local.str());
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    // Sub-folders are not entered, nor queued when their names look musical.
    if (entries->is_directory(error)) continue;
    AddIfMusic(CString(folder + entries->path().filename().string()));
  }
  return AddedPath::kDirectory;
}

bool CAgentConnectionManager::TransferLink(CLinkRequest& request) {
  if (m_locker == nullptr) return false;
  CString url = m_config.GetXferURL();
  AgentLog(kLogMessage, "Xfering to URL '%s'", url.c_str());
  request.SetURL(url);
  m_locker->TransferLink(request);
  return true;
}

CString CAgentConnectionManager::UploadUrl() const {
  return m_locker != nullptr ? m_locker->GetUploadUrl() : CString();
}
