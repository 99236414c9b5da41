// The rows of each kind of folder, read through the music database's
// containers, which sort them by the view's sort name and direction.
#include "shellfolder/list_fill.h"

#include <map>
#include <string>

#include "platform/base/codepage.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/ui_owners.h"
#include "platform/ui/user32.h"
#include "shellfolder/music_db.h"
#include "shellfolder/music_item.h"
#include "shellfolder/playlist_order.h"

namespace {

constexpr DWORD kIconSong = 201;
constexpr int kNameWidth = 180;
constexpr int kNumberWidth = 70;
constexpr int kLocationWidth = 320;

// Redraw stays off for the life of the fill, whichever way it ends.
class RedrawOff {
 public:
  explicit RedrawOff(HWND list) : m_list(list) { SendMessageA(m_list, WM_SETREDRAW, FALSE, 0); }
  ~RedrawOff() { SendMessageA(m_list, WM_SETREDRAW, TRUE, 0); }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  HWND m_list;
};

class Rows {
 public:
  Rows(HWND list, HINSTANCE resources) : m_list(list), m_resources(resources) {}

  HRESULT Columns(const std::vector<CString>& headings) {
    while (ListView_DeleteColumn(m_list, 0)) {
    }
    for (size_t i = 0; i < headings.size(); ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
      column.fmt = LVCFMT_LEFT;
      column.pszText = const_cast<LPSTR>(headings[i].c_str());
      column.iSubItem = static_cast<int>(i);
      column.cx = Width(headings[i], i + 1 == headings.size());
      if (ListView_InsertColumn(m_list, static_cast<int>(i), &column) < 0) return E_FAIL;
    }
    return S_OK;
  }

  // One row: its icon resource, its lParam and its cells left to right.
  HRESULT Add(DWORD icon, LPARAM param, std::initializer_list<const char*> cells) {
    int image = 0;
    const HRESULT loaded = Image(icon, &image);
    if (FAILED(loaded)) return loaded;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = m_count;
    item.pszText = const_cast<LPSTR>(*cells.begin());
    item.iImage = image;
    item.lParam = param;
    const int row = ListView_InsertItem(m_list, &item);
    if (row < 0) return E_OUTOFMEMORY;
    int column = 0;
    for (const char* cell : cells) {
      if (column != 0) ListView_SetItemText(m_list, row, column, cell);
      ++column;
    }
    ++m_count;
    return S_OK;
  }

  // Room for count rows at once, for lists of many thousands.
  void Expect(int count) { SendMessageA(m_list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0); }

  HRESULT Counted(DWORD icon, LPARAM param, const CString& name, int songs, int seconds) {
    const std::string count = std::to_string(songs);
    return Add(icon, param, {name.c_str(), count.c_str(), FormatDuration(seconds).c_str()});
  }

  HRESULT Song(IQAPSongInfo& song) {
    return Add(kIconSong, song.GetId(),
               {song.GetTitle().c_str(), FormatDuration(song.GetDuration()).c_str(),
                song.GetAlbum().c_str(), song.GetArtist().c_str(), song.GetGenre().c_str(),
                song.GetPath().c_str()});
  }

 private:
  static int Width(const CString& heading, bool last) {
    if (heading == CString("Songs") || heading == CString("Duration")) return kNumberWidth;
    return last && heading == CString("Location") ? kLocationWidth : kNameWidth;
  }

  // The icon's place in the list's image list, added on first use.
  HRESULT Image(DWORD icon, int* image) {
    // Rows of a fill mostly share one icon.
    if (icon == m_lastIcon) {
      *image = m_lastImage;
      return S_OK;
    }
    auto found = m_images.find(icon);
    if (found != m_images.end()) {
      *image = found->second;
      Remember(icon, *image);
      return S_OK;
    }
    UniqueIcon loaded(LoadIconA(m_resources, MAKEINTRESOURCEA(static_cast<int>(icon))));
    if (!loaded) return HResultFromWin32(GetLastError());
    *image = ImageList_AddIcon(ListView_GetImageList(m_list, LVSIL_SMALL), loaded.get());
    if (*image < 0) return E_OUTOFMEMORY;
    m_images.emplace(icon, *image);
    Remember(icon, *image);
    return S_OK;
  }

  void Remember(DWORD icon, int image) {
    m_lastIcon = icon;
    m_lastImage = image;
  }

