// Keys: the character a key makes (TranslateMessage), the thread's key
// state, keyboard hooks and accelerator tables.
#include <algorithm>
#include <cstring>

#include "platform/base/last_error.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/thread_hooks.h"
#include "platform/ui/core/window.h"
#include "platform/ui/message_api.h"

namespace ui::core {

namespace {

class HookObject : public UserObject {
 public:
  HookObject() : UserObject(ObjectKind::kHook) {}
  HOOKPROC proc = nullptr;
  DWORD threadId = 0;
};

class AcceleratorTable : public UserObject {
 public:
  AcceleratorTable() : UserObject(ObjectKind::kAccelerators) {}
  std::vector<ACCEL> entries;
};

bool Down(const MessageQueue& queue, int key) { return (queue.keyState[key] & 0x80) != 0; }

// The character a key gives with the keys held, or 0 for none.
int CharacterOf(const MessageQueue& queue, WPARAM key) {
  bool shift = Down(queue, VK_SHIFT);
  bool control = Down(queue, VK_CONTROL);
  if (key >= 'A' && key <= 'Z') {
    if (control) return static_cast<int>(key - 'A' + 1);
    return shift ? static_cast<int>(key) : static_cast<int>(key - 'A' + 'a');
  }
  if (control) return 0;
  if (key >= '0' && key <= '9') return static_cast<int>(key);
  switch (key) {
    case VK_SPACE:
      return ' ';
    case VK_RETURN:
      return '\r';
    case VK_ESCAPE:
      return 0x1B;
    case VK_BACK:
      return 0x08;
    case VK_TAB:
      return '\t';
    default:
      return 0;
  }
}

LRESULT CallHookAt(const std::vector<HHOOK>& hooks, size_t index, int code, WPARAM wParam,
                   LPARAM lParam) {
  for (; index < hooks.size(); ++index) {
    auto hook = HandleTable::Get().Find<HookObject>(hooks[index], ObjectKind::kHook);
    if (hook) return hook->proc(code, wParam, lParam);
  }
  return 0;
}

}  // namespace

bool CallKeyboardHooks(MessageQueue& queue, const MSG& msg, int code) {
  if (queue.hooks.empty()) return false;
  std::vector<HHOOK> hooks = queue.hooks;
  return CallHookAt(hooks, 0, code, msg.wParam, msg.lParam) != 0;
}

}  // namespace ui::core

using namespace ui::core;

BOOL TranslateMessage(const MSG* msg) {
  if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  auto queue = MessageQueue::Current();
  int character = CharacterOf(*queue, msg->wParam);
  if (character == 0) return FALSE;
  UINT message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  queue->Post(MSG{msg->hwnd, message, static_cast<WPARAM>(character), msg->lParam, 0, {}});
  return TRUE;
}

SHORT GetKeyState(int virtualKey) {
  auto queue = MessageQueue::CurrentIfAny();
  if (!queue || virtualKey < 0 || virtualKey > 255) return 0;
  BYTE state = queue->keyState[virtualKey];
  return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 1));
}

SHORT GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }

HHOOK SetWindowsHookExA(int kind, HOOKPROC proc, HINSTANCE, DWORD threadId) {
  if (kind != WH_KEYBOARD || proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Only thread hooks: a hook of another thread, or of every thread, is
  // not offered.
  if (threadId != 0 && threadId != GetCurrentThreadId()) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return nullptr;
  }
  auto hook = std::make_shared<HookObject>();
  hook->proc = proc;
  hook->threadId = GetCurrentThreadId();
  HHOOK handle = AsHandle<HHOOK>(HandleTable::Get().Insert(hook));
  auto queue = MessageQueue::Current();
  queue->hooks.insert(queue->hooks.begin(), handle);
  return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  auto object = HandleTable::Get().Find<HookObject>(hook, ObjectKind::kHook);
  if (!object) {
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
  }
  if (auto queue = MessageQueue::ForThread(object->threadId)) std::erase(queue->hooks, hook);
  HandleTable::Get().Remove(HandleValue(hook));
  return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  auto queue = MessageQueue::Current();
  std::vector<HHOOK> hooks = queue->hooks;
  auto it = std::find(hooks.begin(), hooks.end(), hook);
  if (it == hooks.end()) return 0;
  return CallHookAt(hooks, static_cast<size_t>(it - hooks.begin()) + 1, code, wParam, lParam);
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
  if (entries == nullptr || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto table = std::make_shared<AcceleratorTable>();
  table->entries.assign(entries, entries + count);
  return AsHandle<HACCEL>(HandleTable::Get().Insert(table));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  if (!HandleTable::Get().Find(HandleValue(table), ObjectKind::kAccelerators)) return FALSE;
  HandleTable::Get().Remove(HandleValue(table));
  return TRUE;
}

int CopyAcceleratorTableA(HACCEL table, ACCEL* entries, int count) {
  auto object = HandleTable::Get().Find<AcceleratorTable>(table, ObjectKind::kAccelerators);
  if (!object) return 0;
  int total = static_cast<int>(object->entries.size());
  if (entries == nullptr) return total;
  int copied = std::min(count, total);
  std::copy_n(object->entries.begin(), copied, entries);
  return copied;
}

int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg) {
  auto object = HandleTable::Get().Find<AcceleratorTable>(table, ObjectKind::kAccelerators);
  if (!object || msg == nullptr || !IsWindow(window)) return 0;
  bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
  if (!keyDown && !character) return 0;
  bool control = GetKeyState(VK_CONTROL) < 0;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool alt = GetKeyState(VK_MENU) < 0;
  for (const ACCEL& entry : object->entries) {
    bool virtualKey = (entry.fVirt & FVIRTKEY) != 0;
    if (virtualKey != keyDown || entry.key != (msg->wParam & 0xFFFF)) continue;
    if (virtualKey && (((entry.fVirt & FCONTROL) != 0) != control ||
                       ((entry.fVirt & FSHIFT) != 0) != shift)) {
      continue;
    }
    if (((entry.fVirt & FALT) != 0) != alt) continue;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
    return 1;
  }
  return 0;
}
