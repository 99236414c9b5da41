// The client list: read from the registry, changed by name, formatted into
// command lines, and the hand-off of a file to no client, to one, and to a
// chosen one of several.
#include "agent/client_manager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "agent/command_line.h"
#include "platform/ui/script/script.h"
#include "agent/tests/agent_test_support.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "platform/registry/reg_key.h"

namespace qap::testing {
namespace {

// A person at the chooser, playing a window script on the test's thread.
std::unique_ptr<ui::script::Runner> Person(const std::string& steps) {
  ui::script::Script script;
  std::string error;
  EXPECT_TRUE(ui::script::Parse(steps, &script, &error)) << error;
  auto runner = std::make_unique<ui::script::Runner>(std::move(script), ui::script::Services{});
  runner->Start();
  return runner;
}

class ClientManagerTest : public AgentTest {
 protected:
  // A client program that writes its arguments, one a line, to "<name>.args"
  // beside itself.
  std::string ClientProgram(const std::string& name) {
    std::string path = m_agentDir.Write(
        name,
        "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args.part\" && mv \"$0.args.part\" \"$0.args\"\n");
    chmod(path.c_str(), 0755);
    return path;
  }
  std::string ArgumentsOf(const std::string& program) {
    SCOPED_TRACE("ArgumentsOf " + program);
    EXPECT_TRUE(WaitFor([&] { return !ReadFile(program + ".args").empty(); }))
        << "the client never ran";
    return ReadFile(program + ".args");
  }
  static void RegisterClient(const char* name, const char* format, const char* path) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, (std::string(kClientsKey) + "\\" + name).c_str()),
              ERROR_SUCCESS);
    if (format != nullptr) {
      RegSetValueExA(key.Get(), "Format", 0, REG_SZ, reinterpret_cast<const BYTE*>(format),
                     static_cast<DWORD>(std::strlen(format) + 1));
    }
    RegSetValueExA(key.Get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                   static_cast<DWORD>(std::strlen(path) + 1));
  }

  ScratchHive m_hive;
  CClientManager m_clients;
};

std::vector<std::string> Names(const std::vector<ClientInfo>& clients) {
  std::vector<std::string> names;
  for (const ClientInfo& client : clients) names.push_back(client.name.str());
  return names;
}

TEST_F(ClientManagerTest, TheRegistryListsEachClientWithItsFormatAndPath) {
  m_clients.ReadRegistry();
  EXPECT_TRUE(m_clients.Clients().empty());
  EXPECT_TRUE(
      Logged("CClientManager: Failed to open registry key 'Software\\Lokbin Inc.\\Lokbin "
             "Agent\\Applications'. No client information was read"));
  RegisterClient("Player", "player.exe /add \"%s\"", "C:\\Player\\player.exe");
  RegisterClient("Editor", nullptr, "/usr/bin/editor");
  m_clients.ReadRegistry();
  std::vector<ClientInfo> clients = m_clients.Clients();
  ASSERT_EQ(Names(clients), (std::vector<std::string>{"Editor", "Player"}));
  EXPECT_EQ(clients[0].Format, "");
  EXPECT_EQ(clients[1].Format, "player.exe /add \"%s\"");
  EXPECT_EQ(clients[1].Path, "C:\\Player\\player.exe");
  EXPECT_TRUE(
      Logged("CClientManager: Added client information: 'player.exe /add \"%s\"' "
             "'C:\\Player\\player.exe'"));
  EXPECT_TRUE(Logged("CClientManager: Added client information: '' '/usr/bin/editor'"));
}

TEST_F(ClientManagerTest, RemoveTakesOnlyTheFirstClientOfThatExactName) {
  m_clients.Add({"Twin", "first %s", "/a"});
  m_clients.Add({"Other", "%s", "/b"});
  m_clients.Add({"Twin", "second %s", "/c"});
  m_clients.Remove("twin");
  m_clients.Remove("Nobody");
  EXPECT_EQ(m_clients.Clients().size(), 3u);
  m_clients.Remove("Twin");
  std::vector<ClientInfo> clients = m_clients.Clients();
  ASSERT_EQ(Names(clients), (std::vector<std::string>{"Other", "Twin"}));
  EXPECT_EQ(clients[1].Format, "second %s");
}

