// qap library: the music database from a terminal, through the same Korvel,
// Ansimo and Brisel calls the music folder makes: adding music files and
// folders, listing groups, songs and playlists, and changing playlists.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "shellfolder/music_db.h"
#include "suite/musicdb/core/database.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "library", "add music to the music database, list it and change its playlists",
    "usage: qap library add PATH...\n"
    "       qap library groups\n"
    "       qap library group NAME [--sort COLUMN] [--desc]\n"
    "       qap library songs [--sort COLUMN] [--desc]\n"
    "       qap library playlists\n"
    "       qap library playlist create NAME\n"
    "       qap library playlist show NAME\n"
    "       qap library playlist add NAME PATH...\n"
    "       qap library playlist remove NAME POSITION...\n"
    "       qap library playlist rename NAME NEW-NAME\n"
    "       qap library playlist delete NAME\n"
    "       qap library import FILE.zpl [--name NAME]\n\n"
    "add      adds music files, and the music files in folders and all their\n"
    "         sub-folders; songs already in the library are skipped\n"
    "group    lists the sub-groups of a group (\"Albums\", \"Artists\", \"Genres\"),\n"
    "         by name unless --sort says otherwise\n"
    "songs    lists every song, in the order they were added unless --sort says\n"
    "         otherwise\n"
    "playlist add adds the files (and folders) to the library and the playlist;\n"
    "         remove takes the positions that \"show\" prints\n"
    "import   makes a playlist, named after the file unless --name is given, of\n"
    "         the songs a .zpl file lists (one path a line, relative to the file)\n\n"
    "COLUMN is a column the views sort by: Song, Duration, Album, Artist, Genre,\n"
    "Location for songs; Songs, Duration or the group's singular name (Artist)\n"
    "for a group. PATH may be a host path or a program path such as C:\\Music.\n"
    "The database is $QAP_MUSIC_DB, else $XDG_DATA_HOME/qap/music.db.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

// Audio files by extension, for walking folders and reading playlist files.
const char* const kSongExtensions[] = {
    "mp3", "mp2", "wma", "asf", "wav", "snd", "au",  "aif", "aifc", "aiff", "mid", "rmi",
    "ra",  "rm",  "avi", "mov", "flac", "ogg", "oga", "opus", "m4a", "mpc",  "ape", "wv"};

bool HasSongExtension(const std::string& path) {
  std::string extension = SplitPath(path).extension;
  if (extension.empty()) return false;
  extension.erase(0, 1);
  for (const char* known : kSongExtensions) {
    if (strcasecmp(extension.c_str(), known) == 0) return true;
  }
  return false;
}

std::string Duration(int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds % 3600 / 60,
                seconds % 60);
  return text;
}

int Failed(const std::string& what) {
  std::cerr << "qap library: " << what << ": " << musicdb::LastError() << "\n";
  return 1;
}

// A command that only reads finds a library with nothing in it where there
// is no database yet, and makes neither the file nor its folders.
void OnlyRead() {
  musicdb::Database& database = musicdb::Database::Instance();
  auto lock = database.Lock();
  database.SetCreateMissing(false);
}

// The views' columns: a sort by any other name would quietly sort by title.
bool KnownColumn(const CString& column, const std::vector<std::string>& columns,
                 std::string* error) {
  std::string list;
  for (const std::string& known : columns) {
    if (column == known.c_str()) return true;
    list += (list.empty() ? "" : ", ") + known;
  }
  *error = "there is no column '" + column.str() + "' to sort by; the columns are " + list;
  return false;
}

// Columns padded to their widest cell, counted in characters (UTF-8).
void PrintTable(const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows) {
  auto width = [](const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
  };
  std::vector<size_t> widths;
  for (const std::string& header : headers) widths.push_back(width(header));
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], width(row[i]));
  }
  auto print = [&](const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
      line += cells[i];
      if (i + 1 < cells.size()) line += std::string(widths[i] - width(cells[i]) + 2, ' ');
    }
    std::cout << line << "\n";
  };
  print(headers);
  for (const auto& row : rows) print(row);
}

