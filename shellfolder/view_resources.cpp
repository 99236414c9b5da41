// The views' menus and accelerators as data, registered with the context
// menus and the icons compiled into the module.
#include "shellfolder/view_resources.h"

#include "platform/ui/menu.h"
#include "platform/ui/resources.h"

void CobrellImages(ui::res::ModuleResources* resources);

namespace cobrell {

const std::vector<const ui::res::MenuTemplate*>& ContextMenuTemplates();

namespace {

using ui::res::MenuItemTemplate;

// File, Tools and Help only hold the places of Explorer's own menus.
const ui::res::MenuTemplate kMenu{
    kViewMenu,
    {
        MenuItemTemplate{0, "&File", MF_POPUP, {}},
        MenuItemTemplate{0,
                         "&Edit",
                         MF_POPUP,
                         {
                             {kCommandCut, "Cu&t\tCtrl+X", 0, {}},
                             {kCommandCopy, "&Copy\tCtrl+C", 0, {}},
                             {kCommandPaste, "&Paste\tCtrl+V", 0, {}},
                             {0, "", MF_SEPARATOR, {}},
                             {kCommandDelete, "&Delete\tDel", 0, {}},
                             {kCommandRename, "Rena&me\tF2", 0, {}},
                             {kCommandNew, "&New\tIns", 0, {}},
                             {0, "", MF_SEPARATOR, {}},
                             {kCommandSelectAll, "Select &All\tCtrl+A", 0, {}},
                             {kCommandInvertSelection, "&Invert Selection", 0, {}},
                         }},
        MenuItemTemplate{0,
                         "&View",
                         MF_POPUP,
                         {
                             {kCommandWebView, "as &Web Page", 0, {}},
                             {0, "", MF_SEPARATOR, {}},
                             {kCommandLargeIcons, "Lar&ge Icons", 0, {}},
                             {kCommandSmallIcons, "S&mall Icons", 0, {}},
                             {kCommandList, "&List", 0, {}},
                             {kCommandDetails, "&Details", 0, {}},
                         }},
        MenuItemTemplate{0, "&Tools", MF_POPUP, {}},
        MenuItemTemplate{0, "&Help", MF_POPUP, {}},
    }};

const ui::res::AcceleratorTemplate kAccelerators{
    kViewAccelerators,
    {
        {FVIRTKEY | FCONTROL, 'A', kCommandSelectAll},
        {FVIRTKEY | FCONTROL, 'C', kCommandCopy},
        {FVIRTKEY | FCONTROL, 'V', kCommandPaste},
        {FVIRTKEY | FCONTROL, 'X', kCommandCut},
        {FVIRTKEY, VK_DELETE, kCommandDelete},
        {FVIRTKEY, VK_F2, kCommandRename},
        {FVIRTKEY, VK_INSERT, kCommandNew},
        {FVIRTKEY, VK_RETURN, kCommandOpen},
    }};

const ui::res::ModuleResources& ModuleResources() {
  static const ui::res::ModuleResources resources = [] {
    ui::res::ModuleResources made;
    made.menus = {&kMenu};
    const auto& contextMenus = ContextMenuTemplates();
    made.menus.insert(made.menus.end(), contextMenus.begin(), contextMenus.end());
    made.accelerators = {&kAccelerators};
    CobrellImages(&made);
    return made;
  }();
  return resources;
}

}  // namespace

HINSTANCE Resources() {
  static const HINSTANCE instance = ui::res::RegisterModuleResources(&ModuleResources());
  return instance;
}

}  // namespace cobrell
