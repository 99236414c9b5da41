// The network neighbourhood from the shares this machine reaches, and the
// enumerations open on it.
#include "platform/base/network_enum.h"

#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/paths.h"

namespace {

constexpr DWORD kAll = 0xFFFFFFFF;

struct Entry {
  DWORD type;
  DWORD displayType;
  DWORD usage;
  std::string remoteName;
};

struct Enumeration {
  std::vector<Entry> entries;
  size_t next = 0;
};

struct Table {
  std::mutex mutex;
  std::map<std::uintptr_t, std::unique_ptr<Enumeration>> open;
  std::uintptr_t nextHandle = 1;
};

Table& Enumerations() {
  static auto* table = new Table;
  return *table;
}

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

Entry Container(DWORD displayType, std::string remoteName) {
  return {RESOURCETYPE_ANY, displayType, RESOURCEUSAGE_CONTAINER, std::move(remoteName)};
}

std::vector<Entry> Servers(const std::vector<NetworkShare>& shares) {
  std::vector<std::string> names;
  for (const NetworkShare& share : shares) {
    const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
      return SameName(name, share.server);
    });
    if (!known) names.push_back(share.server);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  });
  std::vector<Entry> entries;
  for (const std::string& name : names) {
    entries.push_back(Container(RESOURCEDISPLAYTYPE_SERVER, "\\\\" + name));
  }
  return entries;
}

// What lies below resource in the global network.
DWORD Below(const NETRESOURCEA* resource, std::vector<Entry>* entries) {
  const std::vector<NetworkShare> shares = ReachableShares();
  if (resource == nullptr) {
    entries->push_back(Container(RESOURCEDISPLAYTYPE_NETWORK, kNetworkProviderName));
    return NO_ERROR;
  }
  if ((resource->dwUsage & RESOURCEUSAGE_CONTAINER) == 0) return ERROR_NOT_CONTAINER;
  if (resource->dwDisplayType == RESOURCEDISPLAYTYPE_NETWORK) {
    *entries = Servers(shares);
    return NO_ERROR;
  }
  std::string server = resource->lpRemoteName != nullptr ? resource->lpRemoteName : "";
  if (server.rfind("\\\\", 0) != 0) return ERROR_BAD_NET_NAME;
  server.erase(0, 2);
  bool found = false;
  for (const NetworkShare& share : shares) {
    if (!SameName(share.server, server)) continue;
    found = true;
    entries->push_back({RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE,
                        "\\\\" + share.server + "\\" + share.share});
  }
  std::sort(entries->begin(), entries->end(), [](const Entry& a, const Entry& b) {
    return strcasecmp(a.remoteName.c_str(), b.remoteName.c_str()) < 0;
  });
  return found ? NO_ERROR : ERROR_BAD_NET_NAME;
}

bool Wanted(const Entry& entry, DWORD type, DWORD usage) {
  if (type != RESOURCETYPE_ANY && entry.type != RESOURCETYPE_ANY && entry.type != type) {
    return false;
  }
  return usage == 0 || (entry.usage & usage) != 0;
}

// Bytes an entry takes in a caller's buffer: the record and its two texts.
DWORD SizeOf(const Entry& entry) {
  return static_cast<DWORD>(sizeof(NETRESOURCEA) + entry.remoteName.size() + 1 +
                            std::strlen(kNetworkProviderName) + 1);
}

}  // namespace

DWORD WNetOpenEnumA(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEA resource,
                    HANDLE* enumeration) {
  if (enumeration == nullptr) return ERROR_INVALID_PARAMETER;
  *enumeration = nullptr;
  std::vector<Entry> found;
  if (scope == RESOURCE_CONTEXT) {
    found = Servers(ReachableShares());
  } else if (scope == RESOURCE_GLOBALNET) {
    if (DWORD error = Below(resource, &found); error != NO_ERROR) return error;
  } else {
    return ERROR_NOT_SUPPORTED;
  }
  auto opened = std::make_unique<Enumeration>();
  for (Entry& entry : found) {
    if (Wanted(entry, type, usage)) opened->entries.push_back(std::move(entry));
  }
  Table& table = Enumerations();
  std::lock_guard lock(table.mutex);
  const std::uintptr_t handle = table.nextHandle++;
  table.open.emplace(handle, std::move(opened));
  *enumeration = reinterpret_cast<HANDLE>(handle);
  return NO_ERROR;
}

DWORD WNetEnumResourceA(HANDLE enumeration, DWORD* count, void* buffer, DWORD* bufferSize) {
  if (count == nullptr || *count == 0 || buffer == nullptr || bufferSize == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  Table& table = Enumerations();
  std::lock_guard lock(table.mutex);
  auto found = table.open.find(reinterpret_cast<std::uintptr_t>(enumeration));
  if (found == table.open.end()) return ERROR_INVALID_HANDLE;
  Enumeration& open = *found->second;
  if (open.next == open.entries.size()) return ERROR_NO_MORE_ITEMS;

  auto* bytes = static_cast<char*>(buffer);
  DWORD recordsEnd = 0;
  DWORD textsStart = *bufferSize;
  DWORD copied = 0;
  // The texts go at the end of the buffer, growing down towards the records.
  auto place = [&](const std::string& text) {
    textsStart -= static_cast<DWORD>(text.size() + 1);
    std::memcpy(bytes + textsStart, text.c_str(), text.size() + 1);
    return bytes + textsStart;
  };
  while (open.next < open.entries.size() && (*count == kAll || copied < *count)) {
    const Entry& entry = open.entries[open.next];
    if (SizeOf(entry) > textsStart - recordsEnd) break;
    NETRESOURCEA record{RESOURCE_GLOBALNET, entry.type, entry.displayType, entry.usage,
                        nullptr, nullptr, nullptr, nullptr};
    record.lpRemoteName = place(entry.remoteName);
    record.lpProvider = place(kNetworkProviderName);
    std::memcpy(bytes + recordsEnd, &record, sizeof record);
    recordsEnd += sizeof record;
    ++copied;
    ++open.next;
  }
  if (copied == 0) {
    *bufferSize = SizeOf(open.entries[open.next]);
    return ERROR_MORE_DATA;
  }
  *count = copied;
  return NO_ERROR;
}

DWORD WNetCloseEnum(HANDLE enumeration) {
  Table& table = Enumerations();
  std::lock_guard lock(table.mutex);
  return table.open.erase(reinterpret_cast<std::uintptr_t>(enumeration)) == 1
             ? NO_ERROR
             : ERROR_INVALID_HANDLE;
}
