// Groups and sub-groups over a small known library: counts, totals, the
// all-songs group, lookups by index and by id, and finding a sub-group's
// songs again from its id and extra text.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "suite/musicdb/tests/music_db_test_support.h"

namespace {

using namespace qap::musicdb::testing;

class Groups : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(AddSong("/m/polar.mp3", {"Polar Night", "Aurora Lane", "Northern Lights", "Ambient"}, 200), 0);
    ASSERT_NE(AddSong("/m/first.mp3", {"First Light", "Aurora Lane", "Northern Lights", "Ambient"}, 100), 0);
    ASSERT_NE(AddSong("/m/earl.wav", {"Earl Grey", "The Copper Kettles", "Tea Time", "Jazz"}, 60), 0);
    ASSERT_NE(AddSong("/m/darj.wma", {"Darjeeling", "The Copper Kettles", "Tea Time", "Jazz"}, 90), 0);
    ASSERT_NE(AddSong("/m/thogn.mp3", {"Þögn", "Sigrún", "Fjöll", "Folk"}, 30), 0);
    ASSERT_NE(AddSong("/m/mystery.mp3", {"Mystery"}, 20), 0);
  }

  static GroupPtr Group(const char* key) {
    TGroupInfo info{};
    info.key = key;
    return GroupPtr(CreateIGroup(info, 0, "", TRUE));
  }

  // "name songs seconds" of every sub-group, in the group's order.
  static std::vector<std::string> Describe(IGroup* group) {
    std::vector<std::string> rows;
    for (int i = 0; i < group->GetSubGroupCount(); ++i) {
      TSubGroupInfo info{};
      EXPECT_TRUE(SubGroupPtr(group->GetSubGroup(i))->GetInfo(&info));
      rows.push_back(info.name.str() + " " + std::to_string(info.songCount) + " " +
                     std::to_string(info.totalSeconds));
    }
    return rows;
  }

  ScratchMusicDb m_db;
};

TEST_F(Groups, GroupsComeInDatabaseOrderWithTheLibrarysCountsAndTotals) {
  GroupContainerPtr groups(CreateIGroupContainer(0, "", TRUE));
  ASSERT_TRUE(groups->Open());
  ASSERT_EQ(groups->GetCount(), 4);
  const std::vector<std::string> names = {"Songs", "Albums", "Artists", "Genres"};
  const std::vector<std::string> keys = {"", "album", "artist", "genre"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(names[i]);
    GroupPtr group(groups->GetGroup(i));
    TGroupInfo info{};
    ASSERT_TRUE(group && group->GetInfo(&info));
    EXPECT_EQ(info.name.str(), names[i]);
    EXPECT_EQ(info.key.str(), keys[i]);
    EXPECT_EQ(info.id, i + 1);
    EXPECT_EQ(info.songCount, 6);
    EXPECT_EQ(info.totalSeconds, 500);
    EXPECT_EQ(info.subGroupCount, i == 0 ? 0 : 4);
    EXPECT_EQ(group->GetSubGroupCount(), info.subGroupCount);
    TGroupInfo byId{};
    ASSERT_TRUE(GroupPtr(groups->GetGroupById(info.id))->GetInfo(&byId));
    EXPECT_EQ(byId.name, info.name);
  }
  EXPECT_EQ(groups->GetGroup(4), nullptr);
  EXPECT_EQ(groups->GetGroupById(99), nullptr);
}

TEST_F(Groups, SubGroupsAreTheDistinctValuesWithTheirCountsAndTotals) {
  EXPECT_EQ(Describe(Group("artist").get()),
            (std::vector<std::string>{"Aurora Lane 2 300", "The Copper Kettles 2 150",
                                      "Sigrún 1 30", "Unknown Artist 1 20"}));
  EXPECT_EQ(Describe(Group("genre").get()),
            (std::vector<std::string>{"Ambient 2 300", "Jazz 2 150", "Folk 1 30", "Unknown Genre 1 20"}));
  EXPECT_EQ(Group("")->GetSubGroupCount(), 0);
  EXPECT_FALSE(Group("composer"));
}

