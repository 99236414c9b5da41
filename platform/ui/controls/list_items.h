// The items of a list box or of a combo box's list: text, item data and
// selection, with the sorted insertion and the searches both controls
// answer (LB_FINDSTRING, CB_FINDSTRINGEXACT, ...), compared without regard
// to case as Windows compares them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace ui::controls {

struct ListItem {
  std::string text;
  ULONG_PTR data = 0;
  bool selected = false;
};

class ListItems {
 public:
  int Count() const { return static_cast<int>(m_items.size()); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }
  ListItem& At(int index) { return m_items[static_cast<size_t>(index)]; }
  const ListItem& At(int index) const { return m_items[static_cast<size_t>(index)]; }

  // Where an item goes in a sorted list: after those that compare equal, so
  // equal items keep the order they came in. compare(index) < 0 when the
  // new item sorts before the item at index.
  int SortedPosition(const std::function<int(int)>& compare) const;
  int SortedPosition(const std::string& text) const;
  // index -1 appends; answers the index, or -1 when index is past the end.
  int Insert(int index, ListItem item);
  void Remove(int index);
  void Clear() { m_items.clear(); }

  // The first item after start (-1: from the top), wrapping round, whose
  // text begins with text (or equals it, exact).
  int Find(int start, const std::string& text, bool exact) const;
  // The same for lists without strings: item data equal to data.
  int FindData(int start, ULONG_PTR data) const;

 private:
  template <typename Match>
  int FirstAfter(int start, Match match) const {
    int count = Count();
    if (start < -1 || start >= count) start = -1;
    for (int step = 1; step <= count; ++step) {
      int index = (start + step) % count;
      if (match(At(index))) return index;
    }
    return -1;
  }

  std::vector<ListItem> m_items;
};

}  // namespace ui::controls
