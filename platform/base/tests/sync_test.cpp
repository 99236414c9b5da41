// Events and thread handles: reset modes, wait-any and wait-all, time-outs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/base/last_error.h"
#include "platform/base/sync.h"

namespace {

using Clock = std::chrono::steady_clock;

UniqueHandle MakeEvent(bool manualReset, bool signalled) {
  return UniqueHandle(CreateEventA(nullptr, manualReset, signalled, nullptr));
}

TEST(Events, ManualResetStaysSignalledUntilReset) {
  UniqueHandle event = MakeEvent(true, false);
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_TIMEOUT);
  SetEvent(event.Get());
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
  ResetEvent(event.Get());
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_TIMEOUT);
}

TEST(Events, AutoResetReleasesExactlyOneWaitPerSignal) {
  UniqueHandle event = MakeEvent(false, true);
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_TIMEOUT);
  SetEvent(event.Get());
  SetEvent(event.Get());  // signals do not count up
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_TIMEOUT);
}

TEST(Events, WaitForAnyReportsTheLowestSignalledIndexAndConsumesOnlyIt) {
  UniqueHandle work = MakeEvent(false, false);
  UniqueHandle stop = MakeEvent(false, false);
  HANDLE both[] = {work.Get(), stop.Get()};
  SetEvent(stop.Get());
  SetEvent(work.Get());
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_TIMEOUT);
}

TEST(Events, WaitForAllNeedsEveryObjectAndLeavesAutoEventsAloneUntilThen) {
  UniqueHandle first = MakeEvent(false, true);
  UniqueHandle second = MakeEvent(true, false);
  HANDLE both[] = {first.Get(), second.Get()};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(first.Get(), 0), WAIT_OBJECT_0);  // still signalled
  SetEvent(first.Get());
  SetEvent(second.Get());
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(first.Get(), 0), WAIT_TIMEOUT);   // consumed
  EXPECT_EQ(WaitForSingleObject(second.Get(), 0), WAIT_OBJECT_0);  // manual
}

TEST(Events, ATimedWaitLastsAtLeastItsTimeOutAndASignalEndsItEarly) {
  UniqueHandle event = MakeEvent(false, false);
  auto start = Clock::now();
  EXPECT_EQ(WaitForSingleObject(event.Get(), 60), WAIT_TIMEOUT);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(60));

  HANDLE target = event.Get();
  UniqueHandle setter(CreateThread([target] {
    SetEvent(target);
    return DWORD{0};
  }));
  start = Clock::now();
  EXPECT_EQ(WaitForSingleObject(event.Get(), INFINITE), WAIT_OBJECT_0);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(Threads, AThreadHandleIsSignalledWithItsExitCodeWhenTheThreadEnds) {
  UniqueHandle release = MakeEvent(true, false);
  HANDLE gate = release.Get();
  DWORD id = 0;
  UniqueHandle thread(CreateThread(
      [gate] {
        WaitForSingleObject(gate, INFINITE);
        return DWORD{42};
      },
      &id));
  ASSERT_TRUE(thread);
  EXPECT_NE(id, GetCurrentThreadId());
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread.Get(), &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread.Get(), 0), WAIT_TIMEOUT);
  SetEvent(release.Get());
  EXPECT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(thread.Get(), &code));
  EXPECT_EQ(code, 42u);
}

TEST(Threads, ClosingARunningThreadsHandleLetsItFinish) {
  std::atomic<bool> finished{false};
  UniqueHandle done = MakeEvent(true, false);
  HANDLE signal = done.Get();
  CloseHandle(CreateThread([&finished, signal] {
    finished = true;
    SetEvent(signal);
    return DWORD{0};
  }));
  EXPECT_EQ(WaitForSingleObject(done.Get(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(finished);
}

TEST(Handles, UnknownOrClosedHandlesFailTheWait) {
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  ASSERT_TRUE(CloseHandle(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(nullptr));
  HANDLE none[1] = {nullptr};
  EXPECT_EQ(WaitForMultipleObjects(0, none, FALSE, 0), WAIT_FAILED);
}

}  // namespace
