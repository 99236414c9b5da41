// LBAgent2 end to end, as the player drives it: registered by running it,
// started by the session bus on the first call of a client, logging in at a
// real locker service, uploading with progress and queue events that arrive
// before the replies that follow them, serving one client while another's
// call waits on the network, cancelling, logging out, and ending a few
// seconds after its last client let go.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <set>
#include <mutex>
#include <thread>

#include "agent/client/request2_client.h"
#include "agent/tests/agent_test_support.h"
#include "platform/automation/bus_service.h"
#include "platform/automation/private_bus.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "platform/inet/tests/raw_http_server.h"
#include "platform/testing/scratch.h"
#include "tools/locker-service/locker_service.h"

namespace qap::testing {
namespace {

// The agent's own defaults: no lbagent.ini lies beside the built program.
constexpr const char* kAgentWebHost = "www.lokbin.com";
constexpr const char* kAgentUploadHost = "upload.lokbin.com";
constexpr const char* kUploadUrl = "http://upload.lokbin.com/c/u";

// A client's events as they arrive: the OnNotify values, and each queued
// file's name with its end ("sent" or the reason).
class Events {
 public:
  HRESULT Subscribe(Request2Subscription& subscription, IRequest2* agent) {
    Request2Events wanted;
    wanted.onNotify = [this](short value) {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_values.push_back(value);
    };
    wanted.onQueued = [this](LONG request, const std::string& file) {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_queued[request] = file.substr(file.find_last_of('/') + 1);
    };
    wanted.onFinished = [this](LONG request, bool sent, const std::string& reason) {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_finished[request] = sent ? "sent" : reason;
    };
    return subscription.Subscribe(agent, std::move(wanted));
  }
  std::vector<short> Values() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_values;
  }
  std::map<LONG, std::string> Queued() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_queued;
  }
  std::map<LONG, std::string> Finished() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_finished;
  }
  void Clear() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_values.clear();
    m_queued.clear();
    m_finished.clear();
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<short> m_values;
  std::map<LONG, std::string> m_queued;
  std::map<LONG, std::string> m_finished;
};

std::string Ansi(const VARIANT& value) {
  return value.vt == VT_BSTR
             ? CComBSTR(std::u16string_view(value.bstrVal, SysStringLen(value.bstrVal))).Ansi()
             : "<not a string>";
}

class AgentBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locker::ServiceConfig config;
    config.dataDirectory = m_lockerDir.Path();
    config.users[kUser] = kPassword;
    config.webHost = kAgentWebHost;
    config.uploadHost = kAgentUploadHost;
    m_locker = std::make_unique<locker::LockerService>(config);
    ASSERT_TRUE(m_locker->Start()) << m_locker->Error();
    // Everything the agent needs comes from the bus daemon's environment,
    // so it is in place before the daemon starts.
    std::string port = std::to_string(m_locker->Port());
    m_environment.push_back(std::make_unique<ScopedEnvironment>(
        "QAP_CONNECT_TO", std::string(kAgentWebHost) + ":80:127.0.0.1:" + port + "," +
                              kAgentUploadHost + ":80:127.0.0.1:" + port));
    m_environment.push_back(std::make_unique<ScopedEnvironment>("no_proxy", "*"));
    m_environment.push_back(
        std::make_unique<ScopedEnvironment>("QAP_COOKIE_JAR", m_serverDir.File("cookies.txt")));
    m_environment.push_back(
        std::make_unique<ScopedEnvironment>("XDG_DATA_HOME", m_serverDir.File("data")));
    ASSERT_EQ(RunAgent("/RegServer"), 0u);
    m_bus = std::make_unique<automation::PrivateSessionBus>(
        m_busDir.Path(), m_serverDir.File("data") + "/dbus-1/services", m_serverDir.Path());
    std::string error;
    ASSERT_TRUE(m_bus->Start(&error)) << error;
  }
  void TearDown() override {
    // The agent loses its bus with the daemon and ends on its own.
    m_bus.reset();
    m_locker.reset();
  }

  static DWORD RunAgent(const std::string& option) {
    std::string program = std::string(std::getenv("QAP_BIN_DIR")) + "/LBAgent2";
    std::string line = ArgsToCommandLine({program, option});
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        nullptr, &started)) {
      return static_cast<DWORD>(-1);
    }
    WaitForSingleObject(started.hProcess, 30000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    return code;
  }
  ComPtr<IRequest2> Connect() {
    SCOPED_TRACE("Connect");
    ComPtr<IRequest2> agent;
    EXPECT_EQ(CreateRequest2Proxy(&agent), S_OK);
    return agent;
  }
  // A client logged in, whose events reach events.
  ComPtr<IRequest2> ConnectLoggedIn(Events& events, Request2Subscription& subscription) {
    SCOPED_TRACE("ConnectLoggedIn");
    ComPtr<IRequest2> agent = Connect();
    if (!agent) return agent;
    LogIn(*agent);
    EXPECT_EQ(events.Subscribe(subscription, agent.Get()), S_OK);
    return agent;
  }
  static std::string Status(IRequest2& agent) {
    VARIANT status;
    EXPECT_EQ(agent.GetStatusText(&status, 0), S_OK);
    std::string text = Ansi(status);
    VariantClear(&status);
    return text;
  }
  static LONG LoggedIn(IRequest2& agent) {
    LONG loggedIn = -1;
    EXPECT_EQ(agent.IsLoggedIn(&loggedIn), S_OK);
    return loggedIn;
  }
  static void LogIn(IRequest2& agent, const char* password = kPassword) {
    CComBSTR user(kUser), secret(password), code("qap");
    EXPECT_EQ(agent.Login(user.Ref(), secret.Ref(), code.Ref(), 0), S_OK);
  }
  static void Add(IRequest2& agent, const std::string& path) {
    CComBSTR text(path.c_str());
    EXPECT_EQ(agent.AddFile(text.Ref(), 0, 0), S_OK);
  }
  static void WaitUntilIdle(IRequest2& agent) {
    SCOPED_TRACE("WaitUntilIdle");
    EXPECT_TRUE(WaitFor([&agent] { return agent.IsDone(CComVariant()) == S_OK; },
                        std::chrono::seconds(60)));
  }
  std::string ServerLog() const { return ReadFile(m_serverDir.File("LogFile.log")); }

  ScratchHive m_hive;
  ScratchDir m_serverDir;
  ScratchDir m_busDir;
  ScratchDir m_lockerDir;
  ScratchDir m_musicDir;
  std::vector<std::unique_ptr<ScopedEnvironment>> m_environment;
  std::unique_ptr<locker::LockerService> m_locker;
  std::unique_ptr<automation::PrivateSessionBus> m_bus;
};

TEST_F(AgentBusTest, AClientsCallStartsTheAgentWhichLogsInAndUploadsAFolderWithItsEvents) {
  EXPECT_FALSE(IsAgentRunning());
  ComPtr<IRequest2> agent = Connect();
  ASSERT_TRUE(agent);
  EXPECT_TRUE(IsAgentRunning());
  BSTR version = nullptr;
  ASSERT_EQ(agent->GetVersion(&version), S_OK);
  EXPECT_EQ(std::u16string(version), u"01.00");
  SysFreeString(version);

  EXPECT_EQ(Status(*agent), "User is not logged in");
  LogIn(*agent, "wrong");
  EXPECT_EQ(LoggedIn(*agent), 0);
  LogIn(*agent);
  EXPECT_EQ(LoggedIn(*agent), 1);
  EXPECT_EQ(Status(*agent), "Drag files here");

  Events events;
  Request2Subscription subscription;
  ASSERT_EQ(events.Subscribe(subscription, agent.Get()), S_OK);
  m_musicDir.Write("one.mp3", PatternBytes(3000));
  m_musicDir.Write("two.WAV", PatternBytes(3000));
  m_musicDir.Write("cover.jpg", PatternBytes(500));
  Add(*agent, m_musicDir.Path());
  // The agent told which files it queued before AddFile returned.
  std::map<LONG, std::string> queued = events.Queued();
  ASSERT_EQ(queued.size(), 2u);
  EXPECT_EQ((std::set<std::string>{queued.begin()->second, queued.rbegin()->second}),
            (std::set<std::string>{"one.mp3", "two.WAV"}));
  WaitUntilIdle(*agent);
  // A small file's body leaves in one piece: 0, then 100 as it goes.
  EXPECT_EQ(events.Values(), (std::vector<short>{0, 100, 0, 100}));
  EXPECT_EQ(events.Finished(), (std::map<LONG, std::string>{{queued.begin()->first, "sent"},
                                                            {queued.rbegin()->first, "sent"}}));

  EXPECT_EQ(agent->IsDone(CComVariant(kUploadUrl)), S_OK);
  EXPECT_EQ(agent->IsDone(CComVariant("http://upload.lokbin.com/c/U")), E_FAIL);
  EXPECT_EQ(agent->IsDone(CComVariant(std::int32_t{100})), E_FAIL);
  EXPECT_EQ(ReadFile(m_locker->UserDirectory(kUser) + "/one.mp3"), PatternBytes(3000));
  EXPECT_EQ(ReadFile(m_locker->UserDirectory(kUser) + "/two.WAV"), PatternBytes(3000));
  // The activated agent's log is in the bus daemon's folder.
  EXPECT_NE(ServerLog().find(std::string("Uploading to URL '") + kUploadUrl + "'"),
            std::string::npos);
}

