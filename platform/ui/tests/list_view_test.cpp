// The list view driven as a person drives it, and by the messages its
// owners send: what its parent hears, in Windows' order, and what the
// driver sees.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/driver.h"
#include "platform/ui/resources.h"
#include "platform/ui/tests/notification_log.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::Pump;

std::string Hex(UINT value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// One line per notification, with what matters for its order.
std::string Line(const NMHDR* header) {
  const auto* list = reinterpret_cast<const NMLISTVIEW*>(header);
  const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
  const auto* edit = reinterpret_cast<const NMLVDISPINFOA*>(header);
  const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(header);
  switch (header->code) {
    case LVN_ITEMCHANGING:
      return "changing " + std::to_string(list->iItem);
    case LVN_ITEMCHANGED:
      return "changed " + std::to_string(list->iItem) + " " + Hex(list->uOldState) + ">" + Hex(list->uNewState);
    case LVN_INSERTITEM:
      return "insert " + std::to_string(list->iItem);
    case LVN_DELETEITEM:
      return "delete " + std::to_string(list->iItem) + " p" + std::to_string(list->lParam);
    case LVN_DELETEALLITEMS:
      return "delete all";
    case LVN_COLUMNCLICK:
      return "column " + std::to_string(list->iSubItem);
    case LVN_BEGINDRAG:
      return "drag " + std::to_string(list->iItem);
    case LVN_KEYDOWN:
      return "key " + std::to_string(reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey);
    case LVN_BEGINLABELEDIT:
      return "begin edit " + std::to_string(edit->item.iItem);
    case LVN_ENDLABELEDIT:
      return "end edit " + std::to_string(edit->item.iItem) + " " +
             (edit->item.pszText != nullptr ? edit->item.pszText : "(none)");
    case NM_CLICK:
      return "click " + std::to_string(click->iItem) + "." + std::to_string(click->iSubItem);
    case NM_DBLCLK:
      return "double click " + std::to_string(click->iItem);
    case NM_RCLICK:
      return "right click " + std::to_string(click->iItem);
    case NM_SETFOCUS:
      return "set focus";
    case NM_KILLFOCUS:
      return "kill focus";
    case NM_RELEASEDCAPTURE:
      return "capture";
    case NM_CUSTOMDRAW:
      return "draw " + Hex(draw->nmcd.dwDrawStage) + " " + std::to_string(draw->nmcd.dwItemSpec) + "." +
             std::to_string(draw->iSubItem);
    case LVN_ITEMACTIVATE:
      return "activate";
    default:
      return "code " + std::to_string(static_cast<int>(header->code));
  }
}

class ListViewTest : public ::testing::Test {
 protected:
  HWND MakeList(DWORD style, int rows, int columns = 3) {
    HWND list = ui::testing::MakeControl(m_parent.Window(), WC_LISTVIEW, LVS_REPORT | style, 7, 400, 300);
    for (int column = 0; column < columns; ++column) {
      std::string title = "Column " + std::to_string(column);
      LVCOLUMNA info{};
      info.mask = LVCF_TEXT | LVCF_WIDTH;
      info.pszText = title.data();
      info.cx = 80;
      ListView_InsertColumn(list, column, &info);
    }
    for (int row = 0; row < rows; ++row) AddRow(list, row, "Row " + std::to_string(row), 10 + row);
    return list;
  }

  static int AddRow(HWND list, int at, std::string text, LPARAM param) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = at;
    item.pszText = text.data();
    item.lParam = param;
    int index = ListView_InsertItem(list, &item);
    ListView_SetItemText(list, index, 1, (text + " b").c_str());
    return index;
  }

  static std::string Text(HWND list, int row, int column = 0) {
    char text[64] = "";
    ListView_GetItemText(list, row, column, text, sizeof text);
    return text;
  }

  std::vector<std::string> Take() { return m_parent.Take(); }

  ui::testing::NotificationLog m_parent{Line};
  std::map<UINT, LRESULT>& answers = m_parent.answers;
  std::function<LRESULT(NMHDR*)>& onNotify = m_parent.onNotify;
};

