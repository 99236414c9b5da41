// Windows of another process: found through the session bus, and reached
// by WM_COPYDATA, which travels there and back before SendMessage returns;
// a process that died answers failure within a bounded time.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>

#include "platform/automation/private_bus.h"
#include "platform/base/process.h"
#include "platform/testing/scratch.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"

namespace {

TEST(RemoteWindows, CopyDataReachesAWindowOfAnotherProcessAndFailsOnceItDied) {
  qap::testing::ScratchDir dir;
  qap::automation::PrivateSessionBus bus(dir.File("bus"), dir.File("services"), dir.Path());
  std::string error;
  ASSERT_TRUE(bus.Start(&error)) << error;
  std::string received = dir.File("received");
  std::string peer = std::string(std::getenv("QAP_BIN_DIR")) + "/ui_window_peer";
  std::string command = ArgsToCommandLine({peer, received});
  STARTUPINFOA startup{sizeof startup, 0, 0};
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));

  HWND top = nullptr;
  ASSERT_TRUE(qap::testing::WaitFor([&] { return (top = FindWindowA(nullptr, "Peer window")) != nullptr; }))
      << "the other process's window never showed in the session";
  HWND view = FindWindowExA(top, nullptr, nullptr, "Peer view");
  ASSERT_NE(view, nullptr);
  char title[32] = "";
  GetWindowTextA(view, title, sizeof title);
  EXPECT_STREQ(title, "Peer view");

  std::string payload("music item\0with a zero", 22);
  COPYDATASTRUCT data{0, static_cast<DWORD>(payload.size()), payload.data()};
  EXPECT_EQ(SendMessageA(view, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 23);
  EXPECT_EQ(qap::testing::ReadFile(received), payload);

  // The other process draws its window offscreen when asked for a picture.
  std::string picture = dir.File("peer.png");
  ASSERT_TRUE(ui::driver::PictureOfSessionWindow(top, picture, &error)) << error;
  std::string png = qap::testing::ReadFile(picture);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  // The width and height of the image header, big-endian.
  auto word = [&](size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(word(16), 200);
  EXPECT_EQ(word(20), 100);

  kill(static_cast<pid_t>(process.dwProcessId), SIGKILL);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SendMessageA(view, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
  EXPECT_EQ(FindWindowA(nullptr, "Peer window"), nullptr);
  bus.Stop();
}

}  // namespace