TEST_F(AgentBusTest, TwoClientsSeeTheSameEventsAndALogoutTellsBoth) {
  ComPtr<IRequest2> first = Connect();
  ComPtr<IRequest2> second = Connect();
  ASSERT_TRUE(first && second);
  Events firstEvents, secondEvents;
  Request2Subscription firstSubscription, secondSubscription;
  ASSERT_EQ(firstEvents.Subscribe(firstSubscription, first.Get()), S_OK);
  ASSERT_EQ(secondEvents.Subscribe(secondSubscription, second.Get()), S_OK);
  LogIn(*first);
  EXPECT_EQ(LoggedIn(*second), 1);
  Add(*second, m_musicDir.Write("song.wma", PatternBytes(1024)));
  WaitUntilIdle(*second);
  std::vector<short> expected = {0, 100};
  EXPECT_EQ(secondEvents.Values(), expected);
  EXPECT_TRUE(WaitFor([&] { return firstEvents.Values() == expected; }));

  ASSERT_EQ(first->Logout(0), S_OK);
  // The logout's event came before its reply.
  expected.push_back(23);
  EXPECT_EQ(firstEvents.Values(), expected);
  EXPECT_TRUE(WaitFor([&] { return secondEvents.Values() == expected; }))
      << secondEvents.Values().size() << " events";
  EXPECT_EQ(LoggedIn(*second), 0);
  EXPECT_EQ(Status(*second), "User is not logged in");
}

TEST_F(AgentBusTest, CancelAllStopsTheRunningUploadAndTheQueueGoesOnAfterwards) {
  Events events;
  Request2Subscription subscription;
  ComPtr<IRequest2> agent = ConnectLoggedIn(events, subscription);
  ASSERT_TRUE(agent);
  // Large enough to be still on its way when the status is asked for.
  Add(*agent, m_musicDir.Write("long.mp3", PatternBytes(96 << 20)));
  EXPECT_EQ(Status(*agent), "Working...");
  ASSERT_TRUE(WaitFor([&] { return events.Values().size() >= 2; }, std::chrono::seconds(60)));
  ASSERT_EQ(agent->CancelAll(), S_OK);
  WaitUntilIdle(*agent);
  std::vector<short> canceled = events.Values();
  EXPECT_EQ(canceled.front(), 0);
  EXPECT_LT(canceled.back(), 100);
  EXPECT_EQ(agent->IsDone(CComVariant(kUploadUrl)), E_FAIL);
  EXPECT_EQ(Status(*agent), "Drag files here");

  EXPECT_EQ(events.Finished(), (std::map<LONG, std::string>{{0, "canceled"}}));
  events.Clear();
  Add(*agent, m_musicDir.Write("short.mp3", PatternBytes(2048)));
  WaitUntilIdle(*agent);
  EXPECT_EQ(events.Values(), (std::vector<short>{0, 100}));
  EXPECT_EQ(events.Finished(), (std::map<LONG, std::string>{{1, "sent"}}));
  EXPECT_EQ(agent->IsDone(CComVariant(kUploadUrl)), S_OK);
  EXPECT_EQ(ReadFile(m_locker->UserDirectory(kUser) + "/long.mp3"), "");
}

