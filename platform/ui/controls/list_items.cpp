// List items.
#include "platform/ui/controls/list_items.h"

#include "platform/ui/controls/control_support.h"

namespace ui::controls {

int ListItems::SortedPosition(const std::function<int(int)>& compare) const {
  int low = 0;
  int high = Count();
  while (low < high) {
    int middle = low + (high - low) / 2;
    if (compare(middle) < 0) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

int ListItems::SortedPosition(const std::string& text) const {
  return SortedPosition([&](int index) { return CompareNoCase(text, At(index).text); });
}

int ListItems::Insert(int index, ListItem item) {
  if (index == -1) index = Count();
  if (index < 0 || index > Count()) return -1;
  m_items.insert(m_items.begin() + index, std::move(item));
  return index;
}

void ListItems::Remove(int index) {
  if (Valid(index)) m_items.erase(m_items.begin() + index);
}

int ListItems::Find(int start, const std::string& text, bool exact) const {
  return FirstAfter(start, [&](const ListItem& item) {
    return exact ? CompareNoCase(item.text, text) == 0 : StartsWithNoCase(item.text, text);
  });
}

int ListItems::FindData(int start, ULONG_PTR data) const {
  return FirstAfter(start, [&](const ListItem& item) { return item.data == data; });
}

}  // namespace ui::controls
