// Queues, sends across threads, waits, destruction order, hooks and modal
// loops of the window system core.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/ui/driver.h"
#include "platform/ui/tests/ui_test_support.h"
#include "platform/ui/user32.h"

namespace {

constexpr const char* kClass = "QapQueueTestWindow";

// Every window of the test class logs "name:message" here, with its
// window text as the name.
thread_local std::vector<std::string>* t_log = nullptr;
std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> g_onMessage;

std::string NameOf(HWND window) {
  char text[64] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

LRESULT TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (t_log != nullptr && (message == WM_DESTROY || message == WM_NCDESTROY)) {
    // The window text is still there in both.
    t_log->push_back(NameOf(window) + (message == WM_DESTROY ? ":destroy" : ":ncdestroy"));
  }
  if (message >= WM_USER && g_onMessage) return g_onMessage(window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const char* name, HWND parent = nullptr) {
  static bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestProc;
    windowClass.lpszClassName = kClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  EXPECT_TRUE(registered);
  DWORD style = parent != nullptr ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
  return CreateWindowExA(0, kClass, name, style, 0, 0, 100, 100, parent, nullptr, nullptr, nullptr);
}

// Runs a window on its own thread, pumping messages until told to stop.
class WindowThread {
 public:
  WindowThread() {
    m_thread = std::thread([this] {
      m_window = MakeWindow("other");
      m_ready = true;
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
      DestroyWindow(m_window);
    });
    while (!m_ready) std::this_thread::yield();
  }
  ~WindowThread() {
    PostThreadMessageA(GetWindowThreadProcessId(m_window, nullptr), WM_QUIT, 0, 0);
    m_thread.join();
  }
  HWND Window() const { return m_window; }

 private:
  std::thread m_thread;
  std::atomic<bool> m_ready{false};
  HWND m_window = nullptr;
};

class QueueTest : public ::testing::Test {
 protected:
  void TearDown() override { g_onMessage = nullptr; }
};

TEST_F(QueueTest, CrossThreadSendIsAnsweredWhileTheSenderIsSentTo) {
  HWND mine = MakeWindow("mine");
  WindowThread other;
  std::vector<std::string> seen;
  g_onMessage = [&](HWND window, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message == WM_USER + 1) {
      // On the other thread: ask back before answering.
      LRESULT back = SendMessageA(mine, WM_USER + 2, wParam, 0);
      return back + 1;
    }
    if (message == WM_USER + 2) {
      seen.push_back(window == mine ? "sent back to the waiting sender" : "wrong window");
      return static_cast<LRESULT>(wParam) * 10;
    }
    return 0;
  };
  EXPECT_EQ(SendMessageA(other.Window(), WM_USER + 1, 4, 0), 41);
  EXPECT_EQ(seen, std::vector<std::string>{"sent back to the waiting sender"});
  DestroyWindow(mine);
}

TEST_F(QueueTest, SendToAWindowWhoseThreadEndedFailsCleanly) {
  HWND orphan = nullptr;
  std::thread([&] { orphan = MakeWindow("orphan"); }).join();
  EXPECT_FALSE(IsWindow(orphan));
  SetLastError(0);
  EXPECT_EQ(SendMessageA(orphan, WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(PostMessageA(orphan, WM_USER, 0, 0));
  EXPECT_FALSE(SetWindowTextA(orphan, "x"));
}

TEST_F(QueueTest, MessageAwareWaitWakesOnAPostedMessageAndOnAnEvent) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD me = GetCurrentThreadId();
  // As on Windows, a thread has a queue to post to only once it made one.
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  std::thread poster([me] { EXPECT_TRUE(PostThreadMessageA(me, WM_USER + 7, 0, 0)); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 10000, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  poster.join();
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 7u);
  std::thread setter([event] { SetEvent(event); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 10000, QS_ALLINPUT), WAIT_OBJECT_0);
  setter.join();
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST_F(QueueTest, DestroyGoesDownWithDestroyAndBackUpWithNcDestroyAndHandlesStayDead) {
  std::vector<std::string> log;
  t_log = &log;
  HWND parent = MakeWindow("parent");
  HWND child = MakeWindow("child", parent);
  MakeWindow("grandchild", child);
  MakeWindow("second", parent);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), child);
  ASSERT_TRUE(DestroyWindow(parent));
  t_log = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"parent:destroy", "child:destroy", "grandchild:destroy",
                                           "second:destroy", "grandchild:ncdestroy",
                                           "child:ncdestroy", "second:ncdestroy",
                                           "parent:ncdestroy"}));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(SetWindowTextA(child, "late"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  HWND next = MakeWindow("next");
  EXPECT_NE(next, parent);
  EXPECT_NE(next, child);
  DestroyWindow(next);
}

TEST_F(QueueTest, TimersTickUntilKilledAndRegisteredMessagesAreShared) {
  HWND window = MakeWindow("timer");
  int ticks = 0;
  g_onMessage = nullptr;
  ASSERT_EQ(SetTimer(window, 5, 10, nullptr), 5u);
  MSG msg;
  while (ticks < 2 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == window && msg.wParam == 5) ++ticks;
  }
  EXPECT_TRUE(KillTimer(window, 5));
  EXPECT_FALSE(KillTimer(window, 5));
  DestroyWindow(window);

  UINT first = RegisterWindowMessageA("ConversionDlg_ConvertNextTrack");
  EXPECT_GE(first, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageA("conversiondlg_convertnexttrack"), first);
  EXPECT_NE(RegisterWindowMessageA("ConversionDlg_StopBtnPressed"), first);
}

