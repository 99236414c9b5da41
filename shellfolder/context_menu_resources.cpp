// The context menus as data: one pop-up each, its items in the order shown.
#include <vector>

#include "platform/ui/menu.h"
#include "platform/ui/resources.h"
#include "shellfolder/music_context_menu.h"

namespace cobrell {
namespace {

using ui::res::MenuItemTemplate;
using ui::res::MenuTemplate;

MenuItemTemplate Item(MenuCommand command) {
  static const char* const kTexts[] = {"",     "&Open",  "E&xplore", "&Play", "&Copy",
                                       "Cu&t", "&Paste", "&Delete",  "&New"};
  return {command, kTexts[command], 0, {}};
}

MenuTemplate Menu(int id, std::vector<MenuCommand> commands) {
  MenuItemTemplate popup{0, "Menu", MF_POPUP, {}};
  for (MenuCommand command : commands) popup.items.push_back(Item(command));
  return {id, {popup}};
}

}  // namespace

const std::vector<const MenuTemplate*>& ContextMenuTemplates() {
  static const std::vector<MenuTemplate> menus = {
      Menu(217, {kMenuPaste}),
      Menu(218, {kMenuNew, kMenuPaste}),
      Menu(220, {kMenuExplore, kMenuOpen, kMenuCopy, kMenuPaste, kMenuDelete}),
      Menu(222, {kMenuExplore, kMenuOpen}),
      Menu(223, {kMenuOpen, kMenuExplore}),
      Menu(224, {kMenuExplore, kMenuOpen, kMenuPaste}),
      Menu(225, {kMenuOpen, kMenuExplore, kMenuPaste}),
      Menu(226, {kMenuExplore, kMenuOpen, kMenuPlay, kMenuCopy}),
      Menu(227, {kMenuOpen, kMenuExplore, kMenuPlay, kMenuCopy}),
      Menu(228, {kMenuOpen, kMenuExplore, kMenuNew, kMenuPaste}),
      Menu(229, {kMenuExplore, kMenuOpen, kMenuNew, kMenuPaste}),
      Menu(230, {kMenuOpen, kMenuExplore, kMenuCopy, kMenuPaste, kMenuDelete}),
      Menu(231, {kMenuPlay, kMenuCopy, kMenuDelete}),
      Menu(232, {kMenuPlay, kMenuCut, kMenuCopy, kMenuDelete}),
  };
  static const std::vector<const MenuTemplate*> pointers = [] {
    std::vector<const MenuTemplate*> made;
    for (const MenuTemplate& menu : menus) made.push_back(&menu);
    return made;
  }();
  return pointers;
}

}  // namespace cobrell
