// Menus of the window system as Qt menus: items, separators, pop-ups,
// grayed, checked and default items; choosing an item calls back with its id.
#pragma once

#include <functional>

#include "platform/ui/ui_types.h"

class QMenu;
class QMenuBar;

namespace ui::qt {

using MenuChoice = std::function<void(UINT id)>;

void FillMenu(QMenu* menu, HMENU source, const MenuChoice& choose);
void FillMenuBar(QMenuBar* bar, HMENU source, const MenuChoice& choose);

}  // namespace ui::qt
