// Combo boxes and list boxes driven as a person drives them: the order of
// a combo box's notifications for a choice against none for CB_SETCURSEL,
// extended selection with Ctrl and Shift, and owner-drawn rows measured,
// drawn and deleted through their owner.
#include <gtest/gtest.h>

#include "platform/ui/gdi.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::MakeControl;
using ui::testing::Pump;
using ui::testing::RecordingParent;

void Add(HWND window, UINT message, const char* text) {
  SendMessageA(window, message, 0, reinterpret_cast<LPARAM>(text));
}

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows(16);
  auto count = SendMessageA(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
  rows.resize(count < 0 ? 0 : static_cast<size_t>(count));
  return rows;
}

TEST(ComboBox, APersonsChoiceNotifiesInWindowsOrderWhileCodeChangesSilently) {
  RecordingParent parent;
  std::vector<ULONG_PTR> deleted;
  parent.onOther = [&](UINT message, WPARAM, LPARAM lParam) -> LRESULT {
    if (message == WM_DELETEITEM) deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->itemData);
    return message == WM_DELETEITEM ? TRUE : 0;
  };
  HWND combo = MakeControl(parent.Window(), WC_COMBOBOX, CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP, 50, 120, 100);
  for (const char* extension : {"wma", "mp3", "wav"}) Add(combo, CB_ADDSTRING, extension);
  char text[16] = {};
  SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "mp3");
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("WAV")), 1);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, 1, reinterpret_cast<LPARAM>("w")), 2);

  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "wma");
  EXPECT_TRUE(parent.Codes().empty());

  ui::driver::SelectEntry(combo, 0);
  Pump();
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP,
                                               CBN_SELCHANGE}));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "mp3");
  auto* list = ui::driver::Model<ui::driver::ListModel>(combo);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Current(), 0);
  EXPECT_EQ(list->Text(2), "wma");
  EXPECT_TRUE(ui::driver::Model<ui::driver::ComboModel>(combo)->DropDownList());

  // The same entry again closes the list without a change.
  parent.Clear();
  ui::driver::SelectEntry(combo, 0);
  ui::driver::PressKey(combo, VK_DOWN);
  Pump();
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELENDOK,
                                               CBN_SELCHANGE}));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);

  SendMessageA(combo, CB_SETITEMDATA, 1, 77);
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 77);
  EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 1, 0), 2);
  EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{77}));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 5, 0), CB_ERR);
}

TEST(ComboBox, ADropDownsFieldSpeaksThroughTheComboBox) {
  RecordingParent parent;
  HWND combo = MakeControl(parent.Window(), WC_COMBOBOX, CBS_DROPDOWN, 51, 120, 100);
  HWND field = GetDlgItem(combo, kComboEditId);
  ASSERT_NE(field, nullptr);
  Add(combo, CB_ADDSTRING, "Rock");
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  char text[32] = {};
  GetWindowTextA(field, text, sizeof text);
  EXPECT_STREQ(text, "Rock");
  EXPECT_TRUE(parent.Codes().empty());

  // Typed into the combo box, the characters go to its field.
  ui::driver::TypeText(combo, "s");
  Pump();
  EXPECT_EQ(GetFocus(), field);
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{CBN_SETFOCUS, CBN_EDITUPDATE, CBN_EDITCHANGE}));
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "s");
  EXPECT_FALSE(ui::driver::Model<ui::driver::ComboModel>(combo)->DropDownList());
}

