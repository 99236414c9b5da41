// Menus: a pop-up tracked until the driver chooses from it (the owner
// preparing it first), refused with nobody to choose, chosen from a
// window's menu bar, and merged the way the shell view and its context
// menus merge theirs.
#include <gtest/gtest.h>

#include "platform/base/last_error.h"
#include "platform/ui/resources.h"
#include "platform/ui/script/script.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::Pump;
using ui::testing::RecordingParent;

struct MenuMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const MenuMessage&) const = default;
};

// Records the menu loop's messages and grays `gray` when a pop-up opens.
void WatchMenus(RecordingParent& parent, std::vector<MenuMessage>* seen, UINT* gray) {
  parent.onOther = [seen, gray](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    switch (message) {
      case WM_ENTERMENULOOP:
      case WM_EXITMENULOOP:
      case WM_INITMENU:
      case WM_INITMENUPOPUP:
      case WM_UNINITMENUPOPUP:
        seen->push_back({message, wParam, lParam});
        if (message == WM_INITMENUPOPUP && *gray != 0) {
          EnableMenuItem(reinterpret_cast<HMENU>(wParam), *gray, MF_BYCOMMAND | MF_GRAYED);
        }
        return 0;
      default:
        return 0;
    }
  };
}

WPARAM W(HMENU menu) { return reinterpret_cast<WPARAM>(menu); }

TEST(Menus, ATrackedPopupIsChosenByTheDriverAfterItsOwnerPreparedIt) {
  RecordingParent parent;
  std::vector<MenuMessage> seen;
  UINT gray = 3;
  WatchMenus(parent, &seen, &gray);
  HMENU menu = CreatePopupMenu();
  HMENU more = CreatePopupMenu();
  AppendMenuA(more, MF_STRING, 4, "Clear status");
  AppendMenuA(menu, MF_STRING, 1, "&Open");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, 3, "&Paste");
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "More");

  HMENU shown = nullptr;
  ui::script::Script scriptSteps;
  scriptSteps.WhenClass(kMenuWindowClass, [&](HWND window) {
    shown = ui::driver::TrackedMenu(window);
    EXPECT_EQ(GetWindow(window, GW_OWNER), parent.Window());
    ui::driver::ChooseMenuItem(window, 3);  // grayed by the owner: refused
    ui::driver::ChooseMenuItem(window, 4);
  });
  ui::script::Runner script(std::move(scriptSteps), {});
  script.Start();
  BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, 50, 60, 0, parent.Window(), nullptr);
  EXPECT_TRUE(script.Finished() && !script.Failed()) << script.Failure();
  EXPECT_EQ(chosen, 4);
  EXPECT_EQ(shown, menu);
  EXPECT_EQ(seen, (std::vector<MenuMessage>{
                      {WM_ENTERMENULOOP, TRUE, 0},
                      {WM_INITMENU, W(menu), 0},
                      {WM_INITMENUPOPUP, W(menu), 0},
                      {WM_INITMENUPOPUP, W(more), MAKELPARAM(3, FALSE)},
                      {WM_UNINITMENUPOPUP, W(more), 0},
                      {WM_UNINITMENUPOPUP, W(menu), 0},
                      {WM_EXITMENULOOP, TRUE, 0},
                  }));
  Pump();
  EXPECT_TRUE(parent.Notices().empty());

  // Without TPM_RETURNCMD the command comes as WM_COMMAND; a dismissed
  // menu answers TRUE and sends nothing.
  gray = 0;
  ui::script::Script chooseSteps;
  chooseSteps.WhenClass(kMenuWindowClass, [](HWND window) { ui::driver::ChooseMenuItem(window, 1); })
      .WhenClass(kMenuWindowClass, [](HWND window) { ui::driver::CloseWindow(window); });
  ui::script::Runner choose(std::move(chooseSteps), {});
  choose.Start();
  EXPECT_TRUE(TrackPopupMenu(menu, 0, 50, 60, 0, parent.Window(), nullptr));
  EXPECT_TRUE(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 60, 0, parent.Window(), nullptr) == 0);
  EXPECT_TRUE(choose.Finished() && !choose.Failed()) << choose.Failure();
  Pump();
  ASSERT_EQ(parent.Notices().size(), 1u);
  EXPECT_EQ(parent.Notices()[0].id, 1);
  EXPECT_EQ(parent.Notices()[0].code, 0u);
  DestroyMenu(menu);
  EXPECT_FALSE(IsMenu(more));
}