// The thread's keyboard hook sees each key as it leaves the queue; an
// answer other than zero makes it vanish before anyone else sees it.
LRESULT SwallowReturn(int code, WPARAM key, LPARAM flags) {
  if (code == HC_ACTION && key == VK_RETURN) return 1;
  return CallNextHookEx(nullptr, code, key, flags);
}

TEST_F(QueueTest, AKeyboardHookSwallowsAKeyBeforeTheWindowSeesIt) {
  HWND window = MakeWindow("keys");
  ShowWindow(window, SW_SHOW);
  SetFocus(window);
  std::vector<std::string> keys;
  HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, SwallowReturn, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  ui::driver::PressKey(window, VK_RETURN);
  ui::driver::PressKey(window, 'A', false, true);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.hwnd == window && (msg.message == WM_KEYDOWN || msg.message == WM_CHAR)) {
      keys.push_back((msg.message == WM_KEYDOWN ? "down " : "char ") + std::to_string(msg.wParam));
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // Shift, then A with the character it makes while Shift is held.
  EXPECT_EQ(keys, (std::vector<std::string>{"down 16", "down 65", "char 65"}));
  EXPECT_TRUE(UnhookWindowsHookEx(hook));
  EXPECT_FALSE(UnhookWindowsHookEx(hook));
  DestroyWindow(window);
}

INT_PTR EndOnOk(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    EndDialog(dialog, 42);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

// Presses Enter in the first window with the caption it waits for.
class PressEnterWhenShown : public ui::driver::TurnTaker {
 public:
  explicit PressEnterWhenShown(std::string caption) : m_caption(std::move(caption)) {}
  ui::driver::TurnResult TakeTurn() override {
    HWND window = FindWindowA(nullptr, m_caption.c_str());
    if (window == nullptr || !IsWindowVisible(window) || m_pressed) return {};
    m_pressed = true;
    ui::driver::PressKey(window, VK_RETURN);
    return {true, std::nullopt};
  }

 private:
  std::string m_caption;
  bool m_pressed = false;
};

TEST_F(QueueTest, AModalDialogScriptedBeforeItOpensEndsThroughTheDialogManager) {
  DialogTemplate dialog;
  dialog.caption = "Scripted";
  dialog.style = WS_POPUP | WS_CAPTION | DS_SETFONT;
  dialog.cx = 100;
  dialog.cy = 50;
  dialog.fontFace = "MS Sans Serif";
  dialog.pointSize = 8;
  HWND owner = MakeWindow("owner");
  ShowWindow(owner, SW_SHOW);

  // Nobody to answer: refused at once, never waiting.
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &dialog, owner, EndOnOk, 0), -1);

  PressEnterWhenShown person("Scripted");
  ui::driver::AddTurnTaker(&person);
  bool ownerDisabledMeanwhile = false;
  g_onMessage = nullptr;
  INT_PTR result = DialogBoxIndirectParamA(nullptr, &dialog, owner, EndOnOk, 0);
  ui::driver::RemoveTurnTaker(&person);
  ownerDisabledMeanwhile = !IsWindowEnabled(owner);
  EXPECT_EQ(result, 42);
  EXPECT_FALSE(ownerDisabledMeanwhile);
  EXPECT_EQ(FindWindowA(nullptr, "Scripted"), nullptr);
  // 100 by 50 dialog units of MS Sans Serif 8 (6 by 13 base units).
  DestroyWindow(owner);
}

}  // namespace

namespace {

LRESULT FirstModuleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_USER ? 1 : DefWindowProcA(window, message, wParam, lParam);
}
LRESULT SecondModuleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_USER ? 2 : DefWindowProcA(window, message, wParam, lParam);
}

TEST(WindowClasses, EachModuleHasItsOwnClassOfANameAndItsWindowsAreMadeOfIt) {
  // Two loaded copies of one module, as two handles.
  static int first;
  static int second;
  HINSTANCE one = &first;
  HINSTANCE two = &second;
  WNDCLASSA windowClass{};
  windowClass.lpszClassName = "QapModuleLocalClass";
  windowClass.hInstance = one;
  windowClass.lpfnWndProc = FirstModuleProc;
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  EXPECT_EQ(RegisterClassA(&windowClass), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  windowClass.hInstance = two;
  windowClass.lpfnWndProc = SecondModuleProc;
  ASSERT_NE(RegisterClassA(&windowClass), 0) << "another module's class of the same name";
  // A built-in class stays the system's.
  windowClass.lpszClassName = "Button";
  EXPECT_EQ(RegisterClassA(&windowClass), 0);

  HWND ofOne = CreateWindowExA(0, "QapModuleLocalClass", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, one, nullptr);
  HWND ofTwo = CreateWindowExA(0, "QapModuleLocalClass", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, two, nullptr);
  EXPECT_EQ(SendMessageA(ofOne, WM_USER, 0, 0), 1);
  EXPECT_EQ(SendMessageA(ofTwo, WM_USER, 0, 0), 2);
  WNDCLASSA info{};
  ASSERT_TRUE(GetClassInfoA(two, "QapModuleLocalClass", &info));
  EXPECT_EQ(info.lpfnWndProc, &SecondModuleProc);
  DestroyWindow(ofOne);
  DestroyWindow(ofTwo);
  EXPECT_TRUE(UnregisterClassA("QapModuleLocalClass", one));
  EXPECT_TRUE(UnregisterClassA("QapModuleLocalClass", two));
}

}  // namespace
