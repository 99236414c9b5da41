// Test support for window code.
#include "platform/ui/tests/ui_test_support.h"

namespace ui::testing {

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {
constexpr const char* kParentClass = "QapTestRecordingParent";
}

RecordingParent::RecordingParent() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Proc;
  windowClass.lpszClassName = kParentClass;
  RegisterClassA(&windowClass);  // fails harmlessly once registered
  m_window = CreateWindowExA(0, kParentClass, "Recording parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             0, 0, 640, 480, nullptr, nullptr, nullptr, this);
}

RecordingParent::~RecordingParent() {
  if (IsWindow(m_window)) DestroyWindow(m_window);
}

std::vector<UINT> RecordingParent::Codes() const {
  std::vector<UINT> codes;
  for (const Notice& notice : m_notices) codes.push_back(notice.code);
  return codes;
}

LRESULT RecordingParent::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return TRUE;
  }
  auto* self = reinterpret_cast<RecordingParent*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      self->m_notices.push_back({WM_COMMAND, LOWORD(wParam), HIWORD(wParam), lParam});
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      LRESULT result = self->onNotify ? self->onNotify(header) : 0;
      self->m_notices.push_back({WM_NOTIFY, static_cast<int>(header->idFrom), header->code, lParam});
      return result;
    }
    default:
      if (self->onOther) {
        if (LRESULT result = self->onOther(message, wParam, lParam)) return result;
      }
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND MakeControl(HWND parent, const char* className, DWORD style, int id, int width, int height,
                 const char* text) {
  return CreateWindowExA(0, className, text, style | WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                         parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr,
                         nullptr);
}

}  // namespace ui::testing
