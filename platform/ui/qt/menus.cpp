// Menus into Qt menus.
#include "platform/ui/qt/menus.h"

#include <QMenu>
#include <QMenuBar>

#include "platform/ui/driver.h"
#include "platform/ui/qt/mirror.h"

namespace ui::qt {

namespace {

// Windows writes a shortcut after a tab ("&Copy\tCtrl+C"); Qt shows it
// the same way when the tab stays in the text.
template <typename Target>
void AddItems(Target* target, HMENU source, const MenuChoice& choose) {
  for (const driver::MenuItemInfo& item : driver::MenuItems(source)) {
    if (item.separator) {
      target->addSeparator();
      continue;
    }
    QString text = Text(item.text);
    if (item.popup) {
      QMenu* sub = target->addMenu(text);
      AddItems(sub, item.subMenu, choose);
      sub->setEnabled(!item.grayed);
      continue;
    }
    QAction* action = target->addAction(text);
    action->setEnabled(!item.grayed);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    if (item.isDefault) {
      QFont font = action->font();
      font.setBold(true);
      action->setFont(font);
    }
    UINT id = item.id;
    QObject::connect(action, &QAction::triggered, [choose, id] { choose(id); });
  }
}

}  // namespace

void FillMenu(QMenu* menu, HMENU source, const MenuChoice& choose) {
  menu->clear();
  AddItems(menu, source, choose);
}

void FillMenuBar(QMenuBar* bar, HMENU source, const MenuChoice& choose) {
  bar->clear();
  AddItems(bar, source, choose);
}

}  // namespace ui::qt
