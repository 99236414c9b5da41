// What the music folder's list shows of a folder: its columns by the
// folder's kind, the sort name each column stands for, and how durations
// read.
#pragma once

#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// The folder a view shows, as its own last item tells it.
struct ShownFolder {
  DWORD kind = 0;
  std::u16string category;
  std::u16string extra;
  int id = 0;
  std::u16string name;  // empty at the junction
};

// The headings, left to right. Group names come from the database (a
// group's singular name is its name without the last character); a view
// reads them once, since reading the groups counts every song.
std::vector<CString> ColumnHeadings(const ShownFolder& folder);
// The sort name a click on column of the folder's headings stands for;
// empty when it stands for none.
CString SortNameOfColumn(const ShownFolder& folder, const std::vector<CString>& headings,
                         int column);
// Seconds as hours, minutes and seconds: 75 reads 0:01:15.
std::string FormatDuration(int seconds);
