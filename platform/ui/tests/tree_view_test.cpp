// The tree view driven as a person and its owners drive it: lazy filling
// on expansion, the order of its notifications, sorted insertion and the
// deletion of every item.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/commctrl.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/driver.h"
#include "platform/ui/tests/notification_log.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::Pump;
using Lines = std::vector<std::string>;

std::string TextOf(const TVITEMA& item) { return item.pszText != nullptr ? item.pszText : "-"; }

std::string Line(const NMHDR* header) {
  const auto* tree = reinterpret_cast<const NMTREEVIEWA*>(header);
  switch (header->code) {
    case TVN_ITEMEXPANDING:
      return "expanding " + std::to_string(tree->action);
    case TVN_ITEMEXPANDED:
      return "expanded " + std::to_string(tree->action);
    case TVN_SELCHANGING:
      return "selchanging " + std::to_string(tree->action) + " " + TextOf(tree->itemOld) + ">" + TextOf(tree->itemNew);
    case TVN_SELCHANGED:
      return "selchanged " + std::to_string(tree->action) + " " + TextOf(tree->itemOld) + ">" + TextOf(tree->itemNew);
    case TVN_DELETEITEM:
      return "delete " + std::to_string(tree->itemOld.lParam);
    case TVN_BEGINDRAG:
      return "drag " + std::to_string(tree->itemNew.lParam);
    case TVN_KEYDOWN:
      return "key " + std::to_string(reinterpret_cast<const NMTVKEYDOWN*>(header)->wVKey);
    case NM_CLICK:
      return "click";
    case NM_DBLCLK:
      return "double click";
    case NM_RCLICK:
      return "right click";
    case NM_SETFOCUS:
      return "set focus";
    case NM_KILLFOCUS:
      return "kill focus";
    case TVN_BEGINLABELEDIT:
      return "begin edit " + TextOf(reinterpret_cast<const NMTVDISPINFOA*>(header)->item);
    case TVN_ENDLABELEDIT:
      return "end edit " + TextOf(reinterpret_cast<const NMTVDISPINFOA*>(header)->item);
    default:
      return "code " + std::to_string(static_cast<int>(header->code));
  }
}

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_tree = ui::testing::MakeControl(m_parent.Window(), WC_TREEVIEW,
                                      TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 9, 300, 400);
  }

  HTREEITEM Insert(HTREEITEM parent, const char* text, LPARAM param = 0, HTREEITEM after = TVI_SORT,
                   int children = 0) {
    return Insert(m_tree, parent, text, param, after, children);
  }

  static HTREEITEM Insert(HWND tree, HTREEITEM parent, const char* text, LPARAM param, HTREEITEM after,
                          int children) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = param;
    insert.item.cChildren = children;
    return TreeView_InsertItem(tree, &insert);
  }

  static std::string ItemText(HWND tree, HTREEITEM item) {
    char text[64] = "";
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &query);
    return text;
  }

  Lines ChildTexts(HTREEITEM parent) {
    Lines texts;
    for (HTREEITEM child = parent == nullptr ? TreeView_GetRoot(m_tree) : TreeView_GetChild(m_tree, parent);
         child != nullptr; child = TreeView_GetNextSibling(m_tree, child)) {
      texts.push_back(ItemText(m_tree, child));
    }
    return texts;
  }

  Lines Take() { return m_parent.Take(); }

  ui::testing::NotificationLog m_parent{Line};
  std::map<UINT, LRESULT>& answers = m_parent.answers;
  std::function<LRESULT(NMHDR*)>& onNotify = m_parent.onNotify;
  HWND m_tree = nullptr;
};