TEST_F(Groups, ASubGroupFindsItsSongsAgainFromItsIdAndExtraText) {
  TSubGroupInfo info{};
  ASSERT_TRUE(SubGroupPtr(Group("album")->GetSubGroup(1))->GetInfo(&info));
  EXPECT_EQ(info.name, "Tea Time");
  EXPECT_EQ(info.extra, "album");

  // What the shell keeps of an item: the id and the extra text.
  TSubGroupInfo kept{};
  kept.id = info.id;
  kept.extra = info.extra;
  SubGroupPtr again(CreateISubGroup(kept, "Song", TRUE));
  ASSERT_TRUE(again->Open());
  ASSERT_EQ(again->GetSongCount(), 2);
  EXPECT_EQ(again->GetSong(0)->GetTitle(), "Darjeeling");
  EXPECT_EQ(again->GetSong(1)->GetTitle(), "Earl Grey");
  EXPECT_EQ(again->GetSong(2), nullptr);
  TSubGroupInfo opened{};
  ASSERT_TRUE(again->GetInfo(&opened));
  EXPECT_EQ(opened.name, "Tea Time");
  EXPECT_EQ(opened.songCount, 2);
  EXPECT_EQ(opened.totalSeconds, 150);

  const int earlGrey = again->GetSong(1)->GetId();
  EXPECT_EQ(again->GetSongById(earlGrey)->GetPath(), "/m/earl.wav");
  EXPECT_EQ(again->GetSongById(12345), nullptr);
  EXPECT_EQ(again->FindSong("/m/earl.wav", earlGrey), 1);
  EXPECT_EQ(again->FindSong("/m/earl.wav", earlGrey + 1), -1);

  kept.extra = "artist";
  EXPECT_FALSE(SubGroupPtr(CreateISubGroup(kept, "", TRUE))->Open());
  kept.id = 9999;
  kept.extra = "";
  EXPECT_FALSE(SubGroupPtr(CreateISubGroup(kept, "", TRUE))->Open());
}

TEST_F(Groups, SubGroupIdsStayAsTheLibraryGrowsAndRefreshShowsTheNewSongs) {
  GroupPtr artists = Group("artist");
  TSubGroupInfo before{};
  SubGroupPtr(artists->GetSubGroup(2))->GetInfo(&before);

  ASSERT_NE(AddSong("/m/a.mp3", {"Alda", "Sigrún", "Fjöll", "Folk"}, 40), 0);
  ASSERT_NE(AddSong("/m/b.mp3", {"Brim", "Another"}, 40), 0);
  EXPECT_EQ(artists->GetSubGroupCount(), 4);
  ASSERT_TRUE(artists->Refresh());
  EXPECT_EQ(artists->GetSubGroupCount(), 5);
  TGroupInfo group{};
  artists->GetInfo(&group);
  EXPECT_EQ(group.songCount, 8);
  EXPECT_EQ(group.totalSeconds, 580);

  TSubGroupInfo after{};
  ASSERT_TRUE(SubGroupPtr(artists->GetSubGroupById(before.id))->GetInfo(&after));
  EXPECT_EQ(after.name, "Sigrún");
  EXPECT_EQ(after.songCount, 2);
  EXPECT_EQ(after.totalSeconds, 70);
  EXPECT_EQ(artists->GetSubGroupById(-5), nullptr);
}

// The groups' totals are kept between reads while nothing changed; a change
// made by another program must show at the next read all the same.
TEST_F(Groups, TheTotalsFollowAChangeThatAnotherProgramMakes) {
  auto totals = [] {
    GroupContainerPtr groups(CreateIGroupContainer(0, "", TRUE));
    EXPECT_TRUE(groups->Open());
    TGroupInfo albums{};
    EXPECT_TRUE(GroupPtr(groups->GetGroup(1))->GetInfo(&albums));
    return std::to_string(albums.songCount) + " " + std::to_string(albums.totalSeconds) + " " +
           std::to_string(albums.subGroupCount);
  };
  EXPECT_EQ(totals(), "6 500 4");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(getenv("QAP_MUSIC_DB"), &other), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(other,
                         "DELETE FROM songs WHERE path = '/m/mystery.mp3';"
                         "INSERT INTO songs(path, title, artist, album, genre, track, year, "
                         "duration) VALUES ('/m/new.mp3', 'New', 'X', 'New Album', 'Pop', 1, "
                         "2000, 7), ('/m/newer.mp3', 'Newer', 'X', 'New Album', 'Pop', 2, 2000, 3)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(other);
  EXPECT_EQ(totals(), "7 490 4") << "the album-less song went and one new album came";
  ASSERT_NE(AddSong("/m/own.mp3", {"Own", "Y", "Own Album", "Pop"}, 10), 0);
  EXPECT_EQ(totals(), "8 500 5");
}

}  // namespace