using Lines = std::vector<std::string>;

TEST_F(ListViewTest, ClicksSelectInWindowsOrder) {
  HWND list = MakeList(0, 4);
  Take();

  ui::driver::ClickRow(list, 1);
  Pump();
  EXPECT_EQ(Take(), (Lines{"capture", "changing 1", "changed 1 0>3", "set focus", "click 1.0"}));

  // Ctrl adds the row; the focus leaves row 1 inside row 3's change.
  ui::driver::ClickRow(list, 3, MK_CONTROL);
  Pump();
  EXPECT_EQ(Take(), (Lines{"capture", "changing 3", "changing 1", "changed 1 3>2", "changed 3 0>3", "click 3.0"}));

  // Shift selects from the mark (row 3) to row 2 and drops what is outside;
  // row 3, already selected, is told of without a change.
  ui::driver::ClickRow(list, 2, MK_SHIFT);
  Pump();
  EXPECT_EQ(Take(), (Lines{"capture", "changing 1", "changed 1 2>0", "changing 2", "changed 2 0>2", "changing 3",
                           "changing 2", "changing 3", "changed 3 3>2", "changed 2 2>3", "click 2.0"}));
  EXPECT_EQ(ListView_GetSelectedCount(list), 2u);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
  EXPECT_EQ(ListView_GetNextItem(list, 2, LVNI_SELECTED), 3);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);

  // A plain click makes one selection again.
  ui::driver::ClickRow(list, 0);
  Pump();
  EXPECT_EQ(Take(), (Lines{"capture", "changing 2", "changed 2 3>1", "changing 3", "changed 3 2>0", "changing 0",
                           "changing 2", "changed 2 1>0", "changed 0 0>3", "click 0.0"}));
  auto* model = ui::driver::Model<ui::driver::ListViewModel>(list);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->RowState(0), LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(model->RowState(2), 0u);

  // Keys go to the parent first, then move the selection.
  ui::driver::PressKey(list, VK_DOWN);
  Pump();
  EXPECT_EQ(Take(), (Lines{"key 40", "changing 0", "changed 0 3>1", "changing 1", "changing 0", "changed 0 1>0",
                           "changed 1 0>3"}));
}

TEST_F(ListViewTest, SelectingAllTellsOfEveryItemAndAnnouncesOnce) {
  struct Counter : ui::driver::Observer {
    void OnCreated(HWND) override {}
    void OnDestroyed(HWND) override {}
    void OnChanged(HWND, ui::driver::Change change, int first, int count) override {
      changes.push_back({change, first, count});
    }
    struct Seen {
      ui::driver::Change change;
      int first, count;
    };
    std::vector<Seen> changes;
  } counter;
  HWND list = MakeList(0, 3);
  Take();
  ui::driver::AddObserver(&counter);
  EXPECT_TRUE(ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED));
  ui::driver::RemoveObserver(&counter);
  EXPECT_EQ(Take(), (Lines{"changing 0", "changed 0 0>2", "changing 1", "changed 1 0>2", "changing 2",
                           "changed 2 0>2"}));
  EXPECT_EQ(ListView_GetSelectedCount(list), 3u);
  ASSERT_EQ(counter.changes.size(), 2u);
  EXPECT_EQ(counter.changes[0].change, ui::driver::Change::kRowsChanged);
  EXPECT_EQ(counter.changes[0].count, 3);
  EXPECT_EQ(counter.changes[1].change, ui::driver::Change::kSelection);
  // Focusing every item is refused, as is selecting all in a single-selection list.
  EXPECT_FALSE(ListView_SetItemState(list, -1, LVIS_FOCUSED, LVIS_FOCUSED));
  HWND single = MakeList(LVS_SINGLESEL, 2);
  EXPECT_FALSE(ListView_SetItemState(single, -1, LVIS_SELECTED, LVIS_SELECTED));
}

