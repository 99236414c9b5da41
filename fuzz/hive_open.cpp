// Fuzz target: any bytes as the hive file, opened the way every program
// opens its hive at its first registry call, then read whole (keys, values,
// an export of each root) and written to. A file that is no hive, or a
// damaged one, must be refused or read safely, never trusted blindly.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/registry/registry.h"

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

// Every value of key and, a few levels down, of its subkeys.
void Walk(HKEY key, int depth) {
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    BYTE value[64];
    DWORD valueSize = sizeof value;
    const LONG status =
        RegEnumValueA(key, index, name, &nameSize, nullptr, &type, value, &valueSize);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;
    DWORD needed = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &needed) == ERROR_SUCCESS) {
      std::vector<BYTE> data(needed);
      RegQueryValueExA(key, name, nullptr, &type, data.data(), &needed);
    }
  }
  if (depth == 4) return;
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = sizeof name;
    const LONG status =
        RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    HKEY child = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
      Walk(child, depth + 1);
      RegCloseKey(child);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string hive = [] {
    const std::string path = qap::fuzz::Scratch().File("fuzzed-hive.db");
    setenv("QAP_REGISTRY", path.c_str(), 1);
    return path;
  }();
  RegResetHive();
  // Only the file itself: no journal of an earlier input is replayed.
  for (const char* suffix : {"-wal", "-shm", "-journal"}) std::remove((hive + suffix).c_str());
  qap::fuzz::WriteInput("fuzzed-hive.db", qap::fuzz::Bytes(data, size));

  for (HKEY root : kRoots) {
    DWORD keys = 0, values = 0, longestName = 0;
    RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &keys, &longestName, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    Walk(root, 0);
    std::string text, error;
    RegExportKeyToString(RegRootName(root), &text, &error);
  }
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ZelVar\\QAP\\General", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    const DWORD one = 1;
    RegSetValueExA(key, "FirstStart", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                   sizeof one);
    RegDeleteValueA(key, "FirstStart");
    RegCloseKey(key);
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ZelVar");
  RegFlushKey(HKEY_CURRENT_USER);
  return 0;
}
