// Files dropped from outside: the CF_HDROP block (a DROPFILES header, then
// each file name and an empty name to end the list, in ANSI or UTF-16), as
// drop targets get it in a data object and WM_DROPFILES brings it to a
// window that accepts files, with the shell's calls that read it. A block
// that lies about itself (offsets past its end, a name without its
// terminator) is read only as far as it holds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/ui/ui_types.h"

struct DROPFILES {
  DWORD pFiles;  // offset of the first name from the start of the block
  POINT pt;      // where the files were dropped
  BOOL fNC;      // pt lies in the non-client area
  BOOL fWide;    // the names are UTF-16
};
static_assert(sizeof(DROPFILES) == 20);
static_assert(offsetof(DROPFILES, pt) == 4 && offsetof(DROPFILES, fWide) == 16);

// index 0xFFFFFFFF: the count of files. file null: the length of the name
// (without its terminator). Otherwise the name, cut to size - 1 characters
// and terminated; the characters copied. 0 for a bad block or index.
QAP_EXPORT UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size);
// TRUE when the point lies in the client area.
QAP_EXPORT BOOL DragQueryPoint(HDROP drop, POINT* point);
// Frees the block WM_DROPFILES brought.
QAP_EXPORT void DragFinish(HDROP drop);
// Sets or clears WS_EX_ACCEPTFILES: the window (or a child without the
// style) gets WM_DROPFILES for files dropped on it.
QAP_EXPORT void DragAcceptFiles(HWND window, BOOL accept);

namespace ui::ole {

// The CF_HDROP block for files (names in the system code page; empty names
// are left out), with point in the client coordinates of the window dropped
// on. Empty when there are no files.
QAP_EXPORT std::vector<BYTE> DropFilesBlock(const std::vector<std::string>& files, POINT point,
                                            bool wide);
// Every file of the block at once, as DragQueryFileA reads them one by one
// (which reads the whole block for each); empty for a bad block.
QAP_EXPORT std::vector<std::string> DroppedFiles(HDROP drop);
// The same as a movable global block, an HDROP; null for no files.
QAP_EXPORT HDROP CreateHDrop(const std::vector<std::string>& files, POINT point, bool wide);

}  // namespace ui::ole
