// Song records read from music files (tags and duration through TagLib),
// binding them to the database, and files that are not songs.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "suite/musicdb/tests/music_db_test_support.h"

namespace {

using namespace qap::musicdb::testing;

SongInfoPtr FromFile(const std::string& path) {
  IQAPSongInfo* song = nullptr;
  CreateQAPSongInfo(path.c_str(), &song);
  return SongInfoPtr(song);
}

void ExpectRead(const std::string& path, const Tags& tags, int seconds) {
  SCOPED_TRACE(path);
  SongInfoPtr song = FromFile(path);
  ASSERT_TRUE(song);
  EXPECT_EQ(song->GetPath().str(), path);
  EXPECT_EQ(song->GetTitle().str(), tags.title);
  EXPECT_EQ(song->GetArtist().str(), tags.artist);
  EXPECT_EQ(song->GetAlbum().str(), tags.album);
  EXPECT_EQ(song->GetGenre().str(), tags.genre);
  EXPECT_EQ(song->GetTrackNumber(), tags.track);
  EXPECT_EQ(song->GetYear(), tags.year);
  EXPECT_EQ(song->GetDuration(), seconds);
  EXPECT_EQ(song->GetId(), 0);
}

class SongFiles : public ::testing::Test {
 protected:
  ScratchMusicDb m_db;
  qap::testing::ScratchDir m_dir;
  DbStoragePtr m_storage = NewStorage();
};

TEST_F(SongFiles, TagsAndDurationAreReadFromMp3WavAndWmaFiles) {
  const Tags mp3 = {"Polar Night", "Aurora Lane", "Northern Lights", "Ambient", 2, 1999};
  const Tags wav = {"Earl Grey", "The Copper Kettles", "Tea Time", "Jazz"};
  const Tags wma = {"Darjeeling", "The Copper Kettles", "Tea Time", "Jazz", 7};
  ASSERT_TRUE(MakeMusicFile(m_dir.File("a.mp3"), mp3, 2));
  ASSERT_TRUE(MakeMusicFile(m_dir.File("b.wav"), wav, 1));
  ASSERT_TRUE(MakeMusicFile(m_dir.File("c.wma"), wma, 3));
  ExpectRead(m_dir.File("a.mp3"), mp3, 2);
  ExpectRead(m_dir.File("b.wav"), wav, 1);
  ExpectRead(m_dir.File("c.wma"), wma, 3);
}

TEST_F(SongFiles, AFileWithoutTagsIsTitledByItsNameAndNonAsciiTagsRoundTrip) {
  ASSERT_TRUE(MakeMusicFile(m_dir.File("Untitled Demo.mp3"), {}, 1));
  ExpectRead(m_dir.File("Untitled Demo.mp3"), {"Untitled Demo"}, 1);

  const Tags icelandic = {"Þögn", "Sigrún Ólafsdóttir", "Fjöll og firðir", "Þjóðlög"};
  ASSERT_TRUE(MakeMusicFile(m_dir.File("Þögn.mp3"), icelandic, 1));
  ExpectRead(m_dir.File("Þögn.mp3"), icelandic, 1);
  ASSERT_NE(AddFile(m_dir.File("Þögn.mp3")), 0);
  SongContainerPtr songs = OpenSongs();
  EXPECT_EQ(songs->GetSong(0)->GetArtist(), "Sigrún Ólafsdóttir");
  EXPECT_EQ(songs->GetSong(0)->GetPath().str(), m_dir.File("Þögn.mp3"));
}

TEST_F(SongFiles, UnderCodePage1252TextArrivesAs1252AndIsStoredAsUtf8) {
  ASSERT_TRUE(MakeMusicFile(m_dir.File("x.mp3"), {"Þögn", "Björk"}, 1));
  {
    struct CodePage1252 {
      CodePage1252() { setenv("QAP_ACP", "1252", 1); }
      ~CodePage1252() { unsetenv("QAP_ACP"); }
    } codePage;
    SongInfoPtr song = FromFile(m_dir.File("x.mp3"));
    ASSERT_TRUE(song);
    EXPECT_EQ(song->GetTitle(), "\xDE\xF6gn");
    song->SetAlbum("Caf\xE9");
    ASSERT_TRUE(song->Bind(m_storage.get(), 1));
    EXPECT_EQ(song->GetArtist(), "Bj\xF6rk");
  }
  SongContainerPtr songs = OpenSongs();
  EXPECT_EQ(songs->GetSong(0)->GetTitle(), "Þögn");
  EXPECT_EQ(songs->GetSong(0)->GetAlbum(), "Café");
}

TEST_F(SongFiles, FilesThatAreNotSongsGiveNoRecordAndAddNothing) {
  for (const std::string& path :
       {m_dir.Write("text.mp3", "This is a letter, not a song.\n"), m_dir.Write("empty.wav", ""),
        m_dir.Write("noise.wma", std::string(4096, '\x5a')), m_dir.Write("readme.txt", "hello"),
        m_dir.File("missing.mp3"), m_dir.Path(), std::string("Q:\\unmapped\\drive.mp3")}) {
    SCOPED_TRACE(path);
    IQAPSongInfo* song = reinterpret_cast<IQAPSongInfo*>(0x1);
    EXPECT_FALSE(CreateQAPSongInfo(path.c_str(), &song));
    EXPECT_EQ(song, nullptr);
    EXPECT_EQ(AddFile(path), 0);
  }
  EXPECT_EQ(OpenSongs()->GetCount(), 0);
}

TEST_F(SongFiles, BindingLooksUpWithZeroAndAddsWithOneAndTheSamePathKeepsItsId) {
  ASSERT_TRUE(MakeMusicFile(m_dir.File("a.wav"), {"First", "A"}, 1));
  SongInfoPtr song = NewSong();
  song->SetPath(m_dir.File("a.wav").c_str());
  EXPECT_FALSE(song->Bind(m_storage.get(), 0));
  const int id = AddFile(m_dir.File("a.wav"));
  ASSERT_NE(id, 0);
  EXPECT_EQ(AddFile(m_dir.File("a.wav")), id);
  ASSERT_TRUE(song->Bind(m_storage.get(), 0));
  EXPECT_EQ(song->GetId(), id);
  EXPECT_EQ(song->GetTitle(), "First");

  // Adding again leaves the stored song as it was, and answers with it.
  song->SetTitle("Changed");
  ASSERT_TRUE(song->Bind(m_storage.get(), 1));
  EXPECT_EQ(song->GetId(), id);
  EXPECT_EQ(song->GetTitle(), "First");

  IQAPStorage* file = nullptr;
  ASSERT_TRUE(CreateZPLStorage(m_dir.Write("l.zpl", "a.wav\n").c_str(), &file));
  EXPECT_FALSE(song->Bind(file, 1));
  DestroyZPLStorage(file);
  EXPECT_FALSE(song->Bind(nullptr, 1));
  song->SetPath("");
  EXPECT_FALSE(song->Bind(m_storage.get(), 1));
}

TEST_F(SongFiles, EveryPathOfOneFileIsOneSongStoredAsItsHostPath) {
  qap::testing::ScratchHive hive;
  ASSERT_TRUE(SetDriveMapping('M', m_dir.Path(), DRIVE_FIXED));
  ASSERT_TRUE(MakeMusicFile(m_dir.File("Jazz/tune.mp3"), {"Tune"}, 1));
  const int id = AddFile("M:\\Jazz\\tune.mp3");
  ASSERT_NE(id, 0);
  SongContainerPtr songs = OpenSongs();
  ASSERT_EQ(songs->GetCount(), 1);
  EXPECT_EQ(songs->GetSong(0)->GetPath(), m_dir.File("Jazz/tune.mp3").c_str());
  EXPECT_EQ(songs->GetSong(0)->GetTitle(), "Tune");
  for (const std::string& other : {m_dir.File("Jazz/tune.mp3"), "Z:" + m_dir.File("Jazz/tune.mp3"),
                                   m_dir.File("Jazz/../Jazz//tune.mp3"), std::string("m:/Jazz/tune.mp3")}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(AddFile(other), id) << "looked up, not added again";
    SongInfoPtr song = NewSong();
    song->SetPath(other.c_str());
    DbStoragePtr storage = NewStorage();
    ASSERT_TRUE(song->Bind(storage.get(), 1));
    EXPECT_EQ(song->GetId(), id);
    EXPECT_EQ(songs->FindSong(other.c_str(), id), 0);
  }
  EXPECT_EQ(OpenSongs()->GetCount(), 1);
}

}  // namespace
