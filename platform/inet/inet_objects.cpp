// Handle objects' options, the multi-handle pools and the handle table.
#include "platform/inet/inet_objects.h"

#include <unordered_map>

namespace qap::inet {
namespace {

// Kept-alive connections a server keeps while no request uses them.
constexpr size_t kIdleMultisPerServer = 4;

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<HINTERNET, std::shared_ptr<Object>> objects;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable();  // lives to the very end of the process
  return *table;
}


bool Apply(Options& options, DWORD option, DWORD value) {
  switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: options.connectTimeout = value; return true;
    case INTERNET_OPTION_CONNECT_RETRIES: options.connectRetries = value; return true;
    case INTERNET_OPTION_SEND_TIMEOUT: options.sendTimeout = value; return true;
    case INTERNET_OPTION_RECEIVE_TIMEOUT: options.receiveTimeout = value; return true;
    default: return false;
  }
}

struct Defaults {
  std::mutex mutex;
  Options options;
};

Defaults& TheDefaults() {
  static Defaults* defaults = new Defaults();  // lives to the very end of the process
  return *defaults;
}

}  // namespace

Options DefaultOptions() {
  Defaults& defaults = TheDefaults();
  std::lock_guard<std::mutex> guard(defaults.mutex);
  return defaults.options;
}

bool SetDefaultOption(DWORD option, DWORD value) {
  Defaults& defaults = TheDefaults();
  std::lock_guard<std::mutex> guard(defaults.mutex);
  return Apply(defaults.options, option, value);
}

bool Object::SetOption(DWORD option, DWORD value) {
  std::lock_guard<std::mutex> guard(m_optionsMutex);
  return Apply(m_options, option, value);
}

INTERNET_STATUS_CALLBACK Object::SetStatusCallback(INTERNET_STATUS_CALLBACK callback) {
  std::lock_guard<std::mutex> guard(m_optionsMutex);
  INTERNET_STATUS_CALLBACK previous = m_options.statusCallback;
  m_options.statusCallback = callback;
  return previous;
}

MultiPool::~MultiPool() {
  for (CURLM* multi : m_idle) curl_multi_cleanup(multi);
}

CURLM* MultiPool::Take() {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_idle.empty()) {
      CURLM* multi = m_idle.back();
      m_idle.pop_back();
      return multi;
    }
  }
  return curl_multi_init();
}

void MultiPool::Give(CURLM* multi) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_idle.size() < kIdleMultisPerServer) {
      m_idle.push_back(multi);
      return;
    }
  }
  curl_multi_cleanup(multi);
}

HINTERNET RegisterHandle(std::shared_ptr<Object> object) {
  HINTERNET handle = object.get();
  HandleTable& table = Table();
  std::lock_guard<std::mutex> guard(table.mutex);
  table.objects[handle] = std::move(object);
  return handle;
}

std::shared_ptr<Object> LookUpHandle(HINTERNET handle) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> guard(table.mutex);
  auto found = table.objects.find(handle);
  return found == table.objects.end() ? nullptr : found->second;
}

bool UnregisterHandle(HINTERNET handle) {
  std::shared_ptr<Object> object;
  HandleTable& table = Table();
  {
    std::lock_guard<std::mutex> guard(table.mutex);
    auto found = table.objects.find(handle);
    if (found == table.objects.end()) return false;
    object = std::move(found->second);
    table.objects.erase(found);
    object->MarkClosed();
  }
  return true;  // the object ends here, outside the table's lock
}

}  // namespace qap::inet