TEST_F(ListViewTest, LabelEditsEndAsEnterEscapeFocusAndTheParentDecide) {
  HWND list = MakeList(LVS_EDITLABELS, 3);
  auto* model = ui::driver::Model<ui::driver::ListViewModel>(list);
  SetFocus(list);
  Take();

  answers[LVN_ENDLABELEDIT] = TRUE;
  HWND edit = ListView_EditLabel(list, 1);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(Take(), (Lines{"changing 1", "changed 1 0>3", "begin edit 1", "kill focus"}));
  EXPECT_EQ(model->LabelEditor(), edit);
  EXPECT_EQ(GetFocus(), edit);
  SetWindowTextA(edit, "Renamed");
  ui::driver::PressKey(edit, VK_RETURN);
  Pump();
  // A text change names no states.
  EXPECT_EQ(Take(), (Lines{"end edit 1 Renamed", "changing 1", "changed 1 0>0", "set focus"}));
  EXPECT_EQ(Text(list, 1), "Renamed");
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(model->LabelEditor(), nullptr);
  EXPECT_EQ(GetFocus(), list);

  // Esc ends without a text; the item keeps its own.
  edit = ListView_EditLabel(list, 2);
  SetWindowTextA(edit, "Other");
  Take();
  ui::driver::PressKey(edit, VK_ESCAPE);
  Pump();
  EXPECT_EQ(Take(), (Lines{"end edit 2 (none)", "set focus"}));
  EXPECT_EQ(Text(list, 2), "Row 2");

  // Losing the focus ends with the text; a parent answering FALSE keeps
  // the old one.
  answers[LVN_ENDLABELEDIT] = FALSE;
  edit = ListView_EditLabel(list, 0);
  SetWindowTextA(edit, "Refused");
  Take();
  SetFocus(list);
  EXPECT_EQ(Take(), (Lines{"end edit 0 Refused", "set focus"}));
  EXPECT_EQ(Text(list, 0), "Row 0");
  EXPECT_FALSE(IsWindow(edit));

  // A parent answering TRUE to the beginning refuses the edit.
  answers[LVN_BEGINLABELEDIT] = TRUE;
  EXPECT_EQ(ListView_EditLabel(list, 2), nullptr);
  EXPECT_TRUE(ui::driver::Children(list).empty());
  // Without LVS_EDITLABELS nothing is edited at all.
  HWND plain = MakeList(0, 1);
  EXPECT_EQ(ListView_EditLabel(plain, 0), nullptr);
}

TEST_F(ListViewTest, EveryDeletedItemIsToldOfAlsoWhenTheListGoes) {
  HWND list = MakeList(0, 3);
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Take();
  // One item: its selection goes first, then the item.
  EXPECT_TRUE(ListView_DeleteItem(list, 1));
  EXPECT_EQ(Take(), (Lines{"changing 1", "changed 1 3>0", "delete 1 p11"}));
  // The focus passes quietly to the item taking the place.
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);

  AddRow(list, 2, "Row 3", 13);
  Take();
  EXPECT_TRUE(ListView_DeleteAllItems(list));
  EXPECT_EQ(Take(), (Lines{"delete all", "delete 2 p13", "delete 1 p12", "delete 0 p10"}));
  EXPECT_EQ(ListView_GetItemCount(list), 0);

  // A parent answering TRUE to LVN_DELETEALLITEMS hears of no item.
  AddRow(list, 0, "Row 0", 10);
  answers[LVN_DELETEALLITEMS] = TRUE;
  Take();
  ListView_DeleteAllItems(list);
  EXPECT_EQ(Take(), (Lines{"delete all"}));

  // The window's end deletes the items while the parent still listens.
  answers.clear();
  AddRow(list, 0, "Row 0", 10);
  AddRow(list, 1, "Row 1", 11);
  Take();
  DestroyWindow(list);
  EXPECT_EQ(Take(), (Lines{"delete all", "delete 1 p11", "delete 0 p10"}));
}