// --- Adding music ---

// A terminal path as the program path stored in the library: program paths
// (drive letters, UNC) as given, host paths made absolute.
std::string ProgramPath(const std::string& arg) {
  if (DriveLetterOf(arg) != 0 || (!arg.empty() && arg[0] == '\\')) return arg;
  return std::filesystem::absolute(arg).lexically_normal().string();
}

// The files named, and the music files in the folders named; paths that do
// not exist are returned as files, so that they are reported unreadable.
std::vector<std::string> CollectFiles(const std::vector<std::string>& args) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    const std::string program = ProgramPath(arg);
    const std::string host = ToHostPath(program);
    std::error_code error;
    if (host.empty() || !fs::is_directory(host, error)) {
      files.push_back(program);
      continue;
    }
    const std::string folder = AppendSeparator(program);
    const char separator = folder.back();
    std::vector<std::string> found;
    for (fs::recursive_directory_iterator it(host, fs::directory_options::skip_permission_denied,
                                             error),
         end;
         !error && it != end; it.increment(error)) {
      if (!it->is_regular_file(error) || !HasSongExtension(it->path().string())) continue;
      std::string relative = it->path().lexically_relative(host).string();
      std::replace(relative.begin(), relative.end(), '/', separator);
      found.push_back(folder + relative);
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

// "[n/total] path" on one line of the terminal, while there is one.
class Progress {
 public:
  explicit Progress(size_t total) : m_total(total), m_shown(isatty(STDERR_FILENO) != 0) {}
  ~Progress() {
    if (m_shown && m_done > 0) std::cerr << "\r\033[K" << std::flush;
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Step(const std::string& path) {
    ++m_done;
    if (!m_shown) return;
    std::string name = FileNameOf(path);
    if (name.size() > 50) name = name.substr(0, 47) + "...";
    std::cerr << "\r\033[K[" << m_done << "/" << m_total << "] " << name << std::flush;
  }

 private:
  size_t m_total;
  bool m_shown;
  size_t m_done = 0;
};

struct Tally {
  int added = 0;
  int known = 0;
  std::vector<std::string> unreadable;
};

// The music folder's way of adding a file: look the path up, else read the
// file and add it. The song's id, 0 when the file cannot be read as a song,
// -1 when the database fails.
int AddFile(IQAPStorage* storage, const std::string& path, Tally* tally) {
  IQAPSongInfo* raw = nullptr;
  if (!CreateQAPSongInfo(&raw)) return -1;
  SongInfoPtr song(raw);
  song->SetPath(path.c_str());
  if (song->Bind(storage, 0)) {
    ++tally->known;
    return song->GetId();
  }
  if (!CreateQAPSongInfo(CString(path), &raw)) {
    tally->unreadable.push_back(path);
    return 0;
  }
  song.reset(raw);
  if (!song->Bind(storage, 1)) return -1;
  ++tally->added;
  return song->GetId();
}

// Adds each file to the library and, when playlist is set, to the playlist.
// False when the database fails (what was done stays done).
bool AddFiles(const std::vector<std::string>& files, IDbQAPPlayList* playlist, Tally* tally) {
  IQAPStorage* raw = nullptr;
  if (!CreateDbQAPStorage(&raw)) return false;
  DbStoragePtr storage(raw);
  Progress progress(files.size());
  for (const std::string& path : files) {
    progress.Step(path);
    const int id = AddFile(storage.get(), path, tally);
    if (id < 0) return false;
    if (id == 0 || playlist == nullptr) continue;
    // A fresh record with the path and id, as the music folder adds songs.
    IQAPSongInfo* song = nullptr;
    if (!CreateQAPSongInfo(&song)) return false;
    SongInfoPtr owner(song);
    song->SetPath(path.c_str());
    song->SetId(id);
    if (!playlist->AddSong(song)) return false;
  }
  return true;
}

int Report(const Tally& tally) {
  for (const std::string& path : tally.unreadable)
    std::cerr << "qap library: cannot read " << path << " as a song\n";
  std::cout << "Added " << tally.added << (tally.added == 1 ? " song" : " songs") << ", "
            << tally.known << " already in the library, " << tally.unreadable.size()
            << " could not be read.\n";
  return tally.unreadable.empty() ? 0 : 1;
}

// --- Finding things by name ---

bool OpenPlaylists(PlaylistContainerPtr* playlists) {
  playlists->reset(CreatePlayListContainer(0, "", TRUE));
  return *playlists && (*playlists)->Open();
}

// The playlist of exactly this name, else the one whose name differs only
// in case; null (after saying why) when none or several.
PlaylistPtr FindPlaylist(IPlaylistContainer* playlists, const std::string& name) {
  std::vector<int> loose;
  for (int i = 0; i < playlists->GetCount(); ++i) {
    PlaylistPtr playlist(playlists->GetPlaylist(i));
    if (!playlist) continue;
    if (playlist->GetName() == name.c_str()) return playlist;
    if (playlist->GetName().CompareNoCase(name.c_str()) == 0) loose.push_back(i);
  }
  if (loose.size() == 1) return PlaylistPtr(playlists->GetPlaylist(loose[0]));
  std::cerr << "qap library: " << (loose.empty() ? "there is no playlist named \""
                                                 : "several playlists are named like \"")
            << name << "\"\n";
  return nullptr;
}

bool NameTaken(IPlaylistContainer* playlists, const std::string& name, int exceptId) {
  for (int i = 0; i < playlists->GetCount(); ++i) {
    PlaylistPtr playlist(playlists->GetPlaylist(i));
    TPlayListInfo info{};
    if (playlist && playlist->GetDetails(&info) && info.id != exceptId &&
        playlist->GetName().CompareNoCase(name.c_str()) == 0)
      return true;
  }
  return false;
}

// --- Commands ---

struct SortOptions {
  CString column;
  bool ascending = true;
};

// Takes --sort COLUMN and --desc out of args; false on a bad option.
bool TakeSort(Args* args, SortOptions* sort, std::string* error) {
  Args rest;
  for (size_t i = 0; i < args->size(); ++i) {
    const std::string& arg = (*args)[i];
    if (arg == "--desc") {
      sort->ascending = false;
    } else if (arg == "--sort") {
      if (i + 1 >= args->size()) {
        *error = "--sort needs a column name";
        return false;
      }
      sort->column = (*args)[++i].c_str();
    } else if (arg.rfind("--", 0) == 0) {
      *error = "unknown option '" + arg + "'";
      return false;
    } else {
      rest.push_back(arg);
    }
  }
  *args = rest;
  return true;
}

int Add(const Args& paths) {
  if (paths.empty()) return UsageError(kVerb, "add needs at least one file or folder");
  Tally tally;
  if (!AddFiles(CollectFiles(paths), nullptr, &tally)) {
    Report(tally);
    return Failed("adding songs failed");
  }
  return Report(tally);
}

int Groups() {
  GroupContainerPtr groups(CreateIGroupContainer(0, "", TRUE));
  if (!groups || !groups->Open()) return Failed("cannot read the groups");
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < groups->GetCount(); ++i) {
    GroupPtr group(groups->GetGroup(i));
    TGroupInfo info{};
    if (!group || !group->GetInfo(&info)) return Failed("cannot read a group");
    rows.push_back({info.name.str(), std::to_string(info.songCount), Duration(info.totalSeconds),
                    info.key.IsEmpty() ? "" : std::to_string(info.subGroupCount)});
  }
  PrintTable({"Group", "Songs", "Duration", "Sub-groups"}, rows);
  return 0;
}

int Group(const std::string& name, const SortOptions& sort) {
  GroupContainerPtr groups(CreateIGroupContainer(0, "", TRUE));
  if (!groups || !groups->Open()) return Failed("cannot read the groups");
  TGroupInfo found{};
  std::string names;
  for (int i = 0; i < groups->GetCount(); ++i) {
    GroupPtr group(groups->GetGroup(i));
    TGroupInfo info{};
    if (!group || !group->GetInfo(&info)) return Failed("cannot read a group");
    names += (names.empty() ? "" : ", ") + info.name.str();
    if (info.name.CompareNoCase(name.c_str()) == 0 || (!info.key.IsEmpty() && info.key == name.c_str()))
      found = info;
  }
  if (found.name.IsEmpty()) {
    std::cerr << "qap library: there is no group named \"" << name << "\" (the groups are "
              << names << ")\n";
    return 1;
  }
  const CString singular = found.name.Left(found.name.GetLength() - 1);
  std::string error;
  if (!sort.column.IsEmpty() && !KnownColumn(sort.column, {singular.str(), "Songs", "Duration"}, &error)) {
    return UsageError(kVerb, error);
  }
  GroupPtr group(CreateIGroup(found, 1, sort.column.IsEmpty() ? singular : sort.column,
                              sort.ascending ? TRUE : FALSE));
  if (!group) return Failed("cannot read the group " + found.name.str());
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < group->GetSubGroupCount(); ++i) {
    SubGroupPtr subGroup(group->GetSubGroup(i));
    TSubGroupInfo info{};
    if (!subGroup || !subGroup->GetInfo(&info)) return Failed("cannot read a sub-group");
    rows.push_back({info.name.str(), std::to_string(info.songCount), Duration(info.totalSeconds)});
  }
  PrintTable({singular.str(), "Songs", "Duration"}, rows);
  return 0;
}

