// The music folder's items: their bytes for every kind, how long texts and
// paths are fitted, which items count as ours, the list operations and the
// order the shell sorts by.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/codepage.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/tests/music_folder_fixture.h"

namespace cobrell::testing {
namespace {

const ItemIdManager& Items() { return TheItemIdManager(); }

std::vector<BYTE> BytesOf(LPCITEMIDLIST list) {
  const auto* bytes = reinterpret_cast<const BYTE*>(list);
  return std::vector<BYTE>(bytes, bytes + Items().GetSize(list));
}

void PutWord(std::vector<BYTE>& bytes, size_t at, std::uint32_t value, size_t width) {
  std::memcpy(bytes.data() + at, &value, width);
}

void PutText(std::vector<BYTE>& bytes, size_t at, std::u16string_view text) {
  std::memcpy(bytes.data() + at, text.data(), text.size() * 2);
}

UniqueItemIdList Top(DWORD kind) {
  LPITEMIDLIST item = nullptr;
  EXPECT_EQ(Items().MakeTopFolder(kind, &item), S_OK);
  return UniqueItemIdList(item);
}

UniqueItemIdList Group(const char* name, const char* key, int id) {
  TGroupInfo info{};
  info.name = name;
  info.key = key;
  info.id = id;
  LPITEMIDLIST item = nullptr;
  EXPECT_EQ(Items().MakeGroup(info, &item), S_OK);
  return UniqueItemIdList(item);
}

UniqueItemIdList SubGroup(const std::string& name, int id, const std::string& extra) {
  TSubGroupInfo info{};
  info.name = name;
  info.id = id;
  info.extra = extra;
  LPITEMIDLIST item = nullptr;
  EXPECT_EQ(Items().MakeSubGroup(info, &item), S_OK);
  return UniqueItemIdList(item);
}

UniqueItemIdList Song(DWORD kind, int songId, const std::u16string& path) {
  LPITEMIDLIST item = nullptr;
  EXPECT_EQ(Items().MakeSong(kind, songId, path, &item), S_OK);
  return UniqueItemIdList(item);
}

UniqueItemIdList Join(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  return UniqueItemIdList(Items().Concat(first, second));
}

int Order(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  const int order = Items().Compare(first, second);
  return (order > 0) - (order < 0);
}

using MusicItems = MusicFolderTest;

TEST_F(MusicItems, AFolderItemIsExactlyItsFieldsInZeroedBytes) {
  UniqueItemIdList group = Group("Artists", "artist", 3);
  std::vector<BYTE> expected(612, 0);
  PutWord(expected, 0, 610, 2);
  PutWord(expected, 2, 1, 2);
  std::memcpy(expected.data() + 4, "ZelVar", 7);
  PutWord(expected, 14, 0xA0000000, 4);
  PutWord(expected, 18, 208, 4);
  PutWord(expected, 22, 2, 4);
  PutText(expected, 26, u"artist");
  PutWord(expected, 90, 3, 4);
  PutText(expected, 98, u"Artists");
  EXPECT_EQ(BytesOf(group.get()), expected);
}

TEST_F(MusicItems, ASongItemEndsWithItsPathAndCounts612PlusTwiceThePathLength) {
  const std::u16string path = u"C:\\Music\\" + std::u16string(291, u'x');
  ASSERT_EQ(path.size(), 300u);
  UniqueItemIdList song = Song(kKindListSong, 42, path);
  const std::vector<BYTE> bytes = BytesOf(song.get());
  ASSERT_EQ(bytes.size(), 1214u);
  EXPECT_EQ(WORD{AsMusicItem(song.get())->cb}, 1212);
  EXPECT_EQ(DWORD{AsMusicItem(song.get())->songId}, 42u);
  EXPECT_EQ(int{AsMusicItem(song.get())->id}, 0);
  EXPECT_EQ(ItemPath(AsMusicItem(song.get())), path);
  EXPECT_EQ(FieldsOf(song.get()), (ItemFields{6, "", "", 0, 0, 0}));
  EXPECT_EQ(std::memcmp(bytes.data() + 608, path.data(), 600), 0);
  EXPECT_EQ(std::vector<BYTE>(bytes.begin() + 1208, bytes.end()), std::vector<BYTE>(6, 0));

  // Paths from the database are widened from the system code page.
  LPITEMIDLIST fromDatabase = nullptr;
  ASSERT_EQ(Items().MakeItem(kKindPlaylist, nullptr, 5, "/Musik/Sigrún/Þögn.mp3", &fromDatabase),
            S_OK);
  UniqueItemIdList owner(fromDatabase);
  EXPECT_EQ(ItemPath(AsMusicItem(fromDatabase)), u"/Musik/Sigrún/Þögn.mp3");
  EXPECT_EQ(DWORD{AsMusicItem(fromDatabase)->kind}, kKindPlaylistSong);
  EXPECT_EQ(WORD{AsMusicItem(fromDatabase)->cb}, 612 + 2 * 22);
}

TEST_F(MusicItems, APathThatWouldWrapTheSixteenBitCountIsRefused) {
  UniqueItemIdList longest = Song(kKindListSong, 1, std::u16string(32461, u'p'));
  EXPECT_EQ(WORD{AsMusicItem(longest.get())->cb}, 65534);
  LPITEMIDLIST item = nullptr;
  EXPECT_EQ(Items().MakeSong(kKindListSong, 1, std::u16string(32462, u'p'), &item), E_INVALIDARG);
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(Items().MakeItem(kKindSongList, nullptr, 1, std::string(40000, 'p').c_str(), &item),
            E_INVALIDARG);
}

TEST_F(MusicItems, LongTextsAreCutToTheirFieldsWithoutSplittingACharacter) {
  UniqueItemIdList longName = SubGroup(std::string(300, 'n'), 1, std::string(20, 'e'));
  EXPECT_EQ(ItemName(AsMusicItem(longName.get())), std::u16string(254, u'n'));
  EXPECT_EQ(ItemExtra(AsMusicItem(longName.get())), std::u16string(15, u'e'));

  // U+1F3B5 takes two units; where only one would fit, it is left out whole.
  UniqueItemIdList emoji = SubGroup(std::string(253, 'n') + "\xF0\x9F\x8E\xB5", 1,
                                    std::string(14, 'e') + "\xF0\x9F\x8E\xB5");
  EXPECT_EQ(ItemName(AsMusicItem(emoji.get())), std::u16string(253, u'n'));
  EXPECT_EQ(ItemExtra(AsMusicItem(emoji.get())), std::u16string(14, u'e'));
  UniqueItemIdList fits = SubGroup(std::string(252, 'n') + "\xF0\x9F\x8E\xB5", 1, "");
  EXPECT_EQ(ItemName(AsMusicItem(fits.get())), std::u16string(252, u'n') + u"\U0001F3B5");

  UniqueItemIdList longKey = Group("Composers", "composer_of_the_song", 9);
  EXPECT_EQ(ItemCategory(AsMusicItem(longKey.get())), u"composer_of_the");
}

TEST_F(MusicItems, OnlyTheCountAndTheSignatureMakeAnItemOurs) {
  UniqueItemIdList music = Top(kKindMusic);
  EXPECT_TRUE(Items().IsMusicItem(music.get(), false));

  // Another signature, or a count below 608, makes an item foreign however
  // much of the rest looks like ours.
  UniqueItemIdList other(Items().Copy(music.get()));
  AsMusicItem(other.get())->signature[0] = 'z';
  EXPECT_FALSE(Items().IsMusicItem(other.get(), false));
  UniqueItemIdList shortItem(Items().Create(605));
  std::memcpy(AsMusicItem(shortItem.get())->signature, "ZelVar", 7);
  EXPECT_EQ(WORD{AsMusicItem(shortItem.get())->cb}, 607);
  EXPECT_FALSE(Items().IsMusicItem(shortItem.get(), false));
  // 608 bytes with the signature and nothing else set are enough.
  UniqueItemIdList bare(Items().Create(606));
  std::memcpy(AsMusicItem(bare.get())->signature, "ZelVar", 7);
  EXPECT_TRUE(Items().IsMusicItem(bare.get(), false));

  UniqueItemIdList junction = JunctionList();
  UniqueItemIdList below = Join(junction.get(), music.get());
  EXPECT_FALSE(Items().IsMusicItem(below.get(), false));
  EXPECT_TRUE(Items().IsMusicItem(below.get(), true));
  UniqueItemIdList empty(Items().Copy(Items().Next(music.get())));
  EXPECT_FALSE(Items().IsMusicItem(empty.get(), false));
  EXPECT_FALSE(Items().IsMusicItem(empty.get(), true));
  EXPECT_FALSE(Items().IsMusicItem(nullptr, true));

  DWORD icon = 0;
  EXPECT_EQ(Items().GetIcon(below.get(), &icon), S_OK);
  EXPECT_EQ(icon, kIconMusic);
  EXPECT_EQ(Items().GetIcon(junction.get(), &icon), E_INVALIDARG);
  // An item of ours whose icon field names no resource.
  for (DWORD bad : {DWORD{0}, DWORD{0x10000}, DWORD{0x80000000}}) {
    AsMusicItem(Items().GetLast(below.get()))->icon = bad;
    EXPECT_EQ(Items().GetIcon(below.get(), &icon), E_INVALIDARG) << bad;
  }
}

TEST_F(MusicItems, ListsAreCopiedSplitJoinedAndWalkedWithTheirEndMark) {
  UniqueItemIdList junction = JunctionList();  // two items of 20 bytes
  UniqueItemIdList playLists = Top(kKindPlayLists);
  UniqueItemIdList path = Join(junction.get(), playLists.get());
  EXPECT_EQ(Items().GetSize(junction.get()), 42u);
  EXPECT_EQ(Items().GetSize(path.get()), 20u + 20u + 610u + 2u);
  EXPECT_EQ(Items().GetSize(nullptr), 0u);

  const auto* start = reinterpret_cast<const BYTE*>(path.get());
  LPITEMIDLIST second = Items().Next(path.get());
  EXPECT_EQ(reinterpret_cast<const BYTE*>(second), start + 20);
  LPITEMIDLIST last = Items().GetLast(path.get());
  EXPECT_EQ(reinterpret_cast<const BYTE*>(last), start + 40);
  EXPECT_EQ(Items().Next(Items().Next(last)), nullptr);
  EXPECT_EQ(Items().Next(nullptr), nullptr);
  EXPECT_EQ(Items().GetLast(nullptr), nullptr);
  EXPECT_EQ(Items().GetData(last), reinterpret_cast<const BYTE*>(last) + 2);

  UniqueItemIdList copy(Items().Copy(path.get()));
  EXPECT_EQ(BytesOf(copy.get()), BytesOf(path.get()));
  UniqueItemIdList parent(Items().CopyParent(path.get()));
  EXPECT_EQ(BytesOf(parent.get()), BytesOf(junction.get()));
  EXPECT_EQ(Items().CopyParent(playLists.get()), nullptr);
  EXPECT_EQ(Items().CopyParent(nullptr), nullptr);

  UniqueItemIdList onlyFirst = Join(junction.get(), nullptr);
  EXPECT_EQ(BytesOf(onlyFirst.get()), BytesOf(junction.get()));
  UniqueItemIdList onlySecond = Join(nullptr, playLists.get());
  EXPECT_EQ(BytesOf(onlySecond.get()), BytesOf(playLists.get()));
  EXPECT_EQ(Items().Concat(nullptr, nullptr), nullptr);
}

TEST_F(MusicItems, ForeignItemsSortFirstThenNamesWithoutCaseThenSignedIds) {
  UniqueItemIdList junction = JunctionList();
  UniqueItemIdList music = Top(kKindMusic);
  EXPECT_EQ(Order(junction.get(), music.get()), -1);
  EXPECT_EQ(Order(music.get(), junction.get()), 1);

  // Names decide without regard to case, also beyond ASCII.
  EXPECT_EQ(Order(SubGroup("abba", 9, "").get(), SubGroup("ABBA", 2, "").get()), 1);
  EXPECT_EQ(Order(SubGroup("Ärzte", 1, "").get(), SubGroup("äRZTE", 1, "").get()), 0);
  EXPECT_EQ(Order(SubGroup("Abba", 9, "").get(), SubGroup("Queen", 1, "").get()), -1);
  // Ids compare as signed numbers: the all-songs list's -1 comes first.
  EXPECT_EQ(Order(SubGroup("Songs", -1, "").get(), SubGroup("Songs", 1, "").get()), -1);

  // Two playlists of the same name: the lower id first.
  const int first = AddPlaylist("Party");
  const int second = AddPlaylist("party");
  LPITEMIDLIST a = nullptr;
  LPITEMIDLIST b = nullptr;
  ASSERT_EQ(Items().MakeItem(kKindPlayLists, nullptr, second, nullptr, &b), S_OK);
  ASSERT_EQ(Items().MakeItem(kKindPlayLists, nullptr, first, nullptr, &a), S_OK);
  UniqueItemIdList ownA(a);
  UniqueItemIdList ownB(b);
  EXPECT_EQ(Order(a, b), -1);
  EXPECT_EQ(Order(b, a), 1);
  EXPECT_EQ(Order(a, a), 0);
}

TEST_F(MusicItems, ListsCompareItemByItemAndAPrefixSortsFirst) {
  UniqueItemIdList music = Top(kKindMusic);
  UniqueItemIdList playLists = Top(kKindPlayLists);
  UniqueItemIdList artists = Join(music.get(), Group("Artists", "artist", 3).get());
  UniqueItemIdList albums = Join(music.get(), Group("Albums", "album", 2).get());
  EXPECT_EQ(Order(artists.get(), albums.get()), 1);
  EXPECT_EQ(Order(music.get(), artists.get()), -1);
  EXPECT_EQ(Order(artists.get(), music.get()), 1);
  EXPECT_EQ(Order(artists.get(), playLists.get()), -1);
  UniqueItemIdList again(Items().Copy(artists.get()));
  EXPECT_EQ(Order(artists.get(), again.get()), 0);
}

TEST_F(MusicItems, ForeignItemsCompareByTheirBytesAndOnlyListsOfOursAreEverEqual) {
  LPITEMIDLIST raw = nullptr;
  ASSERT_EQ(
      SHParseDisplayName(u"::{00000000-0000-0000-0000-000000000001}", nullptr, &raw, 0, nullptr),
      S_OK);
  UniqueItemIdList low(raw);
  ASSERT_EQ(
      SHParseDisplayName(u"::{00000000-0000-0000-0000-000000000002}", nullptr, &raw, 0, nullptr),
      S_OK);
  UniqueItemIdList high(raw);
  EXPECT_EQ(Order(low.get(), high.get()), -1);
  EXPECT_EQ(Order(high.get(), low.get()), 1);
  // A list outside the folder never compares equal, not even to itself.
  EXPECT_EQ(Order(low.get(), low.get()), 1);

  UniqueItemIdList music = Top(kKindMusic);
  UniqueItemIdList lowMusic = Join(low.get(), music.get());
  UniqueItemIdList highMusic = Join(high.get(), music.get());
  EXPECT_EQ(Order(lowMusic.get(), highMusic.get()), -1);
}

TEST_F(MusicItems, MakeItemBuildsChildrenOfEachParentKindFromTheDatabase) {
  AddSong("Dancing Queen", "Abba", "Arrival", "Pop");
  LPITEMIDLIST item = nullptr;
  ASSERT_EQ(Items().MakeItem(kKindRoot, nullptr, 1, nullptr, &item), S_OK);
  UniqueItemIdList playLists(item);
  EXPECT_EQ(DWORD{AsMusicItem(item)->kind}, kKindPlayLists);
  EXPECT_EQ(Items().MakeItem(kKindRoot, nullptr, 2, nullptr, &item), E_INVALIDARG);

  ASSERT_EQ(Items().MakeItem(kKindMusic, nullptr, 3, nullptr, &item), S_OK);
  UniqueItemIdList artists(item);
  EXPECT_EQ(FieldsOf(item), (ItemFields{2, "Artists", "artist", 3, 0xA0000000, 208}));
  ASSERT_EQ(Items().MakeItem(kKindMusic, nullptr, -1, nullptr, &item), S_OK);
  UniqueItemIdList allSongs(item);
  EXPECT_EQ(FieldsOf(item), (ItemFields{3, "Songs", "Songs", -1, 0x20000100, 204}));

  ComPtr<IShellFolder> artistFolder = OpenPath({u"Music", u"Artists"});
  ASSERT_TRUE(artistFolder);
  std::vector<UniqueItemIdList> abba = Children(artistFolder.Get());
  ASSERT_EQ(abba.size(), 1u);
  const int abbaId = AsMusicItem(abba[0].get())->id;
  ASSERT_EQ(Items().MakeItem(kKindGroup, AsMusicItem(artists.get()), abbaId, nullptr, &item), S_OK);
  UniqueItemIdList subGroup(item);
  EXPECT_EQ(FieldsOf(item), FieldsOf(abba[0].get()));

  EXPECT_EQ(Items().MakeItem(kKindGroup, nullptr, abbaId, nullptr, &item), E_INVALIDARG);
  EXPECT_EQ(Items().MakeItem(kKindMusic, nullptr, 99, nullptr, &item), E_FAIL);
  EXPECT_EQ(Items().MakeItem(kKindPlayLists, nullptr, 99, nullptr, &item), E_FAIL);
  EXPECT_EQ(Items().MakeItem(kKindListSong, nullptr, 1, "/a.mp3", &item), E_INVALIDARG);
  EXPECT_EQ(item, nullptr);
}

}  // namespace
}  // namespace cobrell::testing