TEST(ClientCommandLine, OnlyTheFirstPlaceholderIsFilledAndOtherPercentSignsStay) {
  EXPECT_EQ(FormatClientCommandLine("player \"%s\"", "C:\\a b.mp3"), "player \"C:\\a b.mp3\"");
  EXPECT_EQ(FormatClientCommandLine("p %d %s %s 100%", "f"), "p %d f %s 100%");
  EXPECT_EQ(FormatClientCommandLine("p --volume=50%", "f"), "p --volume=50%");
  EXPECT_EQ(FormatClientCommandLine("p %s", "100% %s %n"), "p 100% %s %n");
  EXPECT_EQ(FormatClientCommandLine("p \"%s\"", "a\\\"b"), "p \"a\\\\\\\"b\"");
}

TEST_F(ClientManagerTest, OneClientIsStartedWithTheFormattedCommandLine) {
  std::string program = ClientProgram("player");
  m_clients.Add({"Player", "player --add \"%s\" --volume 50%", program.c_str()});
  m_clients.HandOff("C:\\My Music\\a b.mp3");
  EXPECT_EQ(ArgumentsOf(program), "--add\nC:\\My Music\\a b.mp3\n--volume\n50%\n");
  // A quote in a file name cannot smuggle in arguments of its own.
  std::filesystem::remove(program + ".args");
  m_clients.HandOff("/music/a\" --evil \"b.mp3");
  EXPECT_EQ(ArgumentsOf(program), "--add\n/music/a\" --evil \"b.mp3\n--volume\n50%\n");
}

TEST_F(ClientManagerTest, WithSeveralClientsThePersonPicksOneInTheChooserDialog) {
  m_clients.HandOff("a.mp3");
  std::string first = ClientProgram("first");
  std::string second = ClientProgram("second");
  m_clients.Add({"First", "first %s", first.c_str()});
  m_clients.Add({"Second", "second %s", second.c_str()});

  // Nobody there to answer: the dialog is refused at once and nothing starts.
  ::testing::internal::CaptureStderr();
  m_clients.HandOff("a.mp3");
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("\"Downloading to clients\" needs a display"),
            std::string::npos);

  auto cancelling = Person(
      "wait window \"Downloading to clients\"\n"
      "expect disabled \"OK\"\n"
      "expect rows 1003 2\n"
      "expect cell 1003 0 0 \"First\"\n"
      "expect cell 1003 1 0 \"Second\"\n"
      "click \"Cancel\"\n");
  m_clients.HandOff("a.mp3");
  EXPECT_TRUE(cancelling->Finished() && !cancelling->Failed()) << cancelling->Failure();

  auto picking = Person(
      "wait window \"Downloading to clients\"\n"
      "key Enter\n"
      "expect disabled \"OK\"\n"
      "select 1003 \"Second\"\n"
      "expect enabled \"OK\"\n"
      "click \"OK\"\n");
  m_clients.HandOff("b.mp3");
  EXPECT_TRUE(picking->Finished() && !picking->Failed()) << picking->Failure();
  EXPECT_EQ(ArgumentsOf(second), "b.mp3\n");
  EXPECT_EQ(ReadFile(first + ".args"), "");
}

TEST_F(ClientManagerTest, TheProgramStartedWithAFileHandsItToTheRegisteredClient) {
  std::string program = ClientProgram("player");
  RegisterClient("Player", "player \"%s\"", program.c_str());
  // The built program's folder may hold a dash; only the argument counts.
  std::string agent = std::string(std::getenv("QAP_BIN_DIR")) + "/LBAgent2";
  std::string line =
      CommandLineOf(2, std::vector<const char*>{agent.c_str(), "C:\\Music\\song.mp3"}.data());
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessA(agent.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             m_musicDir.Path().c_str(), nullptr, &started));
  EXPECT_EQ(WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ArgumentsOf(program), "C:\\Music\\song.mp3\n");
  std::string log = ReadFile(m_musicDir.File("LogFile.log"));
  EXPECT_NE(log.find("CClientManager: Added client information: 'player \"%s\"'"),
            std::string::npos)
      << log;
}

}  // namespace
}  // namespace qap::testing