TEST(Menus, APopupWithNobodyToChooseIsDismissedAtOnce) {
  ASSERT_FALSE(ui::driver::HasClient());
  RecordingParent parent;
  std::vector<MenuMessage> seen;
  UINT gray = 0;
  WatchMenus(parent, &seen, &gray);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "Clear status");
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, parent.Window(), nullptr), 0);
  EXPECT_TRUE(seen.empty());
  DestroyMenu(menu);
  SetLastError(0);
  EXPECT_FALSE(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, parent.Window(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
}

const ui::res::MenuTemplate kViewMenu{
    210,
    {
        {0, "&Edit", 0, {{117, "Cu&t", 0, {}}, {118, "&Copy", 0, {}}, {119, "&Paste", MF_GRAYED, {}},
                         {0, "", MF_SEPARATOR, {}}, {120, "Select &All", 0, {}}}},
        {0, "&View", 0, {{107, "Lar&ge Icons", 0, {}}, {108, "&Details", MF_CHECKED, {}}}},
    }};

TEST(Menus, ChoosingFromAMenuBarOpensItsPopupFirst) {
  RecordingParent parent;
  std::vector<MenuMessage> seen;
  UINT gray = 118;
  WatchMenus(parent, &seen, &gray);
  HMENU bar = LoadMenuIndirectA(&kViewMenu);
  ASSERT_TRUE(SetMenu(parent.Window(), bar));
  EXPECT_EQ(ui::driver::WindowMenu(parent.Window()), bar);
  HMENU edit = GetSubMenu(bar, 0);

  ui::driver::ChooseMenuItem(parent.Window(), 118);
  ui::driver::ChooseMenuItem(parent.Window(), 117);
  Pump();
  ASSERT_EQ(parent.Notices().size(), 1u);
  EXPECT_EQ(parent.Notices()[0].id, 117);
  std::vector<MenuMessage> once{{WM_ENTERMENULOOP, FALSE, 0},
                                {WM_INITMENU, W(bar), 0},
                                {WM_INITMENUPOPUP, W(edit), MAKELPARAM(0, FALSE)},
                                {WM_UNINITMENUPOPUP, W(edit), 0},
                                {WM_EXITMENULOOP, FALSE, 0}};
  std::vector<MenuMessage> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(seen, twice);

  // The bar goes with its window.
  DestroyWindow(parent.Window());
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_FALSE(IsMenu(edit));
}

TEST(Menus, MergingInsertsRemovesAndKeepsTheStatesAsWindowsDoes) {
  HMENU view = LoadMenuIndirectA(&kViewMenu);
  HMENU edit = GetSubMenu(view, 0);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetMenuItemCount(view), 2);
  EXPECT_EQ(GetMenuItemID(view, 0), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(view, 0, MF_BYPOSITION), (5u << 8) | MF_POPUP);
  EXPECT_EQ(GetMenuState(view, 119, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(view, 119, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(view, 119, MF_BYCOMMAND | MF_GRAYED), static_cast<BOOL>(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(view, 999, MF_BYCOMMAND), -1);
  EXPECT_EQ(CheckMenuItem(view, 108, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
  EXPECT_TRUE(CheckMenuRadioItem(view, 107, 108, 107, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuState(view, 107, MF_BYCOMMAND), MFT_RADIOCHECK | MF_CHECKED);

  // The shell's menu receives the context menu's items from its first id.
  HMENU shell = CreatePopupMenu();
  AppendMenuA(shell, MF_STRING, 5000, "Properties");
  constexpr UINT kFirst = 1000;
  for (int i = 0, count = GetMenuItemCount(edit); i < count; ++i) {
    char text[64] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(edit, static_cast<UINT>(i), TRUE, &info));
    info.wID += kFirst;
    info.dwTypeData = text;
    ASSERT_TRUE(InsertMenuItemA(shell, static_cast<UINT>(i), TRUE, &info));
  }
  SetMenuDefaultItem(shell, 0, TRUE);
  EXPECT_EQ(GetMenuDefaultItem(shell, FALSE, 0), kFirst + 117);
  std::vector<ui::driver::MenuItemInfo> items = ui::driver::MenuItems(shell);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_TRUE(items[0].isDefault);
  EXPECT_EQ(items[2].text, "&Paste");
  EXPECT_TRUE(items[2].grayed);
  EXPECT_TRUE(items[3].separator);
  EXPECT_EQ(items[5].id, 5000u);
  char name[32];
  EXPECT_EQ(GetMenuStringA(shell, kFirst + 120, name, sizeof name, MF_BYCOMMAND), 11);
  EXPECT_STREQ(name, "Select &All");

  // The view merges its pop-up into the browser's bar and takes it out
  // again: RemoveMenu leaves the pop-up alive, DeleteMenu destroys it.
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, 1, "&File");
  InsertMenuA(bar, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  EXPECT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetSubMenu(bar, 1), edit);
  EXPECT_TRUE(RemoveMenu(bar, 1, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(edit));
  EXPECT_TRUE(RemoveMenu(view, 0, MF_BYPOSITION));
  InsertMenuA(bar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  EXPECT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(edit));
  EXPECT_EQ(GetMenuItemCount(edit), -1);
  EXPECT_FALSE(DeleteMenu(bar, 5, MF_BYPOSITION));
  for (HMENU menu : {view, shell, bar}) EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_FALSE(DestroyMenu(view));
}

}  // namespace
