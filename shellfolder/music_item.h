// The music folder's item identifier (MusicItem): one item of a shell item
// identifier list, self-describing (kind, id, name and, for songs, the path
// travel in it), byte for byte the same for every reader. Items may sit at
// any address inside a list, so fields are read and written through byte
// copies.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/base/win_types.h"
#include "platform/shell/item_id_list.h"

// The kinds of node; the junction itself (a foreign item) is the root.
constexpr DWORD kKindRoot = 0;
constexpr DWORD kKindMusic = 1;
constexpr DWORD kKindGroup = 2;
constexpr DWORD kKindSongList = 3;
constexpr DWORD kKindPlayLists = 4;
constexpr DWORD kKindPlaylist = 5;
constexpr DWORD kKindListSong = 6;
constexpr DWORD kKindPlaylistSong = 7;

// Icon resource identifiers of this module.
constexpr DWORD kIconMusic = 202;
constexpr DWORD kIconPlayLists = 203;
constexpr DWORD kIconAllSongs = 204;
constexpr DWORD kIconGroup = 208;
constexpr DWORD kIconPlaylist = 209;
constexpr DWORD kIconSubGroup = 210;

// Shell attributes reported for each kind of folder.
constexpr DWORD kAttributesTopFolder = 0xA0000100;  // has sub-folders, folder, drop target
constexpr DWORD kAttributesGroup = 0xA0000000;      // has sub-folders, folder
constexpr DWORD kAttributesAllSongs = 0x20000100;   // folder, drop target
constexpr DWORD kAttributesSubGroup = 0x20000101;   // folder, drop target, can copy
constexpr DWORD kAttributesPlaylist = 0x20000131;   // ... can delete, can rename, can copy

constexpr int kAllSongsId = -1;

#pragma pack(push, 1)
struct MusicItem {
  WORD cb;
  WORD version;
  char signature[7];
  BYTE reserved[3];
  DWORD attributes;
  DWORD icon;
  DWORD kind;
  char16_t category[16];
  char16_t extra[16];
  std::int32_t id;
  DWORD songId;
  char16_t name[255];
  // Song items go on with their zero-terminated path.
};
#pragma pack(pop)
static_assert(offsetof(MusicItem, cb) == 0);
static_assert(offsetof(MusicItem, version) == 2);
static_assert(offsetof(MusicItem, signature) == 4);
static_assert(offsetof(MusicItem, reserved) == 11);
static_assert(offsetof(MusicItem, attributes) == 14);
static_assert(offsetof(MusicItem, icon) == 18);
static_assert(offsetof(MusicItem, kind) == 22);
static_assert(offsetof(MusicItem, category) == 26);
static_assert(offsetof(MusicItem, extra) == 58);
static_assert(offsetof(MusicItem, id) == 90);
static_assert(offsetof(MusicItem, songId) == 94);
static_assert(offsetof(MusicItem, name) == 98);
static_assert(sizeof(MusicItem) == 608);

constexpr WORD kMusicItemVersion = 1;
constexpr char kMusicItemSignature[7] = "ZelVar";
constexpr size_t kPathOffset = sizeof(MusicItem);
// What ItemIdManager::Create is asked for: folder items, and song items
// (plus 2 bytes a path character).
constexpr size_t kFolderItemSize = 608;
constexpr size_t kSongItemBaseSize = 610;
// Longest texts the fields hold, terminator excluded.
constexpr size_t kShortTextUnits = 15;  // category, extra
constexpr size_t kNameUnits = 254;

inline const MusicItem* AsMusicItem(LPCITEMIDLIST item) {
  return reinterpret_cast<const MusicItem*>(item);
}
inline MusicItem* AsMusicItem(LPITEMIDLIST item) { return reinterpret_cast<MusicItem*>(item); }

// Reads a zero-terminated text of at most maxUnits units at offset.
inline std::u16string ReadItemText(const MusicItem* item, size_t offset, size_t maxUnits) {
  const BYTE* at = reinterpret_cast<const BYTE*>(item) + offset;
  std::u16string text;
  for (size_t i = 0; i < maxUnits; ++i) {
    char16_t unit;
    std::memcpy(&unit, at + 2 * i, sizeof unit);
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

inline std::u16string ItemName(const MusicItem* item) {
  return ReadItemText(item, offsetof(MusicItem, name), kNameUnits + 1);
}
inline std::u16string ItemCategory(const MusicItem* item) {
  return ReadItemText(item, offsetof(MusicItem, category), kShortTextUnits + 1);
}
inline std::u16string ItemExtra(const MusicItem* item) {
  return ReadItemText(item, offsetof(MusicItem, extra), kShortTextUnits + 1);
}
// A song's path; empty for folder items. Never reads past the item's count.
inline std::u16string ItemPath(const MusicItem* item) {
  const size_t count = item->cb;
  return count > kPathOffset ? ReadItemText(item, kPathOffset, (count - kPathOffset) / 2)
                             : std::u16string();
}

// Writes text at offset, cut to maxUnits units without splitting a surrogate
// pair; the units after it are left as they are (zero in a new item).
inline void WriteItemText(MusicItem* item, size_t offset, size_t maxUnits,
                          std::u16string_view text) {
  size_t length = std::min(text.size(), maxUnits);
  if (length < text.size() && length > 0 && text[length - 1] >= 0xD800 &&
      text[length - 1] <= 0xDBFF) {
    --length;
  }
  if (length != 0)
    std::memcpy(reinterpret_cast<BYTE*>(item) + offset, text.data(), length * sizeof(char16_t));
}
