// The rules of a drop: the private format first by its header, then a file
// list by its files' extensions.
#include "shellfolder/drop_rules.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/messages.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/drop_files.h"
#include "platform/ui/ole/global_memory.h"
#include "shellfolder/music_item.h"
#include "shellfolder/transfer_block.h"

namespace cobrell {
namespace {

constexpr const char* kSongExtensions[] = {"rm",  "au",  "ra",  "mp3", "m3u", "mp2",  "wma",
                                           "asf", "asx", "wav", "snd", "aif", "mid",  "avi",
                                           "mov", "zpl", "rmi", "ram", "rmm", "aifc", "aiff"};

std::string LowerExtension(std::string_view path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  std::string extension(path.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// Move, or copy while Ctrl is held.
DWORD KeysEffect(DWORD keys) {
  return (keys & MK_CONTROL) != 0 ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DWORD TransferEffect(const TransferBlock& block, DWORD targetKind, int targetId, DWORD keys) {
  const DWORD source = block.sourceKind;
  if (targetKind == kKindPlayLists) return DROPEFFECT_COPY;
  if (source == targetKind && static_cast<int>(block.sourceId) == targetId) return DROPEFFECT_NONE;
  if (targetKind == kKindSongList && (source == kKindSongList || source == kKindPlaylist))
    return DROPEFFECT_NONE;
  if (source == kKindPlayLists && (targetKind == kKindSongList || targetKind == kKindPlaylist))
    return DROPEFFECT_NONE;
  if (source == kKindSongList && targetKind == kKindPlaylist) return DROPEFFECT_COPY;
  if (source == kKindSongList && targetKind == kKindGroup) return DROPEFFECT_NONE;
  return KeysEffect(keys);
}

}  // namespace

bool IsSongFile(std::string_view path) {
  const std::string extension = LowerExtension(path);
  return std::find_if(std::begin(kSongExtensions), std::end(kSongExtensions),
                      [&](const char* known) { return extension == known; }) !=
         std::end(kSongExtensions);
}

bool IsPlaylistFile(std::string_view path) { return LowerExtension(path) == "zpl"; }

bool ReadDroppedFiles(IDataObject* data, std::vector<std::string>* files) {
  files->clear();
  if (data == nullptr) return false;
  FORMATETC format = ui::ole::HGlobalFormat(CF_HDROP);
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return false;
  if (medium.tymed == TYMED_HGLOBAL)
    *files = ui::ole::DroppedFiles(reinterpret_cast<HDROP>(medium.hGlobal));
  ReleaseStgMedium(&medium);
  return true;
}

DWORD DropEffectFor(IDataObject* data, DWORD targetKind, int targetId, DWORD keys, DWORD allowed) {
  if (targetKind < kKindGroup || targetKind > kKindPlaylist) return DROPEFFECT_NONE;
  DWORD effect = DROPEFFECT_NONE;
  std::vector<std::string> files;
  if (ReadDroppedFiles(data, &files)) {
    const bool subGroup = targetKind == kKindSongList && targetId != kAllSongsId;
    if (!files.empty() && !subGroup &&
        std::all_of(files.begin(), files.end(), [](const auto& f) { return IsSongFile(f); })) {
      effect = KeysEffect(keys);
    }
  } else if (std::optional<TransferBlock> block = ReadTransferBlock(data)) {
    effect = TransferEffect(*block, targetKind, targetId, keys);
  }
  return (effect & allowed) != 0 ? effect : DROPEFFECT_NONE;
}

}  // namespace cobrell