TEST_F(ListViewTest, CustomDrawColoursReachTheDriverAsPaintingAsksThem) {
  HWND list = MakeList(0, 2);
  constexpr COLORREF kRed = RGB(255, 0, 0), kGrey = RGB(200, 200, 200);
  onNotify = [&](NMHDR* header) -> LRESULT {
    if (header->code != NM_CUSTOMDRAW) return 0;
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
      case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
      case CDDS_ITEMPREPAINT:
        if (draw->nmcd.dwItemSpec == 1) draw->clrText = kRed;
        return CDRF_NOTIFYSUBITEMDRAW;
      case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if (draw->iSubItem == 1) draw->clrTextBk = kGrey;
        return CDRF_DODEFAULT;
      default:
        return CDRF_DODEFAULT;
    }
  };
  auto* model = ui::driver::Model<ui::driver::ListViewModel>(list);
  Take();
  ui::driver::CellColors cell = model->Colors(1, 2);
  EXPECT_EQ(Take(), (Lines{"draw 1 0.0", "draw 10001 1.0", "draw 30001 1.0", "draw 30001 1.1", "draw 30001 1.2"}));
  EXPECT_EQ(cell.text, kRed);
  // A colour set for one cell stays for the cells after it, as on Windows.
  EXPECT_EQ(cell.background, kGrey);
  cell = model->Colors(0, 0);
  EXPECT_EQ(cell.text, CLR_DEFAULT);
  EXPECT_EQ(cell.background, CLR_DEFAULT);
  // Without item drawing asked for, the list's own colours stand.
  onNotify = nullptr;
  Take();
  EXPECT_EQ(model->Colors(1, 1).text, CLR_DEFAULT);
  EXPECT_EQ(Take(), (Lines{"draw 1 0.0"}));
}

int ByTensDescending(LPARAM first, LPARAM second, LPARAM) {
  return static_cast<int>(second / 10 - first / 10);
}

TEST_F(ListViewTest, SortsByTheApplicationsComparisonKeepingEqualsInOrder) {
  HWND list = MakeList(0, 0);
  // Tens decide the order; units tell equal items apart.
  LPARAM params[] = {10, 31, 20, 32, 11, 30};
  for (int i = 0; i < 6; ++i) AddRow(list, i, "Item " + std::to_string(params[i]), params[i]);
  ListView_SetItemState(list, 3, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  Take();
  EXPECT_TRUE(ListView_SortItems(list, ByTensDescending, 0));
  std::vector<std::string> order;
  for (int row = 0; row < 6; ++row) order.push_back(Text(list, row));
  EXPECT_EQ(order, (Lines{"Item 31", "Item 32", "Item 30", "Item 20", "Item 10", "Item 11"}));
  EXPECT_EQ(Text(list, 1, 1), "Item 32 b");
  // Sorting tells nothing; the focus and selection stay with their item.
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1);

  // By index, the comparison may read the items it is given, which stay in
  // place until the sort is done.
  static HWND sorted;
  sorted = list;
  auto byText = [](LPARAM first, LPARAM second, LPARAM) {
    return Text(sorted, static_cast<int>(first)).compare(Text(sorted, static_cast<int>(second)));
  };
  EXPECT_TRUE(ListView_SortItemsEx(list, byText, 0));
  order.clear();
  for (int row = 0; row < 6; ++row) order.push_back(Text(list, row));
  EXPECT_EQ(order, (Lines{"Item 10", "Item 11", "Item 20", "Item 30", "Item 31", "Item 32"}));
  EXPECT_FALSE(ListView_SortItems(list, nullptr, 0));
}

TEST_F(ListViewTest, SortingStylesInsertInTextOrder) {
  HWND ascending = MakeList(LVS_SORTASCENDING, 0);
  for (const char* text : {"b", "A", "a", "C"}) AddRow(ascending, 0, text, 0);
  std::vector<std::string> order;
  for (int row = 0; row < 4; ++row) order.push_back(Text(ascending, row));
  // Case counts only between otherwise equal texts, lower case first.
  EXPECT_EQ(order, (Lines{"a", "A", "b", "C"}));

  HWND descending = MakeList(LVS_SORTDESCENDING, 0);
  EXPECT_EQ(AddRow(descending, 5, "Track 2", 0), 0);
  EXPECT_EQ(AddRow(descending, 5, "Track 9", 0), 0);
  EXPECT_EQ(AddRow(descending, 0, "Track 5", 0), 1);
  EXPECT_EQ(Text(descending, 2), "Track 2");
  // A text callback cannot be sorted: refused.
  LVITEMA callback{};
  callback.mask = LVIF_TEXT;
  callback.pszText = LPSTR_TEXTCALLBACKA;
  EXPECT_EQ(ListView_InsertItem(descending, &callback), -1);
}

