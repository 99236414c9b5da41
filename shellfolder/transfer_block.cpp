// Writing and reading the private clipboard block.
#include "shellfolder/transfer_block.h"

#include <cstring>
#include <limits>

#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/global_memory.h"
#include "shellfolder/music_item.h"

namespace cobrell {
namespace {

void PutWord(std::vector<BYTE>* bytes, size_t at, DWORD value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<BYTE>(value >> (8 * i));
}

DWORD GetWord(const BYTE* bytes, size_t at) {
  DWORD value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<DWORD>(bytes[at + i]) << (8 * i);
  return value;
}

bool CarriesPaths(DWORD sourceKind) { return sourceKind != kKindPlayLists; }

}  // namespace

CLIPFORMAT TransferFormat() {
  static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Cobrell"));
  return format;
}

std::vector<BYTE> EncodeTransferBlock(const TransferBlock& block, size_t* leftOut) {
  const bool paths = CarriesPaths(block.sourceKind);
  std::vector<size_t> kept;
  for (size_t i = 0; i < block.ids.size(); ++i) {
    if (paths && (i >= block.paths.size() || block.paths[i].size() > kTransferPathUnits)) continue;
    kept.push_back(i);
  }
  if (leftOut != nullptr) *leftOut = block.ids.size() - kept.size();
  std::vector<BYTE> bytes(kept.size() * kTransferItemSize + kTransferSpareSize, 0);
  PutWord(&bytes, 0, block.sourceKind);
  PutWord(&bytes, 4, block.sourceKind == kKindPlayLists ? 0 : block.sourceId);
  PutWord(&bytes, 8, block.flag);
  PutWord(&bytes, 12, static_cast<DWORD>(kept.size()));
  size_t at = kTransferHeaderSize;
  for (size_t i : kept) {
    PutWord(&bytes, at, block.ids[i]);
    at += 4;
  }
  if (!paths) return bytes;
  for (size_t i : kept) {
    for (char16_t unit : block.paths[i]) {
      bytes[at++] = static_cast<BYTE>(unit);
      bytes[at++] = static_cast<BYTE>(unit >> 8);
    }
    at += 2;
  }
  return bytes;
}

std::optional<TransferBlock> DecodeTransferBlock(const BYTE* bytes, size_t size) {
  if (bytes == nullptr || size < kTransferHeaderSize) return std::nullopt;
  TransferBlock block;
  block.sourceKind = GetWord(bytes, 0);
  block.sourceId = GetWord(bytes, 4);
  block.flag = GetWord(bytes, 8);
  const DWORD count = GetWord(bytes, 12);
  if (count > (std::numeric_limits<size_t>::max() - kTransferSpareSize) / kTransferItemSize ||
      size != count * kTransferItemSize + kTransferSpareSize) {
    return std::nullopt;
  }
  size_t at = kTransferHeaderSize;
  for (DWORD i = 0; i < count; ++i, at += 4) block.ids.push_back(GetWord(bytes, at));
  if (!CarriesPaths(block.sourceKind)) return block;
  for (DWORD i = 0; i < count; ++i) {
    std::u16string path;
    for (;;) {
      if (at + 2 > size || path.size() > kTransferPathUnits) return std::nullopt;
      const auto unit = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
      at += 2;
      if (unit == u'\0') break;
      path.push_back(unit);
    }
    block.paths.push_back(std::move(path));
  }
  return block;
}

std::optional<TransferBlock> ReadTransferBlock(IDataObject* data) {
  if (data == nullptr) return std::nullopt;
  FORMATETC format = ui::ole::HGlobalFormat(TransferFormat());
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return std::nullopt;
  std::vector<BYTE> bytes;
  const bool read = medium.tymed == TYMED_HGLOBAL && ui::ole::GlobalToBytes(medium.hGlobal, &bytes);
  ReleaseStgMedium(&medium);
  if (!read) return std::nullopt;
  return DecodeTransferBlock(bytes.data(), bytes.size());
}

}  // namespace cobrell
