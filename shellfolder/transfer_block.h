// The music folder's private clipboard format, "Cobrell": the songs or
// playlists of a copy, cut or drag as one block of count × 526 + 24 bytes
// (little-endian): source kind, source id, transfer flag, count, the ids,
// then for songs each path as zero-terminated UTF-16. The block's size is
// fixed by the count, so a path may have at most 260 characters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "platform/ui/ole/ole_interfaces.h"

namespace cobrell {

constexpr DWORD kTransferCopy = 0;
constexpr DWORD kTransferCut = 1;
// What a reader takes as moved already.
constexpr DWORD kTransferMoved = 2;

constexpr size_t kTransferHeaderSize = 16;
constexpr size_t kTransferItemSize = 526;
constexpr size_t kTransferSpareSize = 24;
constexpr size_t kTransferPathUnits = 260;

struct TransferBlock {
  DWORD sourceKind = 0;
  DWORD sourceId = 0;
  DWORD flag = kTransferCopy;
  // Playlist ids for source kind 4, else song ids, one per path.
  std::vector<DWORD> ids;
  std::vector<std::u16string> paths;
};

// The format's number, registered the first time it is asked for.
CLIPFORMAT TransferFormat();

// The block's bytes. Songs whose path is longer than the block holds are
// left out (and counted in *leftOut), so that the count matches the block.
std::vector<BYTE> EncodeTransferBlock(const TransferBlock& block, size_t* leftOut = nullptr);
// Nothing when the size is not the one the count makes, or a path runs
// past the block: another program's data under the same name.
std::optional<TransferBlock> DecodeTransferBlock(const BYTE* bytes, size_t size);

// The block a data object holds in this format; nothing when it holds none
// or a damaged one.
std::optional<TransferBlock> ReadTransferBlock(IDataObject* data);

}  // namespace cobrell
