// Playlists of the database: create, rename, add, remove by index, delete,
// load, ids and the details record, with every change seen by other
// objects at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "suite/musicdb/tests/music_db_test_support.h"

namespace {

using namespace qap::musicdb::testing;
using Paths = std::vector<std::string>;

class Playlists : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_container->Open());
    m_one = AddSong("/m/one.mp3", {"One", "A", "X", "Pop"}, 60);
    m_two = AddSong("/m/two.mp3", {"Two", "B", "Y", "Pop"}, 120);
    ASSERT_TRUE(m_one && m_two && AddSong("/m/three.mp3", {"Three"}, 180));
  }

  // The playlist of this id as the shell reads it: a new object loaded
  // from the database storage.
  PlaylistPtr Fresh(int id) {
    IDbQAPPlayList* playlist = nullptr;
    EXPECT_TRUE(CreateDbQAPPlayList(&playlist, 0));
    playlist->SetId(id);
    EXPECT_TRUE(playlist->Load(m_storage.get(), 0)) << "playlist " << id;
    return PlaylistPtr(playlist);
  }

  Paths Listed(IDbQAPPlayList* playlist) {
    Paths paths;
    for (int i = 0; i < playlist->GetSongCount(); ++i) {
      EXPECT_TRUE(playlist->GetSong(i, m_record.get()));
      paths.push_back(m_record->GetPath().str());
    }
    return paths;
  }

  // As the shell adds a song: a fresh record with the path and id.
  static int Add(IDbQAPPlayList* playlist, const char* path, int id) {
    SongInfoPtr song = NewSong();
    song->SetPath(path);
    song->SetId(id);
    return playlist->AddSong(song.get());
  }

  ScratchMusicDb m_db;
  DbStoragePtr m_storage = NewStorage();
  SongInfoPtr m_record = NewSong();
  PlaylistContainerPtr m_container{CreatePlayListContainer(0, "", TRUE)};
  int m_one = 0;
  int m_two = 0;
};

TEST_F(Playlists, ACreatedPlaylistIsListedAndItsChangesAreStoredAtOnce) {
  const int id = m_container->CreatePlaylist("Road Trip");
  ASSERT_GT(id, 0);
  ASSERT_EQ(m_container->GetCount(), 1);
  {
    PlaylistPtr listed(m_container->GetPlaylist(0));
    EXPECT_EQ(listed->GetName(), "Road Trip");
    ASSERT_TRUE(Add(listed.get(), "/m/two.mp3", m_two));
    ASSERT_TRUE(Add(listed.get(), "/m/one.mp3", m_one));
    ASSERT_TRUE(Add(listed.get(), "/m/two.mp3", m_two));
    ASSERT_TRUE(Add(listed.get(), "/m/three.mp3", 0));  // by path, never bound
    ASSERT_TRUE(listed->SetName("Long Road Trip"));
  }
  PlaylistPtr loaded = Fresh(id);
  EXPECT_EQ(loaded->GetName(), "Long Road Trip");
  EXPECT_EQ(Listed(loaded.get()), (Paths{"/m/two.mp3", "/m/one.mp3", "/m/two.mp3", "/m/three.mp3"}));
  ASSERT_TRUE(loaded->GetSong(1, m_record.get()));
  EXPECT_EQ(m_record->GetId(), m_one);
  EXPECT_EQ(m_record->GetTitle(), "One");
  EXPECT_FALSE(loaded->GetSong(4, m_record.get()));
  EXPECT_EQ(loaded->FindSong("/m/one.mp3", m_one), 1);
  EXPECT_EQ(loaded->FindSong("/m/one.mp3", m_two), -1);
  TPlayListInfo details{};
  ASSERT_TRUE(loaded->GetDetails(&details));
  EXPECT_EQ(details.id, id);
  EXPECT_EQ(details.songCount, 4);
  EXPECT_EQ(details.totalSeconds, 480);

  ASSERT_TRUE(m_container->Open());
  TPlayListInfo listed{};
  ASSERT_TRUE(PlaylistPtr(m_container->GetPlaylistById(id))->GetDetails(&listed));
  EXPECT_EQ(listed.songCount, 4);
  EXPECT_EQ(listed.totalSeconds, 480);
  EXPECT_EQ(m_container->GetPlaylistById(id + 1), nullptr);
}

