// The hive shared between processes: concurrent writers lose nothing, a
// writer killed mid-write leaves the hive whole, and batched writes reach
// other processes when their handle is closed or flushed.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tests/registry_test_util.h"
#include "platform/registry/tests/writer_process.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::registry::testing;
using std::chrono::seconds;

class RegistryProcesses : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
};

std::string IntegrityCheck(const std::string& path) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
  std::string result;
  sqlite3_exec(
      raw, "PRAGMA integrity_check",
      [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) += values[0] != nullptr ? values[0] : "";
        return 0;
      },
      &result, nullptr);
  return result;
}

TEST_F(RegistryProcesses, TwoProcessesWritingTheSameHiveAtOnceLoseNothing) {
  constexpr int kCount = 300;
  WriterProcess first({"race", "first", std::to_string(kCount)});
  WriterProcess second({"race", "second", std::to_string(kCount)});
  ASSERT_TRUE(first.Started() && second.Started());
  first.CloseInput();
  second.CloseInput();
  // This process writes to the same keys meanwhile.
  for (int i = 0; i < kCount; ++i) {
    RegKey key;
    ASSERT_EQ(
        key.Create(HKEY_CURRENT_USER, ("Software\\Race\\Sub" + std::to_string(i % 8)).c_str()),
        ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key.Get(), ("parent-" + std::to_string(i)).c_str(), i), ERROR_SUCCESS);
  }
  EXPECT_EQ(first.WaitForExit(seconds(120)), 0);
  EXPECT_EQ(second.WaitForExit(seconds(120)), 0);

  for (const std::string tag : {"first", "second", "parent"}) {
    for (int i = 0; i < kCount; ++i) {
      RegKey key;
      ASSERT_EQ(
          key.Open(HKEY_CURRENT_USER, ("Software\\Race\\Sub" + std::to_string(i % 8)).c_str()),
          ERROR_SUCCESS);
      const Value value = Read(key.Get(), (tag + "-" + std::to_string(i)).c_str());
      ASSERT_EQ(value.status, ERROR_SUCCESS) << tag << "-" << i;
      EXPECT_EQ(value.data, std::string(reinterpret_cast<const char*>(&i), 4));
    }
  }
  // Written through a root and never closed: saved by the commit at exit.
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "first-done").status, ERROR_SUCCESS);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "second-done").status, ERROR_SUCCESS);
}

TEST_F(RegistryProcesses, AWriterKilledMidWriteLeavesTheHiveWholeWithOnlyWholeGroups) {
  {
    WriterProcess writer({"crash"});
    ASSERT_TRUE(writer.Started());
    EXPECT_EQ(writer.WaitForExit(seconds(120)), -1) << "not killed; output: " << writer.Output();
  }
  EXPECT_EQ(IntegrityCheck(m_hive.Path()), "ok");

  RegResetHive();
  RegKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\Crash"), ERROR_SUCCESS);
  const Value first = Read(key.Get(), "first");
  const Value blob = Read(key.Get(), "blob");
  const Value last = Read(key.Get(), "last");
  ASSERT_EQ(first.status, ERROR_SUCCESS);
  ASSERT_EQ(last.status, ERROR_SUCCESS);
  EXPECT_EQ(first.data, last.data);
  DWORD group = 0;
  std::memcpy(&group, last.data.data(), sizeof group);
  EXPECT_GE(group, 20u);
  EXPECT_EQ(blob.data, std::string(256 * 1024, static_cast<char>(group & 0xFF)));
  EXPECT_EQ(SetDword(key.Get(), "after", 1), ERROR_SUCCESS);
}

