// Reading and ordering a playlist's songs.
#include "shellfolder/playlist_order.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

int CompareNoAsciiCase(const CString& a, const CString& b) {
  const std::string& left = a.str();
  const std::string& right = b.str();
  const size_t length = std::min(left.size(), right.size());
  for (size_t i = 0; i < length; ++i) {
    const int l = std::tolower(static_cast<unsigned char>(left[i]));
    const int r = std::tolower(static_cast<unsigned char>(right[i]));
    if (l != r) return l < r ? -1 : 1;
  }
  return left.size() == right.size() ? 0 : left.size() < right.size() ? -1 : 1;
}

using TextField = const CString& (IQAPSongInfo::*)() const;

TextField FieldOf(const CString& sortName) {
  if (sortName == "Album") return &IQAPSongInfo::GetAlbum;
  if (sortName == "Artist") return &IQAPSongInfo::GetArtist;
  if (sortName == "Genre") return &IQAPSongInfo::GetGenre;
  if (sortName == "Location") return &IQAPSongInfo::GetPath;
  return &IQAPSongInfo::GetTitle;
}

}  // namespace

bool ReadPlaylistSongs(int id, std::vector<SongInfoPtr>* songs) {
  IQAPStorage* storage = nullptr;
  if (!CreateDbQAPStorage(&storage)) return false;
  DbStoragePtr storageOwner(storage);
  IDbQAPPlayList* playlist = nullptr;
  if (!CreateDbQAPPlayList(&playlist, id)) return false;
  PlaylistPtr playlistOwner(playlist);
  if (!playlist->Load(storage, 0)) return false;
  const int count = playlist->GetSongCount();
  songs->reserve(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    IQAPSongInfo* song = nullptr;
    if (!CreateQAPSongInfo(&song)) return false;
    songs->emplace_back(song);
    if (!playlist->GetSong(i, song)) return false;
  }
  return true;
}

void OrderPlaylistSongs(std::vector<SongInfoPtr>* songs, const CString& sortName, bool ascending) {
  if (sortName.IsEmpty()) return;
  std::function<int(const IQAPSongInfo&, const IQAPSongInfo&)> compare;
  if (sortName == "Duration") {
    compare = [](const IQAPSongInfo& a, const IQAPSongInfo& b) {
      return a.GetDuration() == b.GetDuration() ? 0 : a.GetDuration() < b.GetDuration() ? -1 : 1;
    };
  } else {
    const TextField field = FieldOf(sortName);
    compare = [field](const IQAPSongInfo& a, const IQAPSongInfo& b) {
      return CompareNoAsciiCase((a.*field)(), (b.*field)());
    };
  }
  // A stable sort keeps equal songs in playlist order, also when reversed.
  std::stable_sort(songs->begin(), songs->end(), [&](const SongInfoPtr& a, const SongInfoPtr& b) {
    const int order = compare(*a, *b);
    return ascending ? order < 0 : order > 0;
  });
}
