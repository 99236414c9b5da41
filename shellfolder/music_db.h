// The music database as the shell folder sees it: the objects, records,
// factories and destroy functions of the suite's outside libraries Korvel
// (database objects), Ansimo (song records) and Brisel (playlist files).
//
// The slot order of every interface is a contract between modules: members
// are declared in slot order (the first is slot 0) and a test checks each
// index. No interface has a virtual destructor: every object ends through the
// destroy function of the library that made it (DestroyIGroup for
// CreateIGroup, and so on); objects returned by a method are either handed to
// the caller (said so below, with the destroy function) or stay owned by the
// object that returned them.
//
// Strings are CString in the system code page; results are 1 for success
// and 0 for failure unless said otherwise. Nothing throws.
//
// Sorting. Containers sort by the sort name and direction given when they
// are made. The names are those of the views' columns: "Name"; "Group" (the
// groups); "Songs" (song count) and "Duration" (seconds); "Song", "Album",
// "Artist", "Genre", "Location" (a song's title, album, artist, genre and
// path); "Playlist" and "Play list" (a playlist's name); and a group's
// singular name (the group name without its last character, "Artist" for
// "Artists"), which means that group's own name column. A name the object has
// no column for sorts by name (a song's name is its title); an empty name, or
// flag 0 where the factory takes a flag, keeps database order (ascending
// ids). Text compares without regard to ASCII letter case. Equal values
// always keep ascending id order, in either direction, so the order is
// stable.
//
// Playlist files (CreateZPLStorage) are UTF-8 text, one song path per line.
// A byte-order mark at the start, carriage returns and spaces or tabs around
// a line are ignored, as are blank lines and lines whose first other
// character is '#'. A path that is not absolute (no drive letter, no leading
// separator, not a UNC path) is resolved against the folder of the playlist
// file; "." and ".." segments of such a path are folded. Either separator may
// be used.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/base/cstring.h"
#include "platform/base/export.h"
#include "platform/base/win_types.h"

// A place songs and playlists are read from: the music database
// (CreateDbQAPStorage) or a playlist file (CreateZPLStorage). Opaque to
// callers; only the libraries look inside.
class IQAPStorage;

// A group of the music folder: all songs (empty key) or the songs grouped by
// one song field ("album", "artist", "genre").
struct TGroupInfo {
  CString name;       // "Songs", "Albums", "Artists", "Genres"
  CString key;        // the song field grouped by; empty = all songs
  int id;
  int songCount;
  int subGroupCount;  // distinct values of the key; 0 for all songs
  int totalSeconds;
};
static_assert(offsetof(TGroupInfo, name) == 0);
static_assert(offsetof(TGroupInfo, key) == sizeof(CString));
static_assert(offsetof(TGroupInfo, id) == 2 * sizeof(CString));
static_assert(offsetof(TGroupInfo, songCount) == 2 * sizeof(CString) + 4);
static_assert(offsetof(TGroupInfo, subGroupCount) == 2 * sizeof(CString) + 8);
static_assert(offsetof(TGroupInfo, totalSeconds) == 2 * sizeof(CString) + 12);
static_assert(sizeof(TGroupInfo) == 2 * sizeof(CString) + 16);

// One value of a group's key and its songs. The extra text is the group's
// key; with the id it finds the same songs again (CreateISubGroup). Songs
// whose field is empty form the sub-group "Unknown <singular group name>".
struct TSubGroupInfo {
  CString name;
  int id;
  CString extra;
  int songCount;
  int totalSeconds;
};
static_assert(offsetof(TSubGroupInfo, name) == 0);
static_assert(offsetof(TSubGroupInfo, id) == sizeof(CString));
static_assert(offsetof(TSubGroupInfo, extra) == sizeof(CString) + 8);
static_assert(offsetof(TSubGroupInfo, songCount) == 2 * sizeof(CString) + 8);
static_assert(offsetof(TSubGroupInfo, totalSeconds) == 2 * sizeof(CString) + 12);
static_assert(sizeof(TSubGroupInfo) == 2 * sizeof(CString) + 16);

// A playlist's details record (IDbQAPPlayList slot 9).
struct TPlayListInfo {
  int id;
  int songCount;
  int totalSeconds;
};
static_assert(offsetof(TPlayListInfo, id) == 0);
static_assert(offsetof(TPlayListInfo, songCount) == 4);
static_assert(offsetof(TPlayListInfo, totalSeconds) == 8);
static_assert(sizeof(TPlayListInfo) == 12);