// Each reader is started first and let go right after the write, so that
// it reads well within the flusher's window.
TEST_F(RegistryProcesses, BatchedWritesReachOtherProcessesOnCloseOnFlushAndUnprompted) {
  WriterProcess afterClose({"read", "Software\\Shared", "OnClose", "0"});
  WriterProcess afterFlush({"read", "Software\\Shared\\Flushed", "", "0"});
  WriterProcess lazy({"read", "Software\\Shared\\Lazy", "", "20000"});
  ASSERT_TRUE(afterClose.Started() && afterFlush.Started() && lazy.Started());

  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Shared"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(), "OnClose", "closed"), ERROR_SUCCESS);
  key.Reset();
  afterClose.CloseInput();
  EXPECT_EQ(afterClose.WaitForExit(seconds(60)), 0);
  EXPECT_EQ(afterClose.Output(), "closed\n");

  ASSERT_EQ(RegSetValueA(HKEY_CURRENT_USER, "Software\\Shared\\Flushed", REG_SZ, "flushed", 0),
            ERROR_SUCCESS);
  ASSERT_EQ(RegFlushKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  afterFlush.CloseInput();
  EXPECT_EQ(afterFlush.WaitForExit(seconds(60)), 0);
  EXPECT_EQ(afterFlush.Output(), "flushed\n");

  // Neither closed nor flushed: the background flusher commits it shortly.
  ASSERT_EQ(RegSetValueA(HKEY_CURRENT_USER, "Software\\Shared\\Lazy", REG_SZ, "lazy", 0),
            ERROR_SUCCESS);
  lazy.CloseInput();
  EXPECT_EQ(lazy.WaitForExit(seconds(60)), 0);
  EXPECT_EQ(lazy.Output(), "lazy\n");
}

// LeakSanitizer asks this at exit. Its check in a child forked from a
// process with other threads now and then waits for ever on a thread the
// child does not have (GCC 12's runtime), and these children hold nothing
// of their own to check: only the registry's exit code is under test.
bool inForkedChild = false;

}  // namespace

extern "C" __attribute__((visibility("default"), used)) int __lsan_is_turned_off() {
  return inForkedChild ? 1 : 0;
}

namespace {

struct ForkedWrite {
  LONG status = ERROR_SUCCESS;
  bool exitedCleanly = false;
};

// Writes a value in a forked child that then leaves through exit(), which
// runs the library's exit code.
ForkedWrite WriteInForkedChild(const char* name) {
  ForkedWrite result;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return result;
  UniqueFd readEnd(pipeEnds[0]), writeEnd(pipeEnds[1]);
  const pid_t child = fork();
  if (child == 0) {
    inForkedChild = true;
    const LONG status = SetDword(HKEY_CURRENT_USER, name, 1);
    if (write(writeEnd.Get(), &status, sizeof status) != sizeof status) _exit(1);
    std::exit(0);
  }
  writeEnd.Reset();
  pollfd wait = {readEnd.Get(), POLLIN, 0};
  char end;
  result.exitedCleanly =
      poll(&wait, 1, 30000) == 1 &&
      read(readEnd.Get(), &result.status, sizeof result.status) == sizeof result.status &&
      poll(&wait, 1, 30000) == 1 && read(readEnd.Get(), &end, 1) == 0;
  if (!result.exitedCleanly) kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return result;
}

// SQLite forbids carrying a connection across fork(), and the parent's
// flusher does not exist in the child.
TEST_F(RegistryProcesses, AForkedChildIsRefusedWhileTheHiveIsOpenAndNeverHangsAtExit) {
  ASSERT_EQ(SetDword(HKEY_CURRENT_USER, "Parent", 1), ERROR_SUCCESS);
  const ForkedWrite whileOpen = WriteInForkedChild("WhileOpen");
  EXPECT_TRUE(whileOpen.exitedCleanly);
  EXPECT_EQ(whileOpen.status, ERROR_BADDB);

  RegResetHive();
  const ForkedWrite afterReset = WriteInForkedChild("AfterReset");
  EXPECT_TRUE(afterReset.exitedCleanly);
  EXPECT_EQ(afterReset.status, ERROR_SUCCESS);

  EXPECT_EQ(Read(HKEY_CURRENT_USER, "Parent").status, ERROR_SUCCESS);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "WhileOpen").status, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "AfterReset").status, ERROR_SUCCESS);
}

}  // namespace