TEST_F(Playlists, RemovingByIndexRemovesThatEntryEvenFromAStaleCopy) {
  const int id = m_container->CreatePlaylist("Twice");
  PlaylistPtr playlist = Fresh(id);
  ASSERT_TRUE(Add(playlist.get(), "/m/one.mp3", m_one));
  ASSERT_TRUE(Add(playlist.get(), "/m/two.mp3", m_two));
  ASSERT_TRUE(Add(playlist.get(), "/m/one.mp3", m_one));
  ASSERT_TRUE(playlist->RemoveSong(2));
  EXPECT_FALSE(playlist->RemoveSong(2));
  EXPECT_FALSE(playlist->RemoveSong(-1));
  EXPECT_EQ(Listed(Fresh(id).get()), (Paths{"/m/one.mp3", "/m/two.mp3"}));

  // A copy read before another removed "one" removes the entry it knows,
  // not whatever sits at its index now.
  PlaylistPtr stale = Fresh(id);
  ASSERT_TRUE(playlist->RemoveSong(0));
  EXPECT_FALSE(stale->RemoveSong(0));
  ASSERT_TRUE(stale->RemoveSong(1));
  EXPECT_EQ(Fresh(id)->GetSongCount(), 0);
}

TEST_F(Playlists, DeletingByNameRemovesTheOldestOfThatNameAndKeepsItsSongs) {
  const int first = m_container->CreatePlaylist("Mix");
  const int second = m_container->CreatePlaylist("Mix");
  const int other = m_container->CreatePlaylist("mix");
  ASSERT_TRUE(first && second && other && first != second);
  ASSERT_TRUE(Add(Fresh(first).get(), "/m/one.mp3", m_one));

  ASSERT_TRUE(m_container->DeletePlaylist("Mix"));
  ASSERT_EQ(m_container->GetCount(), 2);
  EXPECT_EQ(m_container->GetPlaylistById(first), nullptr);
  IDbQAPPlayList* gone = nullptr;
  CreateDbQAPPlayList(&gone, first);
  EXPECT_FALSE(PlaylistPtr(gone)->Load(m_storage.get(), 0));
  EXPECT_EQ(OpenSongs()->GetCount(), 3);

  EXPECT_FALSE(m_container->DeletePlaylist("MIX"));
  ASSERT_TRUE(m_container->DeletePlaylist("Mix"));
  ASSERT_TRUE(m_container->DeletePlaylist("mix"));
  EXPECT_EQ(m_container->GetCount(), 0);
  EXPECT_FALSE(m_container->DeletePlaylist("Mix"));
  EXPECT_EQ(m_container->CreatePlaylist(""), 0);
  EXPECT_GT(m_container->CreatePlaylist("Mix"), other);  // ids never come back
}

TEST_F(Playlists, OnlySongsOfTheDatabaseGoInAndChangesAfterADeleteFailCleanly) {
  const int id = m_container->CreatePlaylist("Strict");
  PlaylistPtr playlist = Fresh(id);
  EXPECT_FALSE(Add(playlist.get(), "/m/unknown.mp3", 0));
  EXPECT_FALSE(Add(playlist.get(), "/m/one.mp3", 987654));
  EXPECT_FALSE(playlist->AddSong(nullptr));
  EXPECT_FALSE(playlist->SetName(""));
  ASSERT_TRUE(Add(playlist.get(), "/m/two.mp3", m_two));
  ASSERT_TRUE(Add(playlist.get(), "/m/one.mp3", m_one));

  // Deleting a song from the library takes it out of every playlist.
  SongContainerPtr songs = OpenSongs("Song");
  const int index = songs->FindSong("/m/two.mp3", m_two);
  ASSERT_TRUE(songs->DeleteSong(index));
  EXPECT_EQ(songs->FindSong("/m/two.mp3", m_two), -1);
  EXPECT_FALSE(songs->DeleteSong(5));
  EXPECT_EQ(Listed(Fresh(id).get()), Paths{"/m/one.mp3"});

  ASSERT_TRUE(m_container->DeletePlaylist("Strict"));
  EXPECT_FALSE(Add(playlist.get(), "/m/one.mp3", m_one));
  EXPECT_FALSE(playlist->SetName("Saved"));
  EXPECT_FALSE(playlist->RemoveSong(0));
  EXPECT_FALSE(playlist->Load(nullptr, 0));
}

}  // namespace