TEST_F(TreeViewTest, ExpandingFillsChildrenLazilyAndTellsAsWindowsDoes) {
  HTREEITEM drive = Insert(TVI_ROOT, "C:", 1, TVI_LAST, 1);
  HTREEITEM empty = Insert(TVI_ROOT, "D:", 2, TVI_LAST, 1);
  // The parent fills a folder when it first opens, as the path picker does,
  // and takes the button away from a folder holding nothing.
  onNotify = [&](NMHDR* header) -> LRESULT {
    auto* info = reinterpret_cast<NMTREEVIEWA*>(header);
    if (header->code != TVN_ITEMEXPANDING || info->action != TVE_EXPAND) return 0;
    if (info->itemNew.hItem == drive && TreeView_GetChild(m_tree, drive) == nullptr) {
      for (const char* name : {"WINDOWS", "music", "Apps"}) Insert(drive, name);
    }
    if (info->itemNew.hItem == empty) {
      TVITEMA item{};
      item.mask = TVIF_CHILDREN;
      item.hItem = empty;
      item.cChildren = 0;
      TreeView_SetItem(m_tree, &item);
    }
    return 0;
  };
  auto* model = ui::driver::Model<ui::driver::TreeViewModel>(m_tree);
  ASSERT_NE(model, nullptr);
  ui::driver::TreeItemInfo info;
  ASSERT_TRUE(model->Item(drive, &info));
  EXPECT_TRUE(info.hasChildren);
  EXPECT_FALSE(info.expanded);
  Take();

  ui::driver::ExpandTreeItem(m_tree, drive, true);
  Pump();
  EXPECT_EQ(Take(), (Lines{"click", "expanding 2", "expanded 2", "set focus"}));
  EXPECT_EQ(ChildTexts(drive), (Lines{"Apps", "music", "WINDOWS"}));
  EXPECT_EQ(TreeView_GetItemState(m_tree, drive, TVIS_EXPANDED | TVIS_EXPANDEDONCE),
            TVIS_EXPANDED | TVIS_EXPANDEDONCE);

  // A person's collapse and expansion are told of every time...
  ui::driver::ExpandTreeItem(m_tree, drive, false);
  Pump();
  EXPECT_EQ(Take(), (Lines{"click", "expanding 1", "expanded 1"}));
  // ...TVM_EXPAND only until the item was once expanded.
  EXPECT_TRUE(TreeView_Expand(m_tree, drive, TVE_EXPAND));
  EXPECT_TRUE(Take().empty());
  ASSERT_TRUE(model->Item(drive, &info));
  EXPECT_TRUE(info.expanded);

  // An empty folder loses its button and is not expanded.
  ui::driver::ExpandTreeItem(m_tree, empty, true);
  Pump();
  EXPECT_EQ(Take(), (Lines{"click", "expanding 2"}));
  ASSERT_TRUE(model->Item(empty, &info));
  EXPECT_FALSE(info.hasChildren);
  EXPECT_FALSE(info.expanded);

  // A parent answering TRUE keeps the item closed.
  TreeView_Expand(m_tree, drive, TVE_COLLAPSE | TVE_COLLAPSERESET);
  EXPECT_EQ(Take(), (Lines{"delete 0", "delete 0", "delete 0"}));
  onNotify = nullptr;
  answers[TVN_ITEMEXPANDING] = TRUE;
  EXPECT_FALSE(TreeView_Expand(m_tree, drive, TVE_EXPAND));
  EXPECT_EQ(TreeView_GetItemState(m_tree, drive, TVIS_EXPANDED), 0u);
}

TEST_F(TreeViewTest, SortedInsertionFollowsWindowsTextOrder) {
  HTREEITEM folder = Insert(TVI_ROOT, "Folder");
  for (const char* name : {"b", "B", "a", "A", "b"}) Insert(folder, name);
  // Case counts only between otherwise equal names, lower case first; an
  // equal name goes after the first one like it.
  EXPECT_EQ(ChildTexts(folder), (Lines{"a", "A", "b", "b", "B"}));

  // Out of order, the children are walked as Windows walks them.
  Insert(folder, "z", 0, TVI_FIRST);
  Insert(folder, "m");
  EXPECT_EQ(ChildTexts(folder), (Lines{"m", "z", "a", "A", "b", "b", "B"}));
  EXPECT_EQ(TreeView_GetCount(m_tree), 8u);
  // Inserting after an item of another parent means the end.
  HTREEITEM other = Insert(TVI_ROOT, "Other");
  Insert(folder, "last", 0, other);
  EXPECT_EQ(ChildTexts(folder).back(), "last");
  EXPECT_EQ(TreeView_GetParent(m_tree, TreeView_GetChild(m_tree, folder)), folder);
  EXPECT_EQ(TreeView_GetParent(m_tree, folder), nullptr);
}

TEST_F(TreeViewTest, EveryItemIsToldOfOnDeletionChildrenFirst) {
  HTREEITEM a = Insert(TVI_ROOT, "A", 1, TVI_LAST);
  HTREEITEM a1 = Insert(a, "A1", 11, TVI_LAST);
  Insert(a1, "A1a", 111, TVI_LAST);
  HTREEITEM a2 = Insert(a, "A2", 12, TVI_LAST);
  HTREEITEM b = Insert(TVI_ROOT, "B", 2, TVI_LAST);
  TreeView_SelectItem(m_tree, a1);
  Take();

  // The selection goes with its item to the next sibling, told of.
  EXPECT_TRUE(TreeView_DeleteItem(m_tree, a1));
  EXPECT_EQ(Take(), (Lines{"delete 111", "delete 11", "selchanging 0 ->A2", "selchanged 0 ->A2"}));
  EXPECT_EQ(TreeView_GetSelection(m_tree), a2);
  // A stale handle fails cleanly.
  EXPECT_FALSE(TreeView_DeleteItem(m_tree, a1));
  TVITEMA stale{};
  stale.hItem = a1;
  EXPECT_FALSE(TreeView_GetItem(m_tree, &stale));

  Insert(a2, "A2a", 121, TVI_LAST);
  Take();
  EXPECT_TRUE(TreeView_DeleteAllItems(m_tree));
  EXPECT_EQ(Take(), (Lines{"delete 121", "delete 12", "delete 1", "delete 2"}));
  EXPECT_EQ(TreeView_GetCount(m_tree), 0u);
  EXPECT_EQ(TreeView_GetSelection(m_tree), nullptr);
  EXPECT_EQ(TreeView_GetNextSibling(m_tree, b), nullptr);

  // The window's end deletes what is left while the parent still listens.
  Insert(Insert(TVI_ROOT, "C", 3), "C1", 31);
  Take();
  DestroyWindow(m_tree);
  EXPECT_EQ(Take(), (Lines{"delete 31", "delete 3"}));
}