std::vector<std::string> SongRow(const IQAPSongInfo& song) {
  return {song.GetTitle().str(), Duration(song.GetDuration()), song.GetAlbum().str(),
          song.GetArtist().str(), song.GetGenre().str(), song.GetPath().str()};
}

int Songs(const SortOptions& sort) {
  std::string error;
  if (!sort.column.IsEmpty() &&
      !KnownColumn(sort.column, {"Song", "Duration", "Album", "Artist", "Genre", "Location"},
                   &error)) {
    return UsageError(kVerb, error);
  }
  SongContainerPtr songs(CreateISongContainer(sort.column, sort.ascending ? TRUE : FALSE));
  if (!songs || !songs->Open()) return Failed("cannot read the songs");
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < songs->GetCount(); ++i) rows.push_back(SongRow(*songs->GetSong(i)));
  PrintTable({"Song", "Duration", "Album", "Artist", "Genre", "Location"}, rows);
  return 0;
}

int Playlists() {
  PlaylistContainerPtr playlists;
  if (!OpenPlaylists(&playlists)) return Failed("cannot read the playlists");
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < playlists->GetCount(); ++i) {
    PlaylistPtr playlist(playlists->GetPlaylist(i));
    TPlayListInfo info{};
    if (!playlist || !playlist->GetDetails(&info)) return Failed("cannot read a playlist");
    rows.push_back({std::to_string(info.id), playlist->GetName().str(),
                    std::to_string(info.songCount), Duration(info.totalSeconds)});
  }
  PrintTable({"Id", "Play list", "Songs", "Duration"}, rows);
  return 0;
}

