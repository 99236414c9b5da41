// Reading the classic view's rows: the id a row keeps, a cell's text and
// the column that holds a song's path.
#pragma once

#include <cstring>
#include <string>

#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"
#include "shellfolder/music_item.h"

namespace cobrell {

inline bool ShowsSongs(DWORD kind) { return kind == kKindSongList || kind == kKindPlaylist; }

inline LPARAM RowParam(HWND list, int row) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return ListView_GetItem(list, &item) ? item.lParam : 0;
}

inline std::string CellText(HWND list, int row, int column, int limit) {
  std::string text(static_cast<size_t>(limit) + 1, '\0');
  ListView_GetItemText(list, row, column, text.data(), limit + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

// The last column of a song list, where the path is.
inline int LocationColumn(HWND list) {
  int columns = 0;
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  while (SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(columns),
                      reinterpret_cast<LPARAM>(&column)) != 0) {
    ++columns;
  }
  return columns - 1;
}

}  // namespace cobrell
