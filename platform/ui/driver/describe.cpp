// A text picture of a window and everything in it: one line per window, and
// one per row of a list, entry of a combo box, item of a tree and part of a
// status bar, with what a person would see of each.
#include <sstream>

#include "platform/ui/driver.h"
#include "platform/ui/user32.h"

namespace ui::driver {

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

void DescribeList(std::ostringstream& out, const std::string& indent, ListViewModel& list) {
  out << " rows=" << list.RowCount() << " columns=";
  for (int column = 0; column < list.ColumnCount(); ++column) {
    out << (column ? "," : "") << Quoted(list.Column(column).text);
  }
  out << "\n";
  for (int row = 0; row < list.RowCount(); ++row) {
    UINT state = list.RowState(row);
    out << indent << "  row " << row << ((state & 0x2) ? " selected" : "")
        << ((state & 0x1) ? " focused" : "") << ":";
    int columns = list.ColumnCount() > 0 ? list.ColumnCount() : 1;
    for (int column = 0; column < columns; ++column) {
      out << (column ? " |" : "") << " " << Quoted(list.CellText(row, column));
      int image = list.CellImage(row, column);
      if (image >= 0) out << " [image " << image << "]";
    }
    out << "\n";
  }
}

void DescribeEntries(std::ostringstream& out, const std::string& indent, ListModel& list,
                     OwnerDrawModel* drawn) {
  out << " entries=" << list.Count() << " current=" << list.Current() << "\n";
  for (int index = 0; index < list.Count(); ++index) {
    out << indent << "  entry " << index << (list.Selected(index) ? " selected" : "") << ": "
        << Quoted(list.Text(index));
    if (drawn != nullptr && drawn->OwnerDrawn()) {
      DrawnItem item = drawn->Draw(index);
      char colours[64];
      std::snprintf(colours, sizeof colours, " drawn text #%06X on #%06X",
                    static_cast<unsigned>(item.textColor), static_cast<unsigned>(item.backColor));
      out << colours;
    }
    out << "\n";
  }
}

void DescribeTree(std::ostringstream& out, const std::string& indent, TreeViewModel& tree,
                  HTREEITEM parent, int depth) {
  for (HTREEITEM item : tree.ChildItems(parent)) {
    TreeItemInfo info;
    if (!tree.Item(item, &info)) continue;
    out << indent << std::string(static_cast<size_t>(2 + depth * 2), ' ')
        << (info.hasChildren ? (info.expanded ? "- " : "+ ") : "  ") << Quoted(info.text)
        << (info.selected ? " selected" : "") << "\n";
    if (info.expanded) DescribeTree(out, indent, tree, item, depth + 1);
  }
}

void DescribeMenu(std::ostringstream& out, const std::string& indent, HMENU menu) {
  for (const MenuItemInfo& item : MenuItems(menu)) {
    if (item.separator) {
      out << indent << "  ----\n";
      continue;
    }
    out << indent << "  " << Quoted(item.text);
    if (item.id != 0) out << " id=" << item.id;
    if (item.grayed) out << " grayed";
    if (item.checked) out << " checked";
    if (item.isDefault) out << " default";
    out << "\n";
    if (item.popup) DescribeMenu(out, indent + "  ", item.subMenu);
  }
}

void DescribeWindow(std::ostringstream& out, HWND window, int depth) {
  WindowInfo info;
  if (!GetWindowInfo(window, &info)) return;
  std::string indent(static_cast<size_t>(depth * 2), ' ');
  out << indent;
  if (depth > 0) out << "[" << info.id << "] ";
  out << info.className << " " << Quoted(info.text);
  if (depth == 0) {
    out << " " << (info.rect.right - info.rect.left) << "x" << (info.rect.bottom - info.rect.top);
  }
  if (!info.visible) out << " hidden";
  if (!info.enabled) out << " disabled";
  if (info.focused) out << " focused";
  if (auto* button = Model<ButtonModel>(window)) {
    if (button->ButtonKind() == ButtonModel::Kind::kDefaultPush) out << " default";
    if (button->ButtonKind() == ButtonModel::Kind::kCheckBox ||
        button->ButtonKind() == ButtonModel::Kind::kRadio) {
      out << (button->CheckState() == 1 ? " checked" : button->CheckState() == 2 ? " indeterminate"
                                                                                : " unchecked");
    }
  }
  if (auto* progress = Model<ProgressModel>(window)) {
    out << " " << progress->Position() << " of " << progress->Minimum() << ".."
        << progress->Maximum();
  }
  if (auto* list = Model<ListViewModel>(window)) {
    DescribeList(out, indent, *list);
  } else if (auto* entries = Model<ListModel>(window)) {
    DescribeEntries(out, indent, *entries, Model<OwnerDrawModel>(window));
  } else if (auto* tree = Model<TreeViewModel>(window)) {
    out << "\n";
    DescribeTree(out, indent, *tree, nullptr, 0);
  } else if (auto* status = Model<StatusBarModel>(window)) {
    out << "\n";
    int index = 0;
    for (const StatusPart& part : status->Parts()) {
      out << indent << "  part " << index++ << " to " << part.right << ": " << Quoted(part.text)
          << "\n";
    }
  } else if (auto* page = Model<PageModel>(window)) {
    out << "\n";
    for (const PageBlock& block : page->Blocks()) {
      out << indent << "  block at " << block.rect.left << "," << block.rect.top << " "
          << block.rect.right - block.rect.left << "x" << block.rect.bottom - block.rect.top
          << (block.bold ? " bold" : "") << ": " << Quoted(block.text) << "\n";
    }
  } else if (auto* hosted = Model<HostedControlModel>(window)) {
    out << " " << hosted->ClassId();
    for (const auto& [name, value] : hosted->Properties()) out << " " << name << "=" << Quoted(value);
    out << "\n";
  } else {
    out << "\n";
  }
  if (depth == 0) {
    if (HMENU bar = WindowMenu(window)) {
      out << indent << "  menu bar:\n";
      DescribeMenu(out, indent + "  ", bar);
    }
    if (HMENU tracked = TrackedMenu(window)) DescribeMenu(out, indent, tracked);
  }
  for (HWND child : Children(window)) DescribeWindow(out, child, depth + 1);
}

}  // namespace

std::string Describe(HWND window) {
  std::ostringstream out;
  DescribeWindow(out, window, 0);
  return out.str();
}

}  // namespace ui::driver
