// STRRET, the shell's way of handing back a display name: a wide string in
// the task allocator, an offset into the item, or a short ANSI string.
#pragma once

#include "platform/base/export.h"
#include "platform/base/win_types.h"
#include "platform/com/hresult.h"
#include "platform/shell/item_id_list.h"

constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1;
constexpr UINT STRRET_CSTR = 2;

struct STRRET {
  UINT uType;
  union {
    LPWSTR pOleStr;  // STRRET_WSTR: allocated with the shell allocator
    UINT uOffset;    // STRRET_OFFSET: ANSI text at this offset into the item
    char cStr[260];  // STRRET_CSTR: ANSI text
  };
};

// Copies the name into buffer (cut to size units with its terminator) and
// frees a STRRET_WSTR string, which the caller no longer owns afterwards.
// item is the list the name was asked for (used by STRRET_OFFSET).
QAP_EXPORT HRESULT StrRetToBufW(STRRET* name, LPCITEMIDLIST item, LPWSTR buffer, UINT size);