TEST_F(ListViewTest, MouseActionsOnRowsColumnsAndBackground) {
  HWND list = MakeList(LVS_SHOWSELALWAYS, 3);
  Take();
  ui::driver::RightClickRow(list, -1);
  Pump();
  EXPECT_EQ(Take(), (Lines{"capture", "set focus", "right click -1", "context menu"}));

  ui::driver::RightClickRow(list, 2);
  Pump();
  EXPECT_EQ(Take(), (Lines{"capture", "changing 2", "changed 2 0>1", "changing 2", "changed 2 1>3", "right click 2",
                           "context menu"}));
  // A parent that handles the right click has no menu asked of it.
  answers[NM_RCLICK] = TRUE;
  ui::driver::RightClickRow(list, 2);
  Pump();
  EXPECT_EQ(Take(), (Lines{"capture", "right click 2"}));

  ui::driver::ClickColumn(list, 2);
  ui::driver::DoubleClickRow(list, 1);
  Pump();
  EXPECT_EQ(Take(), (Lines{"column 2", "capture", "changing 2", "changed 2 3>1", "changing 1", "changing 2",
                           "changed 2 1>0", "changed 1 0>3", "click 1.0", "capture", "double click 1", "activate"}));

  auto* input = ui::driver::Model<ui::core::ListInput>(list);
  ASSERT_NE(input, nullptr);
  input->BeginDrag({0, 1});
  EXPECT_EQ(Take().back(), "drag 0");
  EXPECT_EQ(ListView_GetSelectedCount(list), 2u);

  // Report view without full-row selection: a sub-item is not the item,
  // but LVM_SUBITEMHITTEST finds it.
  RECT cell{};
  ASSERT_TRUE(ListView_GetSubItemRect(list, 1, 2, LVIR_BOUNDS, &cell));
  LVHITTESTINFO hit{};
  hit.pt = POINT{cell.left + 5, (cell.top + cell.bottom) / 2};
  EXPECT_EQ(ListView_HitTest(list, &hit), -1);
  EXPECT_EQ(ListView_SubItemHitTest(list, &hit), 1);
  EXPECT_EQ(hit.iSubItem, 2);
  EXPECT_EQ(hit.flags, LVHT_ONITEMLABEL);
  // A person's click there is on no item, and clears the selection.
  LPARAM at = MAKELPARAM(static_cast<WORD>(hit.pt.x), static_cast<WORD>(hit.pt.y));
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(Take(), (Lines{"capture", "changing 0", "changed 0 3>1", "changing 1", "changed 1 2>0", "click -1.2"}));
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  EXPECT_EQ(ListView_HitTest(list, &hit), 1);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(Take().back(), "click 1.2");
  POINT point = input->RowPoint(2);
  hit.pt = point;
  EXPECT_EQ(ListView_HitTest(list, &hit), 2);
}