TEST_F(AgentBusTest, EveryEventOfManyTinyUploadsHasArrivedWhenTheQueueSaysItIsIdle) {
  Events events;
  Request2Subscription subscription;
  ComPtr<IRequest2> agent = ConnectLoggedIn(events, subscription);
  ASSERT_TRUE(agent);
  constexpr int kFiles = 40;
  for (int i = 0; i < kFiles; ++i) {
    m_musicDir.Write("tiny" + std::to_string(i) + ".mp3", PatternBytes(static_cast<size_t>(i)));
  }
  Add(*agent, m_musicDir.Path());
  EXPECT_EQ(events.Queued().size(), static_cast<size_t>(kFiles));
  WaitUntilIdle(*agent);
  // No waiting here: whatever the agent sent before its answer is in.
  std::map<LONG, std::string> finished = events.Finished();
  EXPECT_EQ(finished.size(), static_cast<size_t>(kFiles));
  for (const auto& [request, outcome] : finished) EXPECT_EQ(outcome, "sent") << request;
  std::vector<short> values = events.Values();
  // An empty file gets its 0 and nothing more.
  EXPECT_EQ(values.size(), static_cast<size_t>(2 * kFiles - 1));
  EXPECT_EQ(std::count(values.begin(), values.end(), 0), kFiles);
  EXPECT_EQ(std::count(values.begin(), values.end(), 100), kFiles - 1);
}

TEST_F(AgentBusTest, ALoginWaitingOnTheNetworkHoldsUpNoOtherClient) {
  // The login host of this agent takes the request and never answers.
  RawHttpServer stalling(RawHttpServer::TakeAndHold());
  ASSERT_EQ(automation::UpdateActivationEnvironment(
                {{"QAP_CONNECT_TO", std::string(kAgentWebHost) + ":80:127.0.0.1:" +
                                        std::to_string(stalling.Port())}}),
            S_OK);
  ComPtr<IRequest2> waiting = Connect();
  ComPtr<IRequest2> other = Connect();
  ASSERT_TRUE(waiting && other);
  std::atomic<bool> loginReturned{false};
  std::thread login([&] {
    LogIn(*waiting);
    loginReturned.store(true);
  });
  ASSERT_TRUE(WaitFor([&stalling] { return stalling.Requests().size() == 1; }));
  EXPECT_EQ(Status(*other), "User is not logged in");
  EXPECT_EQ(LoggedIn(*other), 0);
  EXPECT_FALSE(loginReturned.load()) << "the login did not wait after all";
  stalling.Stop();
  login.join();
  EXPECT_EQ(LoggedIn(*waiting), 0);
}

// Takes about 15 seconds: the agent's own shutdown delay, twice.
TEST_F(AgentBusTest, TheAgentEndsAboutFiveSecondsAfterItsLastClientUnlessOneComesBack) {
  ComPtr<IRequest2> agent = Connect();
  ASSERT_TRUE(agent);
  agent.Reset();
  agent = Connect();
  ASSERT_TRUE(agent);
  EXPECT_FALSE(WaitFor([] { return !IsAgentRunning(); }, std::chrono::milliseconds(6500)))
      << "the agent ended while a client held it";
  agent.Reset();
  auto released = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([] { return !IsAgentRunning(); }, std::chrono::seconds(20)));
  auto waited = std::chrono::steady_clock::now() - released;
  EXPECT_GE(waited, std::chrono::milliseconds(4500));
  EXPECT_LE(waited, std::chrono::milliseconds(10000));
  EXPECT_TRUE(
      WaitFor([this] { return ServerLog().find("LogFile was closed.") != std::string::npos; }));
}

}  // namespace
}  // namespace qap::testing
