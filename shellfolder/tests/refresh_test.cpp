// A change made in one process reaches the music folder's view that
// another process shows: the refresh notice travels through the session's
// window directory.
#include <gtest/gtest.h>

#include "platform/automation/private_bus.h"
#include "platform/base/process.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/shell_browser.h"
#include "platform/testing/scratch.h"
#include "platform/ui/user32.h"
#include "shellfolder/tests/view_test_support.h"

namespace cobrell::testing {
namespace {

class CrossProcess : public ViewTest {};

TEST_F(CrossProcess, ANewPlaylistShowsInTheViewOfAnotherProcess) {
  AddPlaylist("Alpha");
  qap::testing::ScratchDir dir;
  qap::automation::PrivateSessionBus bus(dir.File("bus"), dir.File("services"), dir.Path());
  std::string error;
  ASSERT_TRUE(bus.Start(&error)) << error;
  // The other process waits for the row the notice brings, then closes.
  const std::string script = dir.Write("peer.script",
                                       "wait class \"ExploreWClass\" timeout 60\n"
                                       "wait cell 1 1 0 \"Playlist 1\" timeout 60\n"
                                       "close\n");
  const std::string qap = std::string(std::getenv("QAP_BIN_DIR")) + "/qap";
  std::string command = ArgsToCommandLine(
      {qap, "ui", "run", script, "--", "shell", "browse", "QAP Music Jukebox\\Play Lists"});
  STARTUPINFOA startup{sizeof startup, 0, 0};
  PROCESS_INFORMATION peer{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &peer));
  HWND browser = nullptr;
  EXPECT_TRUE(qap::testing::WaitFor([&] {
    browser = FindWindowA(kExploreWindowClass, nullptr);
    return browser != nullptr && ViewHost(browser) != nullptr;
  })) << "the other process's view never showed in the session";

  ComPtr<IShellFolder> playLists = OpenPath({u"Play Lists"});
  ComPtr<IContextMenu> menu;
  ASSERT_EQ(playLists->GetUIObjectOf(nullptr, 0, nullptr, IID_IContextMenu, nullptr,
                                     menu.OutVoid()),
            S_OK);
  CMINVOKECOMMANDINFO invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.lpVerb = "new";
  EXPECT_EQ(menu->InvokeCommand(&invoke), S_OK);

  EXPECT_EQ(WaitForSingleObject(peer.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(peer.hProcess, &code);
  EXPECT_EQ(code, 0u) << "the other view did not show the new playlist";
  CloseHandle(peer.hProcess);
  bus.Stop();
}

}  // namespace
}  // namespace cobrell::testing