  HWND m_list;
  HINSTANCE m_resources;
  int m_count = 0;
  std::map<DWORD, int> m_images;
  DWORD m_lastIcon = 0;
  int m_lastImage = -1;
};

HRESULT FillJunction(Rows& rows, const CString& sortName, bool ascending) {
  // Only the name sorts the two, so any sort but a descending one puts
  // Music first.
  const bool reversed = !sortName.IsEmpty() && !ascending;
  const struct {
    DWORD icon;
    LPARAM id;
    const char* name;
  } kTop[] = {{kIconMusic, 0, "Music"}, {kIconPlayLists, 1, "Play Lists"}};
  for (int i = 0; i < 2; ++i) {
    const auto& top = kTop[reversed ? 1 - i : i];
    if (HRESULT result = rows.Add(top.icon, top.id, {top.name}); FAILED(result)) return result;
  }
  return S_OK;
}

HRESULT FillGroups(Rows& rows, const CString& sortName, bool ascending) {
  GroupContainerPtr groups(CreateIGroupContainer(1, sortName, ascending));
  if (!groups || !groups->Open()) return E_FAIL;
  const int count = groups->GetCount();
  for (int i = 0; i < count; ++i) {
    GroupPtr group(groups->GetGroup(i));
    TGroupInfo info{};
    if (!group || !group->GetInfo(&info)) return E_FAIL;
    const DWORD icon = info.key.IsEmpty() ? kIconAllSongs : kIconGroup;
    const HRESULT added = rows.Counted(icon, info.id, info.name, info.songCount, info.totalSeconds);
    if (FAILED(added)) return added;
  }
  return S_OK;
}

HRESULT FillSubGroups(Rows& rows, const ShownFolder& folder, const CString& sortName,
                      bool ascending) {
  TGroupInfo key{};
  key.key = WideToAnsi(folder.category);
  GroupPtr group(CreateIGroup(key, 1, sortName, ascending));
  if (!group) return E_FAIL;
  const int count = group->GetSubGroupCount();
  for (int i = 0; i < count; ++i) {
    SubGroupPtr subGroup(group->GetSubGroup(i));
    TSubGroupInfo info{};
    if (!subGroup || !subGroup->GetInfo(&info)) return E_FAIL;
    const HRESULT added =
        rows.Counted(kIconSubGroup, info.id, info.name, info.songCount, info.totalSeconds);
    if (FAILED(added)) return added;
  }
  return S_OK;
}

// count songs, each from song(index): the records stay the container's.
template <typename SongAt>
HRESULT AddSongs(Rows& rows, int count, SongAt song) {
  rows.Expect(count);
  for (int i = 0; i < count; ++i) {
    IQAPSongInfo* record = song(i);
    if (record == nullptr) return E_FAIL;
    if (HRESULT added = rows.Song(*record); FAILED(added)) return added;
  }
  return S_OK;
}

HRESULT FillAllSongs(Rows& rows, const CString& sortName, bool ascending) {
  SongContainerPtr songs(CreateISongContainer(sortName, ascending));
  if (!songs || !songs->Open()) return E_FAIL;
  return AddSongs(rows, songs->GetCount(), [&](int i) { return songs->GetSong(i); });
}

HRESULT FillSubGroupSongs(Rows& rows, const ShownFolder& folder, const CString& sortName,
                          bool ascending) {
  TSubGroupInfo info{};
  info.id = folder.id;
  info.extra = WideToAnsi(folder.extra);
  SubGroupPtr songs(CreateISubGroup(info, sortName, ascending));
  if (!songs || !songs->Open()) return E_FAIL;
  return AddSongs(rows, songs->GetSongCount(), [&](int i) { return songs->GetSong(i); });
}

HRESULT FillPlaylists(Rows& rows, const CString& sortName, bool ascending) {
  PlaylistContainerPtr playlists(CreatePlayListContainer(1, sortName, ascending));
  if (!playlists || !playlists->Open()) return E_FAIL;
  const int count = playlists->GetCount();
  for (int i = 0; i < count; ++i) {
    PlaylistPtr playlist(playlists->GetPlaylist(i));
    TPlayListInfo details{};
    if (!playlist || !playlist->GetDetails(&details)) return E_FAIL;
    const HRESULT added = rows.Counted(kIconPlaylist, details.id, playlist->GetName(),
                                       details.songCount, details.totalSeconds);
    if (FAILED(added)) return added;
  }
  return S_OK;
}

HRESULT FillPlaylistSongs(Rows& rows, const ShownFolder& folder, const CString& sortName,
                          bool ascending) {
  std::vector<SongInfoPtr> songs;
  if (!ReadPlaylistSongs(folder.id, &songs)) return E_FAIL;
  OrderPlaylistSongs(&songs, sortName, ascending);
  return AddSongs(rows, static_cast<int>(songs.size()), [&](int i) { return songs[i].get(); });
}

}  // namespace

HRESULT FillList(HWND list, HINSTANCE resources, const ShownFolder& folder,
                 const std::vector<CString>& headings, const CString& sortName,
                 bool ascending) try {
  RedrawOff redrawOff(list);
  ListView_DeleteAllItems(list);
  ImageList_RemoveAll(ListView_GetImageList(list, LVSIL_SMALL));
  Rows rows(list, resources);
  if (HRESULT result = rows.Columns(headings); FAILED(result)) return result;
  switch (folder.kind) {
    case kKindRoot:
      return FillJunction(rows, sortName, ascending);
    case kKindMusic:
      return FillGroups(rows, sortName, ascending);
    case kKindGroup:
      return FillSubGroups(rows, folder, sortName, ascending);
    case kKindSongList:
      return folder.id == kAllSongsId ? FillAllSongs(rows, sortName, ascending)
                                      : FillSubGroupSongs(rows, folder, sortName, ascending);
    case kKindPlayLists:
      return FillPlaylists(rows, sortName, ascending);
    case kKindPlaylist:
      return FillPlaylistSongs(rows, folder, sortName, ascending);
    default:
      return E_INVALIDARG;
  }
} catch (...) {
  return E_OUTOFMEMORY;
}
