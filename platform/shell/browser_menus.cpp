// The browser's pop-ups and accelerators.
#include "platform/shell/browser_menus.h"

#include <vector>

#include "platform/ui/user32.h"

namespace {

struct PopupItem {
  UINT id;  // 0: a separator
  const char* text;
};

struct Popup {
  UINT id;
  const char* text;
  std::vector<PopupItem> items;
};

const std::vector<Popup>& BrowserPopups() {
  static const std::vector<Popup> popups = {
      {FCIDM_MENU_FILE, "&File", {{kBrowserCloseCommand, "&Close"}}},
      {FCIDM_MENU_EDIT, "&Edit", {}},
      {FCIDM_MENU_VIEW,
       "&View",
       {{kWebViewCommand, "as &Web Page"},
        {0, nullptr},
        {kBrowserUpCommand, "&Up One Level\tBackspace"},
        {kBrowserRefreshCommand, "&Refresh\tF5"}}},
      {FCIDM_MENU_TOOLS, "&Tools", {}},
      {FCIDM_MENU_HELP, "&Help", {{kBrowserAboutCommand, "&About the Shell Browser"}}},
  };
  return popups;
}

}  // namespace

HRESULT InsertBrowserMenus(HMENU menu, OLEMENUGROUPWIDTHS* widths) {
  if (!IsMenu(menu)) return E_INVALIDARG;
  for (const Popup& popup : BrowserPopups()) {
    HMENU items = CreatePopupMenu();
    if (items == nullptr) return E_OUTOFMEMORY;
    for (const PopupItem& item : popup.items) {
      if (item.id == 0) {
        AppendMenuA(items, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuA(items, MF_STRING, item.id, item.text);
      }
    }
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    info.fType = MFT_STRING;
    info.wID = popup.id;
    info.hSubMenu = items;
    info.dwTypeData = const_cast<LPSTR>(popup.text);
    if (!InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info)) {
      DestroyMenu(items);
      return E_FAIL;
    }
  }
  if (widths != nullptr) {
    widths->width[0] = 1;
    widths->width[2] = 3;
    widths->width[4] = 1;
  }
  return S_OK;
}

HRESULT RemoveBrowserMenus(HMENU menu) {
  if (!IsMenu(menu)) return E_INVALIDARG;
  for (const Popup& popup : BrowserPopups()) {
    // Looked for among the menu's own items: a search by command would also
    // go through the view's pop-ups.
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_ID | MIIM_SUBMENU;
      if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) &&
          info.wID == popup.id && info.hSubMenu != nullptr)
        DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    }
  }
  return S_OK;
}

HACCEL CreateBrowserAccelerators() {
  const ACCEL entries[] = {
      {FVIRTKEY, VK_F5, static_cast<WORD>(kBrowserRefreshCommand)},
      {FVIRTKEY, VK_BACK, static_cast<WORD>(kBrowserUpCommand)},
  };
  return CreateAcceleratorTableA(entries, 2);
}
