// A second process for the registry tests, using the hive named by
// QAP_REGISTRY while the test process and other writers use it too.
//   race TAG COUNT      waits for stdin to close, then writes COUNT values
//                       through handles it closes, and one through a root
//                       that only the commit at exit saves
//   crash               writes groups of values, flushing each, until it
//                       kills itself at a random moment after some groups
//   read KEY NAME MS    waits for stdin to close, then prints the text of
//                       HKCU\KEY NAME, waiting up to MS milliseconds for it
//                       to appear, or "missing"
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"

namespace {

constexpr int kGroupsBeforeKill = 20;
constexpr std::size_t kBlobSize = 256 * 1024;

int Fail(const char* what, LONG status) {
  std::fprintf(stderr, "registry_test_writer: %s failed with %d\n", what, static_cast<int>(status));
  return 1;
}

// The start barrier: the test closes our stdin when we are to go.
void WaitForStart() {
  char byte;
  while (read(0, &byte, 1) > 0) {
  }
}

int Race(const std::string& tag, int count) {
  WaitForStart();
  for (int i = 0; i < count; ++i) {
    RegKey key;
    const std::string path = "Software\\Race\\Sub" + std::to_string(i % 8);
    if (LONG status = key.Create(HKEY_CURRENT_USER, path.c_str()); status != ERROR_SUCCESS)
      return Fail("create", status);
    const std::string name = tag + "-" + std::to_string(i);
    const DWORD value = static_cast<DWORD>(i);
    if (LONG status = RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&value), sizeof value);
        status != ERROR_SUCCESS)
      return Fail("set", status);
  }
  const std::string done = tag + "-done";
  const DWORD value = static_cast<DWORD>(count);
  if (LONG status = RegSetValueExA(HKEY_CURRENT_USER, done.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof value);
      status != ERROR_SUCCESS)
    return Fail("set done", status);
  return 0;
}

// Each group writes first, a large blob and last, all holding the group
// number; a hive that is whole shows all three from the same group. Once
// some groups are in, a timer kills the process at a random moment, so that
// over many runs the kill lands in every phase of a write, commits included.
int Crash() {
  RegKey key;
  if (LONG status = key.Create(HKEY_CURRENT_USER, "Software\\Crash"); status != ERROR_SUCCESS)
    return Fail("create", status);
  std::string blob(kBlobSize, '\0');
  std::thread killer;
  for (DWORD group = 0;; ++group) {
    blob.assign(kBlobSize, static_cast<char>(group & 0xFF));
    const auto* number = reinterpret_cast<const BYTE*>(&group);
    LONG status = RegSetValueExA(key.Get(), "first", 0, REG_DWORD, number, sizeof group);
    if (status == ERROR_SUCCESS)
      status = RegSetValueExA(key.Get(), "blob", 0, REG_BINARY,
                              reinterpret_cast<const BYTE*>(blob.data()), kBlobSize);
    if (status == ERROR_SUCCESS)
      status = RegSetValueExA(key.Get(), "last", 0, REG_DWORD, number, sizeof group);
    if (status == ERROR_SUCCESS) status = RegFlushKey(key.Get());
    if (status != ERROR_SUCCESS) return Fail("write group", status);
    if (group == kGroupsBeforeKill) {
      std::printf("ready\n");
      std::fflush(stdout);
      killer = std::thread([] {
        std::mt19937 random(std::random_device{}());
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        kill(getpid(), SIGKILL);
      });
    }
  }
}

int ReadText(const std::string& path, const std::string& name, int waitMs) {
  WaitForStart();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    RegKey key;
    char text[256];
    DWORD size = sizeof text;
    if (key.Open(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS &&
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                         &size) == ERROR_SUCCESS) {
      std::printf("%.*s\n", static_cast<int>(size > 0 ? size - 1 : 0), text);
      return 0;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
  }
  std::printf("missing\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "race" && argc == 4) return Race(argv[2], std::atoi(argv[3]));
  if (mode == "crash" && argc == 2) return Crash();
  if (mode == "read" && argc == 5) return ReadText(argv[2], argv[3], std::atoi(argv[4]));
  std::fprintf(stderr, "usage: registry_test_writer race TAG COUNT | crash | read KEY NAME MS\n");
  return 2;
}
