// The headless message box and its hook.
#include "platform/base/message_box.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_hookMutex;
MessageBoxHook g_hook;

int DefaultAnswer(UINT type) {
  static const int kButtons[][3] = {
      {IDOK, IDOK, IDOK},         {IDOK, IDCANCEL, IDCANCEL},   {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL},    {IDYES, IDNO, IDNO},          {IDRETRY, IDCANCEL, IDCANCEL},
  };
  static const int kButtonCount[] = {1, 2, 3, 3, 2, 2};
  UINT kind = type & MB_TYPEMASK;
  if (kind > MB_RETRYCANCEL) kind = MB_OK;
  int index = static_cast<int>((type & MB_DEFMASK) >> 8);
  // Windows falls back to the first button when the default names a button
  // the box does not have.
  if (index >= kButtonCount[kind]) index = 0;
  return kButtons[kind][index];
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  MessageBoxRequest request{owner, text != nullptr ? text : "",
                            caption != nullptr ? caption : "Error", type, DefaultAnswer(type)};
  MessageBoxHook hook;
  {
    std::lock_guard lock(g_hookMutex);
    hook = g_hook;
  }
  if (hook) return hook(request);
  std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
  return request.defaultAnswer;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  std::lock_guard lock(g_hookMutex);
  MessageBoxHook previous = std::move(g_hook);
  g_hook = std::move(hook);
  return previous;
}