TEST_F(ListViewTest, ColumnsSubItemsAndImagesReachTheDriver) {
  HWND list = MakeList(0, 2);
  auto* model = ui::driver::Model<ui::driver::ListViewModel>(list);
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 1);
  HICON icon = ui::res::CreateIconFromPixels(ui::Pixels{1, 1, {0xFF000000}});
  for (int i = 0; i < 3; ++i) ImageList_AddIcon(images, icon);
  DestroyIcon(icon);
  ListView_SetImageList(list, images, LVSIL_SMALL);
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = 0;
  item.iImage = 2;
  EXPECT_TRUE(ListView_SetItem(list, &item));
  item.iSubItem = 2;
  item.iImage = 1;
  EXPECT_TRUE(ListView_SetItem(list, &item));
  ListView_SetItemText(list, 0, 2, "third");
  // A sub-item beyond the columns is refused.
  item.iSubItem = 3;
  EXPECT_FALSE(ListView_SetItem(list, &item));

  EXPECT_EQ(model->ImageList(LVSIL_SMALL), images);
  EXPECT_EQ(model->CellImage(0, 0), 2);
  EXPECT_EQ(model->CellImage(1, 0), 0);  // items show image 0 until told otherwise
  EXPECT_EQ(model->CellImage(0, 2), -1);  // sub-item images need their style
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
  EXPECT_EQ(model->ExtendedStyle(), LVS_EX_SUBITEMIMAGES);
  EXPECT_EQ(model->CellImage(0, 2), 1);
  EXPECT_EQ(model->CellImage(1, 2), -1);

  EXPECT_EQ(model->ColumnCount(), 3);
  EXPECT_EQ(model->Column(1).text, "Column 1");
  EXPECT_TRUE(ListView_SetColumnWidth(list, 2, 120));
  EXPECT_EQ(model->Column(2).width, 120);
  EXPECT_TRUE(ListView_SetColumnWidth(list, 0, LVSCW_AUTOSIZE));
  EXPECT_GT(ListView_GetColumnWidth(list, 0), 16);
  LVCOLUMNA right{};
  right.mask = LVCF_FMT;
  right.fmt = LVCFMT_RIGHT;
  SendMessageA(list, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&right));
  EXPECT_EQ(model->Column(0).format, LVCFMT_LEFT);  // the first column stays left-aligned

  // Sub-items follow their columns; deleting the first column leaves the
  // items as they were, as on Windows.
  EXPECT_TRUE(ListView_DeleteColumn(list, 1));
  EXPECT_EQ(model->CellText(0, 1), "third");
  LVCOLUMNA inserted{};
  inserted.mask = LVCF_TEXT;
  inserted.pszText = const_cast<char*>("New");
  EXPECT_EQ(ListView_InsertColumn(list, 1, &inserted), 1);
  EXPECT_EQ(model->CellText(0, 2), "third");
  EXPECT_EQ(model->CellText(0, 1), "");
  EXPECT_TRUE(ListView_DeleteColumn(list, 0));
  EXPECT_EQ(model->CellText(0, 0), "Row 0");

  // The small image list ends with the list unless it is shared.
  DestroyWindow(list);
  EXPECT_EQ(ImageList_GetImageCount(images), 0);
  HWND shared = MakeList(LVS_SHAREIMAGELISTS, 1);
  images = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
  ListView_SetImageList(shared, images, LVSIL_SMALL);
  DestroyWindow(shared);
  EXPECT_TRUE(ImageList_Destroy(images));
}

// Sub-item texts share one buffer: texts that grow, shrink, go with their
// rows and columns, and come again many times over must each read back as
// last set.
TEST_F(ListViewTest, SubItemTextsReadBackAsLastSetThroughManyChanges) {
  HWND list = MakeList(0, 50, 3);
  auto* model = ui::driver::Model<ui::driver::ListViewModel>(list);
  auto text = [](int round, int row, int column) {
    return std::string(static_cast<size_t>((round * 7 + row) % 40), 'a' + column) + std::to_string(round);
  };
  for (int round = 0; round < 200; ++round) {
    for (int row = 0; row < 50; ++row) {
      for (int column = 1; column < 3; ++column)
        ListView_SetItemText(list, row, column, text(round, row, column).data());
    }
  }
  for (int row = 0; row < 50; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(model->CellText(row, 1), text(199, row, 1));
    EXPECT_EQ(model->CellText(row, 2), text(199, row, 2));
  }
  ASSERT_TRUE(ListView_DeleteItem(list, 0));
  AddRow(list, 50, "Row 50", 60);
  ListView_SetItemText(list, 49, 2, const_cast<char*>("newest"));
  EXPECT_TRUE(ListView_DeleteColumn(list, 1));
  EXPECT_EQ(model->CellText(0, 1), text(199, 1, 2));
  EXPECT_EQ(model->CellText(49, 1), "newest");
  char read[8];
  ListView_GetItemText(list, 49, 1, read, sizeof read);
  EXPECT_STREQ(read, "newest");
  ListView_DeleteAllItems(list);
  AddRow(list, 0, "Again", 1);
  EXPECT_EQ(model->CellText(0, 1), "Again b");
}

