// Modal dialogs: a nested message loop that runs until EndDialog, with the
// owner disabled meanwhile. With nobody to answer (no front-end, script or
// test in the process), a modal dialog is refused at once rather than left
// waiting for ever.
#include <cstdio>

#include "platform/base/last_error.h"
#include "platform/ui/core/dialog_state.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/resources.h"

namespace ui::core {

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND owner,
                              DLGPROC proc, LPARAM param);

namespace {

INT_PTR RunModal(HINSTANCE instance, const DialogTemplate& dialog, HWND owner, DLGPROC proc,
                 LPARAM param) {
  if (!ui::driver::HasClient()) {
    std::fprintf(stderr,
                 "The dialog \"%s\" needs a display or a script to answer it "
                 "(run with --gui on a desktop, or under \"qap ui run\").\n",
                 dialog.caption.c_str());
    SetLastError(ERROR_NOT_SUPPORTED);
    return -1;
  }
  if (owner != nullptr) owner = GetAncestor(owner, GA_ROOT);
  HWND window = CreateDialogFromTemplate(instance, dialog, owner, proc, param);
  if (window == nullptr) return -1;
  DialogState* state = DialogOf(window);
  bool ownerDisabled = false;
  if (state != nullptr && !state->ended) {
    state->modal = true;
    if (owner != nullptr && IsWindowEnabled(owner)) {
      EnableWindow(owner, FALSE);
      ownerDisabled = true;
    }
    ShowWindow(window, SW_SHOW);
  }
  MSG msg;
  while (IsWindow(window) && (state = DialogOf(window)) != nullptr && !state->ended) {
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      // WM_QUIT ends every loop it passes through, so pass it on.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  state = DialogOf(window);
  INT_PTR result = state != nullptr ? state->result : -1;
  // EndDialog already gave the owner back; a dialog destroyed some other
  // way has not.
  if (ownerDisabled && !IsWindowEnabled(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(window)) DestroyWindow(window);
  if (owner != nullptr && IsWindow(owner)) SetActiveWindow(owner);
  return result;
}

}  // namespace

}  // namespace ui::core

using namespace ui::core;

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND owner,
                                DLGPROC proc, LPARAM param) {
  if (dialog == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  return RunModal(instance, *dialog, owner, proc, param);
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM param) {
  const DialogTemplate* dialog = FindDialogTemplate(instance, templateName);
  if (dialog == nullptr) return -1;
  return RunModal(instance, *dialog, owner, proc, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogState* state = DialogOf(dialog);
  if (state == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->ended = true;
  state->result = result;
  if (state->modal) {
    // The owner comes back before the dialog goes, so activation passes to
    // it rather than to some other window.
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner != nullptr && !IsWindowEnabled(owner)) EnableWindow(owner, TRUE);
  }
  ShowWindow(dialog, SW_HIDE);
  // Wakes the loop if it waits.
  PostMessageA(dialog, WM_NULL, 0, 0);
  return TRUE;
}