TEST_F(TreeViewTest, ClicksAndKeysSelectWithTheirCause) {
  HTREEITEM a = Insert(TVI_ROOT, "A", 1);
  HTREEITEM b = Insert(TVI_ROOT, "B", 2);
  Take();
  ui::driver::ClickTreeItem(m_tree, a);
  Pump();
  EXPECT_EQ(Take(), (Lines{"click", "selchanging 1 ->A", "selchanged 1 ->A", "set focus"}));

  ui::driver::PressKey(m_tree, VK_DOWN);
  Pump();
  EXPECT_EQ(Take(), (Lines{"key 40", "selchanging 2 A>B", "selchanged 2 A>B"}));
  EXPECT_EQ(TreeView_GetSelection(m_tree), b);

  // A right click asks the parent for a menu and leaves the selection.
  ui::driver::RightClickTreeItem(m_tree, a);
  Pump();
  EXPECT_EQ(Take(), (Lines{"right click", "context menu"}));
  EXPECT_EQ(TreeView_GetSelection(m_tree), b);

  // A parent refusing the change keeps the selection.
  answers[TVN_SELCHANGING] = TRUE;
  EXPECT_FALSE(TreeView_SelectItem(m_tree, a));
  EXPECT_EQ(TreeView_GetSelection(m_tree), b);
  answers.clear();

  // Right opens an item with children, then walks into it; Left walks out.
  HTREEITEM b1 = Insert(b, "B1", 21);
  Take();
  ui::driver::PressKey(m_tree, VK_RIGHT);
  ui::driver::PressKey(m_tree, VK_RIGHT);
  ui::driver::PressKey(m_tree, VK_LEFT);
  Pump();
  EXPECT_EQ(Take(), (Lines{"key 39", "expanding 2", "expanded 2", "key 39", "selchanging 2 B>B1",
                           "selchanged 2 B>B1", "key 37", "selchanging 2 B1>B", "selchanged 2 B1>B"}));
  EXPECT_TRUE(TreeView_DeleteItem(m_tree, b1));

  auto* input = ui::driver::Model<ui::core::TreeInput>(m_tree);
  ASSERT_NE(input, nullptr);
  Take();
  input->BeginDrag(a);
  EXPECT_EQ(Take(), (Lines{"drag 1"}));
  TVHITTESTINFO hit{};
  hit.pt = input->ItemPoint(b);
  EXPECT_EQ(TreeView_HitTest(m_tree, &hit), b);
  EXPECT_EQ(hit.flags, TVHT_ONITEMLABEL);
  RECT rect{};
  ASSERT_TRUE(TreeView_GetItemRect(m_tree, b, &rect, TRUE));
  EXPECT_TRUE(hit.pt.x >= rect.left && hit.pt.x < rect.right && hit.pt.y >= rect.top && hit.pt.y < rect.bottom);
}

TEST_F(TreeViewTest, LabelEditEndsAsEnterAndEscapeAndTheParentDecide) {
  HWND tree = ui::testing::MakeControl(m_parent.Window(), WC_TREEVIEW, TVS_EDITLABELS | TVS_HASBUTTONS, 10, 300, 300);
  HTREEITEM item = Insert(tree, TVI_ROOT, "Music", 0, TVI_LAST, 0);
  auto text = [&] { return ItemText(tree, item); };
  answers[TVN_ENDLABELEDIT] = TRUE;
  Take();
  HWND edit = TreeView_EditLabel(tree, item);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(TreeView_GetEditControl(tree), edit);
  SetWindowTextA(edit, "Songs");
  ui::driver::PressKey(edit, VK_RETURN);
  Pump();
  EXPECT_EQ(text(), "Songs");
  EXPECT_FALSE(IsWindow(edit));

  edit = TreeView_EditLabel(tree, item);
  SetWindowTextA(edit, "Other");
  ui::driver::PressKey(edit, VK_ESCAPE);
  Pump();
  EXPECT_EQ(text(), "Songs");
  // The edit box takes the focus from the tree and gives it back.
  EXPECT_EQ(Take(), (Lines{"begin edit Music", "end edit Songs", "set focus", "begin edit Songs", "kill focus",
                           "end edit -", "set focus"}));

  answers[TVN_BEGINLABELEDIT] = TRUE;
  EXPECT_EQ(TreeView_EditLabel(tree, item), nullptr);
  EXPECT_EQ(TreeView_GetEditControl(tree), nullptr);
}

}  // namespace
