// Columns and sort names of the music folder's list.
#include "shellfolder/list_columns.h"

#include <cstdio>

#include "platform/base/codepage.h"
#include "shellfolder/music_db.h"
#include "shellfolder/music_item.h"

namespace {

// The song columns' sort names, in the order the song rows fill them.
const char* const kSongSortNames[] = {"Song", "Duration", "Album", "Artist", "Genre", "Location"};

CString Singular(const CString& name) {
  return name.IsEmpty() ? name : name.Left(name.GetLength() - 1);
}

// Every group of the database in its order; empty when it cannot be read.
std::vector<TGroupInfo> Groups() {
  std::vector<TGroupInfo> groups;
  GroupContainerPtr container(CreateIGroupContainer(0, "", TRUE));
  if (!container || !container->Open()) return groups;
  const int count = container->GetCount();
  for (int i = 0; i < count; ++i) {
    GroupPtr group(container->GetGroup(i));
    TGroupInfo info{};
    if (group && group->GetInfo(&info)) groups.push_back(info);
  }
  return groups;
}

// The singular name of the group whose key is key ("Artist" for the group
// Artists keyed by "artist"); empty when there is none.
CString SingularGroupName(const CString& key) {
  for (const TGroupInfo& group : Groups()) {
    if (group.key.Compare(key) == 0) return Singular(group.name);
  }
  return CString();
}

}  // namespace

std::vector<CString> ColumnHeadings(const ShownFolder& folder) {
  switch (folder.kind) {
    case kKindRoot:
      return {"Name"};
    case kKindMusic:
      return {"Group", "Songs", "Duration"};
    case kKindGroup:
      return {SingularGroupName(WideToAnsi(folder.category).c_str()), "Songs", "Duration"};
    case kKindPlayLists:
      return {"Play list", "Songs", "Duration"};
    case kKindSongList:
    case kKindPlaylist: {
      std::vector<CString> headings{"Song", "Duration"};
      for (const TGroupInfo& group : Groups()) {
        if (!group.key.IsEmpty()) headings.push_back(Singular(group.name));
      }
      headings.push_back("Location");
      return headings;
    }
    default:
      return {};
  }
}

CString SortNameOfColumn(const ShownFolder& folder, const std::vector<CString>& headings,
                         int column) {
  switch (folder.kind) {
    case kKindRoot:
      return column == 0 ? "Name" : "";
    case kKindMusic:
      // Only the group's name sorts the groups.
      return column == 0 ? "Group" : "";
    case kKindGroup:
      // The first heading is the group's singular name.
      if (column == 0) return headings.empty() ? CString() : headings[0];
      return column == 1 ? "Songs" : column == 2 ? "Duration" : "";
    case kKindPlayLists:
      return column == 0 ? "Playlist" : column == 1 ? "Songs" : column == 2 ? "Duration" : "";
    case kKindSongList:
    case kKindPlaylist:
      return column >= 0 && column < 6 ? kSongSortNames[column] : "";
    default:
      return "";
  }
}

std::string FormatDuration(int seconds) {
  // Hand-made rather than snprintf: a fill of 100,000 songs formats one a row.
  const bool negative = seconds < 0;
  const long long total = negative ? -static_cast<long long>(seconds) : seconds;
  const long long hours = total / 3600;
  const int minutes = static_cast<int>(total / 60 % 60);
  const int rest = static_cast<int>(total % 60);
  std::string text = negative ? "-" : "";
  text += std::to_string(hours);
  const char tail[] = {':', static_cast<char>('0' + minutes / 10), static_cast<char>('0' + minutes % 10),
                       ':', static_cast<char>('0' + rest / 10),    static_cast<char>('0' + rest % 10)};
  text.append(tail, sizeof tail);
  return text;
}
