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

}  // namespace

bool Object::SetOption(DWORD option, DWORD value) {
  std::lock_guard<std::mutex> guard(m_optionsMutex);
  switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: m_options.connectTimeout = value; return true;
    case INTERNET_OPTION_CONNECT_RETRIES: m_options.connectRetries = value; return true;
    case INTERNET_OPTION_SEND_TIMEOUT: m_options.sendTimeout = value; return true;
    case INTERNET_OPTION_RECEIVE_TIMEOUT: m_options.receiveTimeout = value; return true;
    default: return false;
  }
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
  }
  return true;  // the object ends here, outside the table's lock
}

}  // namespace qap::inet
