// The report lists of the library's dialogs: their row images cut from a
// bitmap strip and their columns, set up once when the dialog starts.
#pragma once

#include <initializer_list>
#include <utility>

#include "platform/ui/ui_types.h"

namespace drumlet {

struct ReportList {
  int bitmapId;           // the strip of row images
  int imageWidth;         // each image's width in the strip
  COLORREF mask;          // the strip's transparent colour
  DWORD extendedStyle;    // LVS_EX_*
  std::initializer_list<std::pair<const char*, int>> columns;  // heading, width
};

void SetUpReportList(HWND list, const ReportList& setup);

}  // namespace drumlet
