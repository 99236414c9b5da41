// An IEnumIDList over a snapshot of item lists: each list is copied in, and
// each handed out is a copy of its own for the caller to free.
#pragma once

#include "platform/com/enumerator.h"
#include "platform/shell/shell_folder.h"

template <>
struct EnumeratedItem<LPITEMIDLIST> {
  static void Hold(LPITEMIDLIST& list) { list = ILClone(list); }
  static void Drop(LPITEMIDLIST& list) { ILFree(list); }
};

using ItemEnumerator = ComEnumerator<IEnumIDList, LPITEMIDLIST, IID_IEnumIDList>;
