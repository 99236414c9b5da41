// Edit boxes typed into as a person types: the limit and EN_MAXTEXT,
// EN_UPDATE before EN_CHANGE, characters of several bytes kept whole, the
// caret keys, and the styles that filter what is typed.
#include <gtest/gtest.h>

#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::MakeControl;
using ui::testing::Pump;
using ui::testing::RecordingParent;

std::string TextOf(HWND window) {
  char text[256];
  GetWindowTextA(window, text, sizeof text);
  return text;
}

TEST(Edit, TypingHonoursTheLimitAndKeepsCharactersOfSeveralBytesWhole) {
  RecordingParent parent;
  HWND edit = MakeControl(parent.Window(), WC_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, 40, 120, 20);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 30000);
  SendMessageA(edit, EM_LIMITTEXT, 5, 0);

  ui::driver::TypeText(edit, "ab");
  Pump();
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{EN_SETFOCUS, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));

  // "é" comes as two WM_CHAR bytes and goes in once, whole.
  parent.Clear();
  ui::driver::TypeText(edit, "\xC3\xA9");
  Pump();
  EXPECT_EQ(TextOf(edit), "ab\xC3\xA9");
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
  auto* model = ui::driver::Model<ui::driver::EditModel>(edit);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->SelectionStart(), 4);
  EXPECT_EQ(model->Limit(), 5);

  // One byte is left: a second "é" does not fit and is refused, not cut.
  parent.Clear();
  ui::driver::TypeText(edit, "\xC3\xA9");
  Pump();
  EXPECT_EQ(TextOf(edit), "ab\xC3\xA9");
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{EN_MAXTEXT}));
  ui::driver::TypeText(edit, "cd");
  Pump();
  EXPECT_EQ(TextOf(edit), "ab\xC3\xA9" "c");
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));

  // Backspace takes whole characters, from the keyboard as from WM_CHAR.
  ui::driver::PressKey(edit, VK_BACK);
  ui::driver::PressKey(edit, VK_BACK);
  Pump();
  EXPECT_EQ(TextOf(edit), "ab");
  EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));

  // Setting the text is no change by a person, but says so all the same.
  parent.Clear();
  SetWindowTextA(edit, "Playlist 1");
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
  EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(model->SelectionStart(), 0);
  // The limit binds a person, not WM_SETTEXT.
  EXPECT_EQ(TextOf(edit), "Playlist 1");
}

TEST(Edit, CaretKeysSelectionAndStylesShapeWhatIsTyped) {
  RecordingParent parent;
  HWND edit = MakeControl(parent.Window(), WC_EDIT, ES_AUTOHSCROLL, 41, 120, 20, "Rock");
  SetFocus(edit);
  DWORD start = 0;
  DWORD end = 0;

  // The dialog manager selects everything with EM_SETSEL 0, -1.
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  ui::driver::TypeText(edit, "Jazz");
  Pump();
  EXPECT_EQ(TextOf(edit), "Jazz");

  ui::driver::PressKey(edit, VK_HOME);
  ui::driver::PressKey(edit, VK_RIGHT);
  ui::driver::PressKey(edit, VK_RIGHT, false, true);
  ui::driver::PressKey(edit, VK_DELETE);
  ui::driver::PressKey(edit, VK_END);
  ui::driver::TypeText(edit, "!");
  Pump();
  EXPECT_EQ(TextOf(edit), "Jzz!");

  SendMessageA(edit, EM_SETSEL, 1, 3);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("a"));
  EXPECT_EQ(TextOf(edit), "Ja!");

  SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
  ui::driver::TypeText(edit, "x");
  ui::driver::PressKey(edit, VK_BACK);
  Pump();
  EXPECT_EQ(TextOf(edit), "Ja!");
  EXPECT_TRUE(ui::driver::Model<ui::driver::EditModel>(edit)->ReadOnly());

  HWND number = MakeControl(parent.Window(), WC_EDIT, ES_NUMBER, 42, 60, 20);
  ui::driver::TypeText(number, "1a2");
  HWND upper = MakeControl(parent.Window(), WC_EDIT, ES_UPPERCASE, 43, 60, 20);
  ui::driver::TypeText(upper, "mix\xC3\xA9");
  Pump();
  EXPECT_EQ(TextOf(number), "12");
  EXPECT_EQ(TextOf(upper), "MIX\xC3\x89");
  EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
}

}  // namespace