TEST(ListBox, ExtendedSelectionFollowsCtrlAndShiftAndOnlyAPersonNotifies) {
  RecordingParent parent;
  POINT menuAt{-1, -1};
  parent.onOther = [&](UINT message, WPARAM, LPARAM lParam) -> LRESULT {
    if (message == WM_CONTEXTMENU) menuAt = POINT{LOWORD(static_cast<WPARAM>(lParam)), HIWORD(static_cast<WPARAM>(lParam))};
    return 0;
  };
  HWND list = MakeControl(parent.Window(), WC_LISTBOX, LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL, 60, 120, 200);
  for (const char* name : {"one", "two", "three", "four", "five"}) Add(list, LB_ADDSTRING, name);

  ui::driver::ClickRow(list, 1);
  ui::driver::ClickRow(list, 3, MK_SHIFT);
  ui::driver::ClickRow(list, 0, MK_CONTROL);
  ui::driver::ClickRow(list, 2, MK_CONTROL);
  Pump();
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 2);
  EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 3);
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE,
                                               LBN_SELCHANGE}));
  auto* model = ui::driver::Model<ui::driver::ListModel>(list);
  ASSERT_NE(model, nullptr);
  EXPECT_TRUE(model->Selected(3));
  EXPECT_FALSE(model->Selected(2));

  parent.Clear();
  SendMessageA(list, LB_SETSEL, TRUE, 4);
  SendMessageA(list, LB_SELITEMRANGEEX, 1, 0);
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{3, 4}));
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), LB_ERR);
  EXPECT_TRUE(parent.Codes().empty());

  // A plain click starts the selection over; a double click then opens.
  ui::driver::DoubleClickRow(list, 4);
  ui::driver::PressKey(list, VK_HOME, false, true);
  Pump();
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{LBN_SELCHANGE, LBN_DBLCLK, LBN_SELCHANGE}));
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1, 2, 3, 4}));

  // The context menu is asked for at the screen point of the row.
  ui::driver::RightClickRow(list, 2);
  Pump();
  RECT row{};
  SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);
  EXPECT_TRUE(menuAt.x >= row.left && menuAt.x < row.right && menuAt.y >= row.top && menuAt.y < row.bottom);
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ListBox, OwnerDrawnRowsAreMeasuredDrawnAndDeletedThroughTheOwner) {
  RecordingParent parent;
  int measured = 0;
  std::vector<UINT> drawnStates;
  std::vector<UINT> deleted;
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  parent.onOther = [&](UINT message, WPARAM, LPARAM lParam) -> LRESULT {
    switch (message) {
      case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        EXPECT_EQ(item->CtlType, ODT_LISTBOX);
        item->itemHeight = 15;
        ++measured;
        return TRUE;
      }
      case WM_DRAWITEM: {
        // As the recorder dialog draws its tracks: prepared ones on green,
        // the others on red, a selected one on blue with white text.
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        drawnStates.push_back(item->itemState);
        bool selected = (item->itemState & ODS_SELECTED) != 0;
        FillRect(item->hDC, &item->rcItem, selected ? blue : (item->itemData != 0 ? green : red));
        SetTextColor(item->hDC, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
        SetBkMode(item->hDC, TRANSPARENT);
        char text[64] = {};
        SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
        DrawTextA(item->hDC, text, -1, &item->rcItem, DT_SINGLELINE | DT_VCENTER);
        return TRUE;
      }
      case WM_DELETEITEM:
        deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->itemID);
        return TRUE;
      default:
        return 0;
    }
  };
  HWND list = MakeControl(parent.Window(), WC_LISTBOX,
                          LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOTIFY, 1002, 200, 150);
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 15);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, 500, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 500);
  Add(list, LB_ADDSTRING, "Prepared");
  Add(list, LB_ADDSTRING, "Waiting");
  SendMessageA(list, LB_SETITEMDATA, 0, 1);
  ui::driver::ClickRow(list, 1);
  Pump();

  auto* owner = ui::driver::Model<ui::driver::OwnerDrawModel>(list);
  ASSERT_NE(owner, nullptr);
  EXPECT_TRUE(owner->OwnerDrawn());
  ui::driver::DrawnItem first = owner->Draw(0);
  ui::driver::DrawnItem second = owner->Draw(1);
  EXPECT_EQ(first.text, "Prepared");
  EXPECT_EQ(first.backColor, RGB(0, 255, 0));
  EXPECT_EQ(first.textColor, RGB(0, 0, 0));
  EXPECT_TRUE(first.filled);
  EXPECT_EQ(second.text, "Waiting");
  EXPECT_EQ(second.backColor, RGB(0, 0, 255));
  EXPECT_EQ(second.textColor, RGB(255, 255, 255));
  EXPECT_EQ(drawnStates, (std::vector<UINT>{0, ODS_SELECTED | ODS_FOCUS}));

  // Every owner-drawn item is given back to the owner, the last first.
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(deleted, (std::vector<UINT>{1, 0}));
  for (HBRUSH brush : {green, red, blue}) DeleteObject(brush);
}

}  // namespace
