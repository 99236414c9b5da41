// The common shape of a group load and save: the group's lock held for the
// whole of it, HKEY_CURRENT_USER\SOFTWARE and the group's key open. A load
// creates the group key when it is missing; a save only opens it.
#pragma once

#include <utility>

#include "options/change_notifier.h"
#include "options/registry_values.h"

namespace qap::options {

// False when SOFTWARE or the group key is unavailable.
inline bool OpenGroupKey(const char* group, bool createMissing, RegKey* key) {
  RegKey software;
  if (OpenSoftware(&software) != ERROR_SUCCESS) return false;
  const std::string path = GroupKeyPath(group);
  const LONG result = createMissing ? OpenOrCreateKey(software.Get(), path.c_str(), key)
                                    : OpenKey(software.Get(), path.c_str(), key);
  return result == ERROR_SUCCESS;
}

// Runs read(key); true when the group key was available.
template <typename Read>
bool LoadGroup(ChangeNotifier& notifier, const char* group, Read&& read) {
  try {
    GroupLock lock(notifier.Lock());
    RegKey key;
    if (!OpenGroupKey(group, true, &key)) return false;
    std::forward<Read>(read)(key.Get());
    return true;
  } catch (...) {
    return false;
  }
}

// Runs write(key) and returns its result; false when the key is missing.
template <typename Write>
bool SaveGroup(ChangeNotifier& notifier, const char* group, Write&& write) {
  try {
    GroupLock lock(notifier.Lock());
    RegKey key;
    if (!OpenGroupKey(group, false, &key)) return false;
    return std::forward<Write>(write)(key.Get());
  } catch (...) {
    return false;
  }
}

}  // namespace qap::options
