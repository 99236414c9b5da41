// Buttons and statics driven as a person drives them: the order of focus
// and click notifications, automatic check boxes and radio groups, Space,
// disabled buttons, and a static's click and image.
#include <gtest/gtest.h>

#include "platform/ui/resources.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::MakeControl;
using ui::testing::Pump;
using ui::testing::RecordingParent;

std::vector<std::pair<int, UINT>> Commands(const RecordingParent& parent) {
  std::vector<std::pair<int, UINT>> commands;
  for (const auto& notice : parent.Notices()) {
    if (notice.message == WM_COMMAND) commands.emplace_back(notice.id, notice.code);
  }
  return commands;
}

// Looks at a check box's state while its parent hears of the click.
struct CheckAtClick {
  static inline WNDPROC previous = nullptr;
  static inline HWND box = nullptr;
  static inline LRESULT seen = -1;
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == box) {
      seen = SendMessageA(box, BM_GETCHECK, 0, 0);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
  }
};

TEST(Buttons, AClickTakesTheFocusFirstAndAnAutomaticBoxChecksBeforeTheParentHears) {
  RecordingParent parent;
  HWND edit = MakeControl(parent.Window(), WC_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, 10, 100, 20);
  HWND push = MakeControl(parent.Window(), WC_BUTTON, BS_PUSHBUTTON | BS_NOTIFY, 11, 80, 20, "Go");
  HWND box = MakeControl(parent.Window(), WC_BUTTON, BS_AUTOCHECKBOX, 12, 80, 20, "Use TMP folder");
  CheckAtClick::box = box;
  CheckAtClick::previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(parent.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CheckAtClick::Proc)));
  SetFocus(edit);
  parent.Clear();

  ui::driver::Click(push);
  Pump();
  using Command = std::pair<int, UINT>;
  EXPECT_EQ(Commands(parent),
            (std::vector<Command>{{10, EN_KILLFOCUS}, {11, BN_SETFOCUS}, {11, BN_CLICKED}}));
  EXPECT_EQ(GetFocus(), push);
  EXPECT_EQ(SendMessageA(push, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  EXPECT_EQ(GetCapture(), nullptr);

  parent.Clear();
  ui::driver::Click(box);
  Pump();
  EXPECT_EQ(Commands(parent), (std::vector<Command>{{11, BN_KILLFOCUS}, {12, BN_CLICKED}}));
  EXPECT_EQ(CheckAtClick::seen, BST_CHECKED);
  auto* model = ui::driver::Model<ui::driver::ButtonModel>(box);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->ButtonKind(), ui::driver::ButtonModel::Kind::kCheckBox);
  EXPECT_EQ(model->CheckState(), 1);

  // Space clicks the focused box from the keyboard.
  parent.Clear();
  ui::driver::PressKey(box, VK_SPACE);
  Pump();
  EXPECT_EQ(Commands(parent), (std::vector<Command>{{12, BN_CLICKED}}));
  EXPECT_EQ(CheckAtClick::seen, BST_UNCHECKED);

  // A disabled button ignores the mouse and BM_CLICK alike.
  EnableWindow(push, FALSE);
  parent.Clear();
  ui::driver::Click(push);
  SendMessageA(push, BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(Commands(parent).empty());
  SetWindowLongPtrA(parent.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckAtClick::previous));
}

TEST(Buttons, AnAutomaticRadioButtonUnchecksTheOthersOfItsGroupOnly) {
  RecordingParent parent;
  HWND first = MakeControl(parent.Window(), WC_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 20, 80, 20, "wav");
  HWND second = MakeControl(parent.Window(), WC_BUTTON, BS_AUTORADIOBUTTON, 21, 80, 20, "wma");
  HWND third = MakeControl(parent.Window(), WC_BUTTON, BS_AUTORADIOBUTTON, 22, 80, 20, "mp3");
  HWND other = MakeControl(parent.Window(), WC_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 23, 80, 20, "x");
  SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_TRUE(GetWindowLongA(first, GWL_STYLE) & WS_TABSTOP);

  ui::driver::Click(third);
  Pump();
  EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(third, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(other, BM_GETCHECK, 0, 0), BST_CHECKED);
  // The checked button of a group is the one Tab stops at.
  EXPECT_FALSE(GetWindowLongA(first, GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongA(third, GWL_STYLE) & WS_TABSTOP);
  EXPECT_EQ(SendMessageA(third, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{BN_CLICKED}));

  // BM_SETSTYLE is how the dialog manager moves the default button.
  HWND push = MakeControl(parent.Window(), WC_BUTTON, BS_PUSHBUTTON, 24, 80, 20, "OK");
  EXPECT_EQ(SendMessageA(push, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  SendMessageA(push, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageA(push, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  EXPECT_EQ(ui::driver::Model<ui::driver::ButtonModel>(push)->ButtonKind(),
            ui::driver::ButtonModel::Kind::kDefaultPush);
}

TEST(Statics, ANotifyingStaticReportsClicksAndAnIconStaticSwapsItsIcon) {
  RecordingParent parent;
  HWND label = MakeControl(parent.Window(), WC_STATIC, SS_LEFT | SS_NOTIFY, 30, 80, 20, "Track list:");
  HWND icon = MakeControl(parent.Window(), WC_STATIC, SS_ICON, 31, 32, 32);
  ui::driver::Click(label);
  Pump();
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{STN_CLICKED}));
  EXPECT_EQ(SendMessageA(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);

  HICON first = LoadIconA(nullptr, IDI_QUESTION);
  HICON second = LoadIconA(nullptr, IDI_HAND);
  EXPECT_EQ(SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(first), 0), 0);
  EXPECT_EQ(SendMessageA(icon, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(second)),
            reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(ui::driver::Model<ui::driver::StaticModel>(icon)->Icon(), second);
  // A bitmap does not go into an icon static.
  EXPECT_EQ(SendMessageA(icon, STM_SETIMAGE, IMAGE_BITMAP, 1), 0);
  EXPECT_EQ(SendMessageA(icon, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

}  // namespace