int Show(IDbQAPPlayList* playlist) {
  IQAPSongInfo* raw = nullptr;
  if (!CreateQAPSongInfo(&raw)) return Failed("out of memory");
  SongInfoPtr song(raw);
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < playlist->GetSongCount(); ++i) {
    if (!playlist->GetSong(i, song.get())) return Failed("cannot read the playlist");
    std::vector<std::string> row = SongRow(*song);
    row.insert(row.begin(), std::to_string(i + 1));
    rows.push_back(row);
  }
  TPlayListInfo info{};
  playlist->GetDetails(&info);
  std::cout << "Playlist \"" << playlist->GetName() << "\" (id " << info.id << "), "
            << info.songCount << (info.songCount == 1 ? " song, " : " songs, ")
            << Duration(info.totalSeconds) << "\n";
  PrintTable({"#", "Song", "Duration", "Album", "Artist", "Genre", "Location"}, rows);
  return 0;
}

int Remove(IDbQAPPlayList* playlist, const Args& positions) {
  std::vector<int> indexes;
  for (const std::string& text : positions) {
    char* end = nullptr;
    const long position = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || position < 1 || position > playlist->GetSongCount())
      return UsageError(kVerb, "'" + text + "' is not a position in the playlist (1 to " +
                                   std::to_string(playlist->GetSongCount()) + ")");
    indexes.push_back(static_cast<int>(position - 1));
  }
  // From the back, so that the positions still to go keep their meaning.
  std::sort(indexes.rbegin(), indexes.rend());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  for (int index : indexes) {
    if (!playlist->RemoveSong(index)) return Failed("cannot remove a song from the playlist");
  }
  std::cout << "Removed " << indexes.size() << (indexes.size() == 1 ? " song" : " songs")
            << " from \"" << playlist->GetName() << "\".\n";
  return 0;
}

