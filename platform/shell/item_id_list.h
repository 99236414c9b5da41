// Item identifier lists, the shell's names for the nodes of its namespace: a
// chain of items, each starting with its 16-bit byte count (count included),
// ended by a count of 0. Lists live in the shell's task allocator.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/base/export.h"
#include "platform/base/win_types.h"
#include "platform/com/hresult.h"

using USHORT = std::uint16_t;
using SFGAOF = ULONG;

class IBindCtx;

// Byte-packed as in the shell's headers: items follow one another at any
// address.
#pragma pack(push, 1)
struct SHITEMID {
  USHORT cb;
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
#pragma pack(pop)
static_assert(sizeof(SHITEMID) == 3 && offsetof(SHITEMID, abID) == 2);
static_assert(sizeof(ITEMIDLIST) == 3);

using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// Whole list size in bytes with the end mark; 0 for null.
QAP_EXPORT UINT ILGetSize(LPCITEMIDLIST list);
// Returns the list to the shell's task allocator; null is fine.
QAP_EXPORT void ILFree(LPITEMIDLIST list);

// The item after item; null for null and at the end mark.
QAP_EXPORT LPITEMIDLIST ILGetNext(LPCITEMIDLIST item);
// The last item of the list; the list itself when it is empty.
QAP_EXPORT LPITEMIDLIST ILFindLastID(LPCITEMIDLIST list);
// Ends the list before its last item, in place; FALSE for an empty list.
QAP_EXPORT BOOL ILRemoveLastID(LPITEMIDLIST list);
// Copies in the shell's task allocator; null for null or when out of memory.
QAP_EXPORT LPITEMIDLIST ILClone(LPCITEMIDLIST list);
// A list of the first item alone.
QAP_EXPORT LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST list);
// The items of first followed by those of second (either may be null).
QAP_EXPORT LPITEMIDLIST ILCombine(LPCITEMIDLIST first, LPCITEMIDLIST second);
// The shell asks the folders whether two lists name the same thing; with
// self-describing items that is a byte-for-byte comparison here.
QAP_EXPORT BOOL ILIsEqual(LPCITEMIDLIST first, LPCITEMIDLIST second);
// Whether parent's items begin child (as its direct parent when immediate).
QAP_EXPORT BOOL ILIsParent(LPCITEMIDLIST parent, LPCITEMIDLIST child, BOOL immediate);

// Owns one list and frees it with ILFree.
struct ItemIdListFree {
  void operator()(LPITEMIDLIST list) const { ILFree(list); }
};
using UniqueItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

// The absolute list of a path made of class items, "::{CLSID}" segments
// separated by '\', as in "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\::{...}"
// (My Computer, then a namespace extension hung below it). Each segment
// becomes the shell's class item: count 20, type 0x1F, sort order 0, the
// class identifier. Names of anything else fail with E_INVALIDARG, since
// there is no file system namespace here. attributesOut (may be null) is
// always 0: this stand-in asks no folder.
QAP_EXPORT HRESULT SHParseDisplayName(LPCWSTR name, IBindCtx* bindContext, LPITEMIDLIST* list,
                                      SFGAOF attributesIn, SFGAOF* attributesOut);

// {20D04FE0-3AEA-1069-A2D8-08002B30309D}
constexpr char16_t kMyComputerParsingName[] = u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