// A song record. Made empty or from a file by Ansimo (DestroyQAPSongInfo),
// or handed out, still owned, by the containers below.
class IQAPSongInfo {
 public:
  virtual void SetPath(const CString& path) = 0;      // 0
  virtual const CString& GetPath() const = 0;         // 1
  virtual void SetTitle(const CString& title) = 0;    // 2
  virtual const CString& GetTitle() const = 0;        // 3
  virtual void SetTrackNumber(int track) = 0;         // 4
  virtual int GetTrackNumber() const = 0;             // 5
  virtual void SetArtist(const CString& artist) = 0;  // 6
  virtual const CString& GetArtist() const = 0;       // 7
  virtual void SetAlbum(const CString& album) = 0;    // 8
  virtual const CString& GetAlbum() const = 0;        // 9
  virtual void SetYear(int year) = 0;                 // 10
  virtual int GetYear() const = 0;                    // 11
  virtual void SetGenre(const CString& genre) = 0;    // 12
  virtual const CString& GetGenre() const = 0;        // 13
  virtual void SetDuration(int seconds) = 0;          // 14
  virtual int GetDuration() const = 0;                // 15 (seconds)
  virtual void SetId(int id) = 0;                     // 16
  virtual int GetId() const = 0;                      // 17
  // With the database storage: add 0 looks the record's path up, add 1 adds
  // the record when no song has its path yet (a song already there is left
  // as it is). On success the record takes the stored song's id and fields.
  // Fails for an empty path, an unknown path (add 0), another storage, or a
  // database failure.
  virtual int Bind(IQAPStorage* storage, int add) = 0;  // 18
};

// A list of songs. GetSong hands out records the container keeps; they stay
// valid until the container changes (Open, DeleteSong) or is destroyed.
class ISongContainer {
 public:
  virtual int GetCount() = 0;                                 // 0
  virtual IQAPSongInfo* GetSong(int index) = 0;               // 1 (null when out of range)
  // The index of the song with exactly this path and id; -1 when none.
  virtual int FindSong(const CString& path, int songId) = 0;  // 2
  // Reads the songs; call before anything else, and again to refresh.
  virtual int Open() = 0;                                     // 3
  // Deletes the song at index from the database (and from every playlist).
  virtual int DeleteSong(int index) = 0;                      // 4
};

// One value of a group's key (see TSubGroupInfo) and its songs. Records from
// GetSong and GetSongById are kept by the sub-group, as in ISongContainer.
class ISubGroup {
 public:
  virtual int FindSong(const CString& path, int songId) = 0;  // 0 (-1 when none)
  virtual int GetInfo(TSubGroupInfo* info) = 0;               // 1
  virtual int GetSongCount() = 0;                             // 2
  virtual IQAPSongInfo* GetSong(int index) = 0;               // 3
  virtual IQAPSongInfo* GetSongById(int songId) = 0;          // 4
  // Reads the songs and the current counts; call before the song slots.
  virtual int Open() = 0;                                     // 5
};

// A group and its sub-groups, read when first asked for. Sub-groups from
// slots 3 and 4 belong to the caller (DestroyISubGroup) and are not yet open.
class IGroup {
 public:
  // Reads the sub-groups and counts again.
  virtual int Refresh() = 0;                          // 0
  virtual int GetInfo(TGroupInfo* info) = 0;          // 1
  virtual int GetSubGroupCount() = 0;                 // 2
  virtual ISubGroup* GetSubGroup(int index) = 0;      // 3
  virtual ISubGroup* GetSubGroupById(int id) = 0;     // 4
};

// The groups in database order: all songs, "Albums", "Artists", "Genres".
// Groups from slots 1 and 2 belong to the caller (DestroyIGroup).
class IGroupContainer {
 public:
  virtual int GetCount() = 0;                   // 0
  virtual IGroup* GetGroup(int index) = 0;      // 1
  virtual IGroup* GetGroupById(int id) = 0;     // 2
  // Reads the groups; call before anything else, and again to refresh.
  virtual int Open() = 0;                       // 3
};

// A playlist. One of the database (from the playlist container, or opened
// on or loaded from the database storage, with an id) stores every change at
// once; one opened on a playlist file, or without an id, changes only in
// memory.
class IDbQAPPlayList {
 public:
  // Attaches the playlist to a storage, which must outlive that use; Load
  // with no storage then reads it.
  virtual int Open(IQAPStorage* storage) = 0;                   // 0
  virtual int SetName(const CString& name) = 0;                 // 1 (not empty)
  virtual const CString& GetName() const = 0;                   // 2
  virtual int GetSongCount() = 0;                               // 3
  // Copies the song at index into the caller's record.
  virtual int GetSong(int index, IQAPSongInfo* song) = 0;       // 4
  virtual int FindSong(const CString& path, int songId) = 0;    // 5 (-1 when none)
  // Appends the record's song: by its id, or by its path when the id is 0;
  // a playlist of the database takes only songs of the database.
  virtual int AddSong(const IQAPSongInfo* song) = 0;            // 6
  virtual int RemoveSong(int index) = 0;                        // 7
  // Reads name and songs from storage (null: the one opened on). For the
  // database, id names the playlist, 0 meaning this playlist's own id; a
  // playlist file is named after the file and its songs carry id 0 and their
  // file name as title.
  virtual int Load(IQAPStorage* storage, int id) = 0;           // 8
  virtual int GetDetails(TPlayListInfo* info) = 0;              // 9
  virtual void SetId(int id) = 0;                               // 10
};

