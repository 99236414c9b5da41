// Modal dialogs answered by a script as a person answers them: a message
// box over a dialog, and a thread keyboard hook that keeps Enter in an
// edit box from reaching the dialog's default button.
#include <gtest/gtest.h>

#include "platform/ui/script/script.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {


constexpr int kAskId = 200;
constexpr int kEditId = 100;

struct Outcome {
  std::vector<int> commands;
  int answer = 0;
  std::string text;
};

INT_PTR AskingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* outcome = reinterpret_cast<Outcome*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  if (message != WM_COMMAND || outcome == nullptr || HIWORD(wParam) != BN_CLICKED) return FALSE;
  int id = LOWORD(wParam);
  outcome->commands.push_back(id);
  if (id == kAskId) {
    outcome->answer = MessageBoxA(dialog, "Do you want to cancel ?", "Warning", MB_YESNO | MB_ICONWARNING);
  } else if (id == IDOK || id == IDCANCEL) {
    char text[64] = {};
    GetDlgItemTextA(dialog, kEditId, text, sizeof text);
    outcome->text = text;
    EndDialog(dialog, id);
  }
  return TRUE;
}

DialogTemplate Form(const std::string& caption) {
  DialogTemplate form;
  form.caption = caption;
  form.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  form.cx = 180;
  form.cy = 80;
  form.fontFace = "MS Sans Serif";
  form.pointSize = 8;
  form.items = {
      {WC_EDIT, kEditId, "", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 7, 7, 100, 12, {}},
      {WC_BUTTON, kAskId, "Ask", WS_VISIBLE | WS_TABSTOP, 0, 7, 30, 50, 14, {}},
      {WC_BUTTON, IDOK, "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 120, 7, 50, 14, {}},
      {WC_BUTTON, IDCANCEL, "Cancel", WS_VISIBLE | WS_TABSTOP, 0, 120, 24, 50, 14, {}},
  };
  return form;
}

TEST(ModalDialogs, AMessageBoxOverADialogIsAnsweredBeforeTheDialogGoesOn) {
  Outcome outcome;
  bool dialogDisabledMeanwhile = false;
  HWND dialogWindow = nullptr;
  ui::script::Script scriptSteps;
  scriptSteps.When("Burning", [&](HWND dialog) {
          dialogWindow = dialog;
          ui::driver::Click(GetDlgItem(dialog, kAskId));
        })
      .When("Warning", [&](HWND box) {
        dialogDisabledMeanwhile = !IsWindowEnabled(dialogWindow);
        ui::driver::Click(GetDlgItem(box, IDYES));
      })
      .When("Burning", [&](HWND dialog) { ui::driver::Click(GetDlgItem(dialog, IDOK)); });

  ui::script::Runner script(std::move(scriptSteps), {});
  script.Start();
  DialogTemplate form = Form("Burning");
  INT_PTR result = DialogBoxIndirectParamA(nullptr, &form, nullptr, AskingProc,
                                           reinterpret_cast<LPARAM>(&outcome));
  EXPECT_TRUE(script.Finished() && !script.Failed()) << script.Failure();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(outcome.answer, IDYES);
  EXPECT_TRUE(dialogDisabledMeanwhile);
  EXPECT_EQ(outcome.commands, (std::vector<int>{kAskId, IDOK}));
}

struct EnterHook {
  static inline HHOOK hook = nullptr;
  static inline int enterDowns = 0;
  static LRESULT Proc(int code, WPARAM key, LPARAM flags) {
    if (code == HC_ACTION && key == VK_RETURN) {
      if (!(flags & KF_UP_BIT)) ++enterDowns;
      return 1;
    }
    return CallNextHookEx(hook, code, key, flags);
  }
};

TEST(ModalDialogs, AKeyboardHookSwallowsEnterBeforeTheDefaultButtonSeesIt) {
  EnterHook::hook = SetWindowsHookExA(WH_KEYBOARD, &EnterHook::Proc, nullptr, GetCurrentThreadId());
  ASSERT_NE(EnterHook::hook, nullptr);
  Outcome outcome;
  ui::script::Script scriptSteps;
  scriptSteps.When("Rename", [](HWND dialog) {
    HWND edit = GetDlgItem(dialog, kEditId);
    ui::driver::TypeText(edit, "Mix");
    ui::driver::PressKey(edit, VK_RETURN);
    ui::driver::PressKey(edit, VK_ESCAPE);
  });
  ui::script::Runner script(std::move(scriptSteps), {});
  script.Start();
  DialogTemplate form = Form("Rename");
  INT_PTR result = DialogBoxIndirectParamA(nullptr, &form, nullptr, AskingProc,
                                           reinterpret_cast<LPARAM>(&outcome));
  UnhookWindowsHookEx(EnterHook::hook);
  EXPECT_TRUE(script.Finished() && !script.Failed()) << script.Failure();
  EXPECT_EQ(EnterHook::enterDowns, 1);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(outcome.commands, (std::vector<int>{IDCANCEL}));
  EXPECT_EQ(outcome.text, "Mix");
}

}  // namespace
