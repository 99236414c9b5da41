// The music database interfaces keep every member at its slot: the shell
// folder and the libraries meet only through these indexes.
#include <gtest/gtest.h>

#include "platform/testing/vtable_slot.h"
#include "shellfolder/music_db.h"

namespace {

using qap::testing::SlotOf;

TEST(MusicDbSlots, SongRecordMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetPath), 0);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetPath), 1);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetTitle), 2);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetTitle), 3);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetTrackNumber), 4);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetTrackNumber), 5);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetArtist), 6);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetArtist), 7);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetAlbum), 8);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetAlbum), 9);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetYear), 10);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetYear), 11);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetGenre), 12);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetGenre), 13);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetDuration), 14);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetDuration), 15);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::SetId), 16);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::GetId), 17);
  EXPECT_EQ(SlotOf(&IQAPSongInfo::Bind), 18);
}

TEST(MusicDbSlots, GroupContainerGroupAndSubGroupMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&IGroupContainer::GetCount), 0);
  EXPECT_EQ(SlotOf(&IGroupContainer::GetGroup), 1);
  EXPECT_EQ(SlotOf(&IGroupContainer::GetGroupById), 2);
  EXPECT_EQ(SlotOf(&IGroupContainer::Open), 3);

  EXPECT_EQ(SlotOf(&IGroup::Refresh), 0);
  EXPECT_EQ(SlotOf(&IGroup::GetInfo), 1);
  EXPECT_EQ(SlotOf(&IGroup::GetSubGroupCount), 2);
  EXPECT_EQ(SlotOf(&IGroup::GetSubGroup), 3);
  EXPECT_EQ(SlotOf(&IGroup::GetSubGroupById), 4);

  EXPECT_EQ(SlotOf(&ISubGroup::FindSong), 0);
  EXPECT_EQ(SlotOf(&ISubGroup::GetInfo), 1);
  EXPECT_EQ(SlotOf(&ISubGroup::GetSongCount), 2);
  EXPECT_EQ(SlotOf(&ISubGroup::GetSong), 3);
  EXPECT_EQ(SlotOf(&ISubGroup::GetSongById), 4);
  EXPECT_EQ(SlotOf(&ISubGroup::Open), 5);
}

TEST(MusicDbSlots, SongAndPlaylistContainerMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&ISongContainer::GetCount), 0);
  EXPECT_EQ(SlotOf(&ISongContainer::GetSong), 1);
  EXPECT_EQ(SlotOf(&ISongContainer::FindSong), 2);
  EXPECT_EQ(SlotOf(&ISongContainer::Open), 3);
  EXPECT_EQ(SlotOf(&ISongContainer::DeleteSong), 4);

  EXPECT_EQ(SlotOf(&IPlaylistContainer::GetCount), 0);
  EXPECT_EQ(SlotOf(&IPlaylistContainer::GetPlaylist), 1);
  EXPECT_EQ(SlotOf(&IPlaylistContainer::GetPlaylistById), 2);
  EXPECT_EQ(SlotOf(&IPlaylistContainer::CreatePlaylist), 3);
  EXPECT_EQ(SlotOf(&IPlaylistContainer::DeletePlaylist), 4);
  EXPECT_EQ(SlotOf(&IPlaylistContainer::Open), 5);
}

TEST(MusicDbSlots, PlaylistMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::Open), 0);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::SetName), 1);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::GetName), 2);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::GetSongCount), 3);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::GetSong), 4);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::FindSong), 5);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::AddSong), 6);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::RemoveSong), 7);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::Load), 8);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::GetDetails), 9);
  EXPECT_EQ(SlotOf(&IDbQAPPlayList::SetId), 10);
}

}  // namespace
