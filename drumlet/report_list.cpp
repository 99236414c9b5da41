// Setting up the dialogs' report lists.
#include "drumlet/report_list.h"

#include "drumlet/resources.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace drumlet {

void SetUpReportList(HWND list, const ReportList& setup) {
  ListView_SetImageList(list,
                        ImageList_LoadBitmap(DrumletInstance(), MAKEINTRESOURCEA(setup.bitmapId),
                                             setup.imageWidth, 0, setup.mask),
                        LVSIL_SMALL);
  ListView_SetExtendedListViewStyle(list, setup.extendedStyle);
  int index = 0;
  for (const auto& [heading, width] : setup.columns) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(heading);
    column.cx = width;
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
    ++index;
  }
}

}  // namespace drumlet