TEST_F(ListViewTest, FindsItemsByDataAndByText) {
  HWND list = MakeList(0, 0);
  for (const char* text : {"Alpha", "beta", "Alphabet", "Gamma"}) AddRow(list, 9, text, 100 + ListView_GetItemCount(list));
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = 102;
  EXPECT_EQ(ListView_FindItem(list, -1, &find), 2);
  find.flags = LVFI_STRING;
  find.psz = "BETA";
  EXPECT_EQ(ListView_FindItem(list, -1, &find), 1);
  find.psz = "alph";
  EXPECT_EQ(ListView_FindItem(list, -1, &find), -1);
  find.flags = LVFI_PARTIAL;
  EXPECT_EQ(ListView_FindItem(list, -1, &find), 0);
  EXPECT_EQ(ListView_FindItem(list, 0, &find), 2);
  // The search starts after the given item, and wraps when told to.
  EXPECT_EQ(ListView_FindItem(list, 2, &find), -1);
  find.flags = LVFI_PARTIAL | LVFI_WRAP;
  EXPECT_EQ(ListView_FindItem(list, 2, &find), 0);
}

TEST_F(ListViewTest, RefusedChangesAndBadCallsLeaveTheListAsItWas) {
  HWND list = MakeList(0, 3);
  answers[LVN_ITEMCHANGING] = TRUE;
  ui::driver::ClickRow(list, 1);
  Pump();
  EXPECT_EQ(ListView_GetSelectedCount(list), 0u);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), -1);
  answers.clear();

  EXPECT_EQ(SendMessageA(list, LVM_INSERTITEMA, 0, 0), -1);
  EXPECT_FALSE(SendMessageA(list, LVM_GETITEMA, 0, 0));
  EXPECT_FALSE(SendMessageA(list, LVM_SETITEMSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(list, LVM_SUBITEMHITTEST, 0, 0), -1);
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = 7;
  item.pszText = const_cast<char*>("x");
  EXPECT_FALSE(ListView_SetItem(list, &item));
  EXPECT_FALSE(ListView_DeleteItem(list, -1));
  EXPECT_FALSE(ListView_DeleteColumn(list, 9));
  RECT rect{};
  EXPECT_FALSE(ListView_GetItemRect(list, 5, &rect, LVIR_BOUNDS));
  EXPECT_EQ(ListView_GetNextItem(list, 1000, LVNI_ALL), -1);
  EXPECT_EQ(ListView_GetItemCount(list), 3);

  // A list that is gone answers nothing, and the driver sees no model.
  DestroyWindow(list);
  SetLastError(0);
  EXPECT_EQ(ListView_GetItemCount(list), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(ui::driver::Model<ui::driver::ListViewModel>(list), nullptr);
}

TEST_F(ListViewTest, RowsAreNotAnnouncedWhileRedrawIsOff) {
  struct Watcher : ui::driver::Observer {
    void OnCreated(HWND) override {}
    void OnDestroyed(HWND) override {}
    void OnChanged(HWND, ui::driver::Change change, int first, int) override { seen.push_back({change, first}); }
    std::vector<std::pair<ui::driver::Change, int>> seen;
  } watcher;
  HWND list = MakeList(0, 1);
  ui::driver::AddObserver(&watcher);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  AddRow(list, 1, "Quiet", 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  AddRow(list, 0, "Heard", 0);
  ui::driver::RemoveObserver(&watcher);
  using Seen = std::vector<std::pair<ui::driver::Change, int>>;
  EXPECT_EQ(watcher.seen, (Seen{{ui::driver::Change::kRedraw, -1}, {ui::driver::Change::kRowsInserted, 0},
                               {ui::driver::Change::kRowsChanged, 0}}));
}

}  // namespace