int Playlist(const Args& args) {
  if (args.size() < 2) return UsageError(kVerb, "playlist needs a command and a playlist name");
  const std::string& command = args[0];
  const std::string& name = args[1];
  const Args rest(args.begin() + 2, args.end());
  // Looking at a playlist changes nothing, and makes no database either.
  if (command == "show") OnlyRead();
  PlaylistContainerPtr playlists;
  if (!OpenPlaylists(&playlists)) return Failed("cannot read the playlists");

  if (command == "create") {
    if (!rest.empty()) return UsageError(kVerb, "create takes only the playlist's name");
    if (NameTaken(playlists.get(), name, 0)) {
      std::cerr << "qap library: a playlist named \"" << name << "\" already exists\n";
      return 1;
    }
    const int id = playlists->CreatePlaylist(name.c_str());
    if (id == 0) return Failed("cannot create the playlist");
    std::cout << "Created playlist \"" << name << "\" (id " << id << ").\n";
    return 0;
  }
  if (command != "show" && command != "add" && command != "remove" && command != "rename" &&
      command != "delete")
    return UsageError(kVerb, "unknown playlist command '" + command + "'");
  if ((command == "show" || command == "delete") && !rest.empty())
    return UsageError(kVerb, command + " takes only the playlist's name");
  if ((command == "add" || command == "remove") && rest.empty())
    return UsageError(kVerb, command + " needs " + (command == "add" ? "files" : "positions"));
  if (command == "rename" && rest.size() != 1)
    return UsageError(kVerb, "rename takes the playlist's name and its new name");

  PlaylistPtr playlist = FindPlaylist(playlists.get(), name);
  if (!playlist) return 1;
  if (command == "show") return Show(playlist.get());
  if (command == "remove") return Remove(playlist.get(), rest);
  if (command == "add") {
    Tally tally;
    if (!AddFiles(CollectFiles(rest), playlist.get(), &tally)) {
      Report(tally);
      return Failed("adding songs failed");
    }
    std::cout << "Playlist \"" << playlist->GetName() << "\" now holds "
              << playlist->GetSongCount() << " songs. ";
    return Report(tally);
  }
  const std::string oldName = playlist->GetName().str();
  if (command == "delete") {
    if (!playlists->DeletePlaylist(oldName.c_str())) return Failed("cannot delete the playlist");
    std::cout << "Deleted playlist \"" << oldName << "\"; its songs stay in the library.\n";
    return 0;
  }
  TPlayListInfo info{};
  playlist->GetDetails(&info);
  if (rest[0].empty()) return UsageError(kVerb, "a playlist's name cannot be empty");
  if (NameTaken(playlists.get(), rest[0], info.id)) {
    std::cerr << "qap library: a playlist named \"" << rest[0] << "\" already exists\n";
    return 1;
  }
  if (!playlist->SetName(rest[0].c_str())) return Failed("cannot rename the playlist");
  std::cout << "Renamed playlist \"" << oldName << "\" to \"" << rest[0] << "\".\n";
  return 0;
}