// The playlists. Playlists from slots 1 and 2 belong to the caller
// (DestroyDbQAPPlayList) and read the database.
class IPlaylistContainer {
 public:
  virtual int GetCount() = 0;                                   // 0
  virtual IDbQAPPlayList* GetPlaylist(int index) = 0;           // 1
  virtual IDbQAPPlayList* GetPlaylistById(int id) = 0;          // 2
  // Returns the new playlist's id (0 on failure); names need not be unique.
  virtual int CreatePlaylist(const CString& name) = 0;          // 3
  // Deletes the playlist of exactly this name (the oldest, should several
  // share it); its songs stay in the database.
  virtual int DeletePlaylist(const CString& name) = 0;          // 4
  // Reads the playlists; call before anything else, and again to refresh.
  virtual int Open() = 0;                                       // 5
};

extern "C" {

// Korvel. flag 1 sorts by sortName; flag 0 keeps database order.
QAP_EXPORT int CreateDbQAPStorage(IQAPStorage** storage);
QAP_EXPORT void DestroyDbQAPStorage(IQAPStorage* storage);
// id 0 makes a playlist of its own; another id names the database playlist
// that Load(database storage, 0) reads.
QAP_EXPORT int CreateDbQAPPlayList(IDbQAPPlayList** playlist, int id);
QAP_EXPORT void DestroyDbQAPPlayList(IDbQAPPlayList* playlist);
QAP_EXPORT IGroupContainer* CreateIGroupContainer(int flag, const CString& sortName,
                                                  BOOL ascending);
QAP_EXPORT void DestroyIGroupContainer(IGroupContainer* container);
QAP_EXPORT IPlaylistContainer* CreatePlayListContainer(int flag, const CString& sortName,
                                                       BOOL ascending);
QAP_EXPORT void DestroyPlayListContainer(IPlaylistContainer* container);
// The group whose key is info.key, its sub-groups read at once.
QAP_EXPORT IGroup* CreateIGroup(const TGroupInfo& info, int flag, const CString& sortName,
                                BOOL ascending);
QAP_EXPORT void DestroyIGroup(IGroup* group);
// The sub-group of info.id (and info.extra, when not empty); not yet open.
QAP_EXPORT ISubGroup* CreateISubGroup(const TSubGroupInfo& info, const CString& sortName,
                                      BOOL ascending);
QAP_EXPORT void DestroyISubGroup(ISubGroup* subGroup);
// All songs; not yet open.
QAP_EXPORT ISongContainer* CreateISongContainer(const CString& sortName, BOOL ascending);
QAP_EXPORT void DestroyISongContainer(ISongContainer* container);

// Ansimo. An empty record, or one read from a music file: its tags and
// duration, with the file's base name as title when it has none. Fails when
// the file cannot be read as audio.
QAP_EXPORT int CreateQAPSongInfo(IQAPSongInfo** song);
QAP_EXPORT int CreateQAPSongInfoFromFile(const CString& path, IQAPSongInfo** song);
QAP_EXPORT void DestroyQAPSongInfo(IQAPSongInfo* song);

// Brisel. Reads the playlist file at path (format above); fails when it
// cannot be read.
QAP_EXPORT int CreateZPLStorage(const CString& path, IQAPStorage** storage);
QAP_EXPORT void DestroyZPLStorage(IQAPStorage* storage);

}  // extern "C"

// The record built from a file, under the name callers know it by; a C
// export cannot be overloaded, so the library exports it by a name of its
// own.
inline int CreateQAPSongInfo(const CString& path, IQAPSongInfo** song) {
  return CreateQAPSongInfoFromFile(path, song);
}

// Owners that end an object with its library's destroy function.
template <typename T, void (*Destroy)(T*)>
struct MusicDbDestroy {
  void operator()(T* object) const { Destroy(object); }
};
using DbStoragePtr = std::unique_ptr<IQAPStorage, MusicDbDestroy<IQAPStorage, DestroyDbQAPStorage>>;
using ZplStoragePtr = std::unique_ptr<IQAPStorage, MusicDbDestroy<IQAPStorage, DestroyZPLStorage>>;
using PlaylistPtr =
    std::unique_ptr<IDbQAPPlayList, MusicDbDestroy<IDbQAPPlayList, DestroyDbQAPPlayList>>;
using GroupContainerPtr =
    std::unique_ptr<IGroupContainer, MusicDbDestroy<IGroupContainer, DestroyIGroupContainer>>;
using PlaylistContainerPtr =
    std::unique_ptr<IPlaylistContainer,
                    MusicDbDestroy<IPlaylistContainer, DestroyPlayListContainer>>;
using GroupPtr = std::unique_ptr<IGroup, MusicDbDestroy<IGroup, DestroyIGroup>>;
using SubGroupPtr = std::unique_ptr<ISubGroup, MusicDbDestroy<ISubGroup, DestroyISubGroup>>;
using SongContainerPtr =
    std::unique_ptr<ISongContainer, MusicDbDestroy<ISongContainer, DestroyISongContainer>>;
using SongInfoPtr = std::unique_ptr<IQAPSongInfo, MusicDbDestroy<IQAPSongInfo, DestroyQAPSongInfo>>;
