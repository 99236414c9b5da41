// Global memory blocks, as kernel32 gives them to the clipboard and to drag
// and drop: movable blocks named by a handle and locked to get at their
// bytes, and fixed blocks whose handle is their address. GlobalSize is the
// size asked for, exactly, so a reader can refuse a block of the wrong
// size. Handles of movable blocks are never handed out twice: a freed or
// made-up handle fails cleanly with ERROR_INVALID_HANDLE.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/base/export.h"
#include "platform/ui/ui_types.h"

using SIZE_T = std::size_t;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

constexpr DWORD ERROR_NOT_LOCKED = 158;

// Null with ERROR_NOT_ENOUGH_MEMORY when the block cannot be had, or with
// ERROR_INVALID_PARAMETER for flags other than the ones above. A movable
// block of 0 bytes is a discarded block: it has a handle but no memory.
QAP_EXPORT HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Movable blocks count their locks; a fixed block's handle is its address.
QAP_EXPORT LPVOID GlobalLock(HGLOBAL memory);
// FALSE once the block is no longer locked (last error NO_ERROR), or for a
// block that was not locked (ERROR_NOT_LOCKED); TRUE while locks remain and
// for fixed blocks.
QAP_EXPORT BOOL GlobalUnlock(HGLOBAL memory);
// 0 for a bad handle (and for an empty block).
QAP_EXPORT SIZE_T GlobalSize(HGLOBAL memory);
// Null on success; the handle itself when it names no block. A locked
// block is freed all the same.
QAP_EXPORT HGLOBAL GlobalFree(HGLOBAL memory);
// Keeps the bytes that still fit; GMEM_ZEROINIT clears the new ones. A
// fixed or locked block grows only with GMEM_MOVEABLE, which may give a
// fixed block a new address (and so a new handle); shrinking stays in place.
QAP_EXPORT HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);

namespace ui::ole {

// A new movable block holding a copy of bytes; null when it cannot be had.
QAP_EXPORT HGLOBAL GlobalFromBytes(const void* bytes, SIZE_T size);
// A copy of a block's bytes, taken whole; false for a bad handle.
QAP_EXPORT bool GlobalToBytes(HGLOBAL memory, std::vector<BYTE>* bytes);
// A new movable block with the same bytes; null for a bad handle.
QAP_EXPORT HGLOBAL GlobalDuplicate(HGLOBAL memory);

}  // namespace ui::ole