int Import(const Args& args) {
  std::string file;
  std::string name;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--name" && i + 1 < args.size()) {
      name = args[++i];
    } else if (args[i].rfind("--", 0) == 0 || !file.empty()) {
      return UsageError(kVerb, "unexpected argument '" + args[i] + "'");
    } else {
      file = args[i];
    }
  }
  if (file.empty()) return UsageError(kVerb, "import needs a .zpl file");
  IQAPStorage* raw = nullptr;
  if (!CreateZPLStorage(ProgramPath(file).c_str(), &raw)) {
    // The library says only that it could not; the file system says why.
    const std::string host = ToHostPath(ProgramPath(file));
    std::FILE* opened = host.empty() ? nullptr : std::fopen(host.c_str(), "rb");
    const std::string why = host.empty() ? "no such drive" : opened == nullptr ? std::strerror(errno)
                                                                                : "it cannot be read";
    if (opened != nullptr) std::fclose(opened);
    std::cerr << "qap library: cannot read the playlist file " << file << ": " << why << "\n";
    return 1;
  }
  ZplStoragePtr storage(raw);
  IDbQAPPlayList* listed = nullptr;
  if (!CreateDbQAPPlayList(&listed, 0)) return Failed("out of memory");
  PlaylistPtr fileList(listed);
  if (!fileList->Open(storage.get()) || !fileList->Load(nullptr, 0))
    return Failed("cannot read the playlist file");
  if (name.empty()) name = fileList->GetName().str();
  std::vector<std::string> files;
  IQAPSongInfo* song = nullptr;
  if (!CreateQAPSongInfo(&song)) return Failed("out of memory");
  SongInfoPtr owner(song);
  int skipped = 0;
  for (int i = 0; i < fileList->GetSongCount(); ++i) {
    fileList->GetSong(i, song);
    if (HasSongExtension(song->GetPath().str()))
      files.push_back(song->GetPath().str());
    else
      ++skipped;
  }

  PlaylistContainerPtr playlists;
  if (!OpenPlaylists(&playlists)) return Failed("cannot read the playlists");
  if (NameTaken(playlists.get(), name, 0)) {
    std::cerr << "qap library: a playlist named \"" << name
              << "\" already exists; choose another with --name\n";
    return 1;
  }
  const int id = playlists->CreatePlaylist(name.c_str());
  if (id == 0) return Failed("cannot create the playlist");
  PlaylistPtr playlist(playlists->GetPlaylistById(id));
  Tally tally;
  if (!playlist || !AddFiles(files, playlist.get(), &tally)) {
    Report(tally);
    return Failed("importing failed");
  }
  std::cout << "Imported " << playlist->GetSongCount() << " of " << fileList->GetSongCount()
            << " songs into playlist \"" << name << "\" (id " << id << ")";
  if (skipped > 0) std::cout << "; " << skipped << " skipped, not named as music files";
  std::cout << ". ";
  return Report(tally);
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "missing command");
  const std::string& command = args[0];
  Args rest(args.begin() + 1, args.end());
  if (command == "add") return Add(rest);
  if (command == "playlist") return Playlist(rest);
  if (command == "import") return Import(rest);
  // Everything below only reads.
  OnlyRead();
  SortOptions sort;
  std::string error;
  if (!TakeSort(&rest, &sort, &error)) return UsageError(kVerb, error);
  const bool sorts = !sort.column.IsEmpty() || !sort.ascending;
  if (command == "group") {
    if (rest.size() != 1) return UsageError(kVerb, "group takes one group name");
    return Group(rest[0], sort);
  }
  if (command == "songs") {
    if (!rest.empty()) return UsageError(kVerb, "songs takes no names");
    return Songs(sort);
  }
  if (command != "groups" && command != "playlists")
    return UsageError(kVerb, "unknown command '" + command + "'");
  if (!rest.empty() || sorts) return UsageError(kVerb, command + " takes no arguments");
  return command == "groups" ? Groups() : Playlists();
}

}  // namespace
}  // namespace qap
