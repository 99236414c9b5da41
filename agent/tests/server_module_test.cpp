// The server's lock count and shutdown monitor, with a short delay: the end
// comes a delay after the count falls to zero, not before, and not at all
// while a client is back.
#include "agent/server_module.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/testing/scratch.h"

namespace qap::testing {
namespace {

constexpr DWORD kDelayMs = 300;

class ServerModuleTest : public ::testing::Test {
 protected:
  ServerModuleTest() {
    EXPECT_TRUE(m_module.StartMonitor());
    m_loop = std::thread([this] {
      m_module.RunMessageLoop();
      m_ended.store(true);
    });
  }
  ~ServerModuleTest() override {
    if (!m_ended.load()) {
      // Let the loop end the way the server's does.
      if (m_module.LockCount() == 0) m_module.Lock();
      while (m_module.LockCount() > 0) m_module.Unlock();
    }
    m_loop.join();
  }
  bool EndsWithin(std::chrono::milliseconds time) {
    return WaitFor([this] { return m_ended.load(); }, time);
  }

  CServerModule m_module{kDelayMs};
  std::atomic<bool> m_ended{false};
  std::thread m_loop;
};

TEST_F(ServerModuleTest, WithoutAnyClientTheServerWaits) {
  EXPECT_FALSE(EndsWithin(std::chrono::milliseconds(3 * kDelayMs)));
}

TEST_F(ServerModuleTest, TheServerEndsADelayAfterItsLastClientLetGo) {
  m_module.Lock();
  m_module.Lock();
  m_module.Unlock();
  EXPECT_FALSE(EndsWithin(std::chrono::milliseconds(2 * kDelayMs)));
  auto released = std::chrono::steady_clock::now();
  m_module.Unlock();
  ASSERT_TRUE(EndsWithin(std::chrono::seconds(10)));
  EXPECT_GE(std::chrono::steady_clock::now() - released, std::chrono::milliseconds(kDelayMs));
}

TEST_F(ServerModuleTest, AClientComingBackInTimeKeepsTheServer) {
  m_module.Lock();
  m_module.Unlock();
  m_module.Lock();
  EXPECT_FALSE(EndsWithin(std::chrono::milliseconds(3 * kDelayMs)));
  m_module.Unlock();
  EXPECT_TRUE(EndsWithin(std::chrono::seconds(10)));
}

}  // namespace
}  // namespace qap::testing
