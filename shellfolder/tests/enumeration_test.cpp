// Listing a music folder's children through IEnumIDList: what each level
// lists, moving through the list, and what a failure leaves behind.
#include <gtest/gtest.h>

#include <vector>

#include "platform/base/codepage.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/tests/music_folder_fixture.h"

namespace cobrell::testing {
namespace {

std::vector<ItemFields> FieldsOfAll(const std::vector<UniqueItemIdList>& items) {
  std::vector<ItemFields> fields;
  for (const UniqueItemIdList& item : items) fields.push_back(FieldsOf(item.get()));
  return fields;
}

ComPtr<IEnumIDList> Enumerator(IShellFolder* folder) {
  ComPtr<IEnumIDList> enumerator;
  EXPECT_EQ(folder->EnumObjects(nullptr, SHCONTF_FOLDERS, enumerator.Out()), S_OK);
  return enumerator;
}

// Up to wanted items from one Next call, with its result.
std::vector<UniqueItemIdList> Take(IEnumIDList* enumerator, ULONG wanted, HRESULT* result) {
  std::vector<LPITEMIDLIST> raw(wanted, nullptr);
  ULONG fetched = 99;
  *result = enumerator->Next(wanted, raw.data(), &fetched);
  std::vector<UniqueItemIdList> items;
  for (ULONG i = 0; i < fetched && i < wanted; ++i) items.emplace_back(raw[i]);
  if (FAILED(*result)) {
    EXPECT_EQ(fetched, 0u);
  }
  return items;
}

std::vector<std::string> Names(const std::vector<UniqueItemIdList>& items) {
  std::vector<std::string> names;
  for (const UniqueItemIdList& item : items) names.push_back(FieldsOf(item.get()).name);
  return names;
}

class Enumeration : public MusicFolderTest {
 protected:
  void AddLibrary() {
    AddSong("Dancing Queen", "Abba", "Arrival", "Pop");
    AddSong("Bohemian Rhapsody", "Queen", "A Night at the Opera", "Rock");
    AddSong("Waterloo", "Abba", "Waterloo", "Pop");
    AddSong("Untitled", "", "", "");
  }
};

TEST_F(Enumeration, TheJunctionListsMusicThenPlayListsEvenWithAnEmptyDatabase) {
  ComPtr<IShellFolder> junction = OpenJunction();
  ASSERT_TRUE(junction);
  EXPECT_EQ(FieldsOfAll(Children(junction.Get(), 1)),
            (std::vector<ItemFields>{{1, "Music", "Groups", 0, 0xA0000100, 202},
                                     {4, "Play Lists", "Playlists", 0, 0xA0000100, 203}}));
}

TEST_F(Enumeration, MusicListsTheAllSongsListFirstAndThenEachGroup) {
  ComPtr<IShellFolder> music = OpenPath({u"Music"});
  ASSERT_TRUE(music);
  EXPECT_EQ(FieldsOfAll(Children(music.Get())),
            (std::vector<ItemFields>{{3, "Songs", "Songs", -1, 0x20000100, 204},
                                     {2, "Albums", "album", 2, 0xA0000000, 208},
                                     {2, "Artists", "artist", 3, 0xA0000000, 208},
                                     {2, "Genres", "genre", 4, 0xA0000000, 208}}));
}

TEST_F(Enumeration, AGroupListsItsSubGroupsAsSongListsWithTheirExtraText) {
  AddLibrary();
  ComPtr<IShellFolder> artists = OpenPath({u"Music", u"Artists"});
  ASSERT_TRUE(artists);
  std::vector<UniqueItemIdList> children = Children(artists.Get(), 2);
  EXPECT_EQ(Names(children), (std::vector<std::string>{"Abba", "Queen", "Unknown Artist"}));
  for (const UniqueItemIdList& child : children) {
    SCOPED_TRACE(FieldsOf(child.get()).name);
    EXPECT_EQ(FieldsOf(child.get()).kind, kKindSongList);
    EXPECT_EQ(FieldsOf(child.get()).category, "Songs");
    EXPECT_EQ(FieldsOf(child.get()).icon, kIconSubGroup);
    EXPECT_EQ(ItemExtra(AsMusicItem(child.get())), u"artist");
  }
  ComPtr<IShellFolder> genres = OpenPath({u"Music", u"Genres"});
  ASSERT_TRUE(genres);
  EXPECT_EQ(Names(Children(genres.Get())),
            (std::vector<std::string>{"Pop", "Rock", "Unknown Genre"}));
}

TEST_F(Enumeration, PlayListsListsEveryPlaylistWithItsId) {
  const int party = AddPlaylist("Party");
  const int quiet = AddPlaylist("Quiet Evening");
  ComPtr<IShellFolder> playLists = OpenPath({u"Play Lists"});
  ASSERT_TRUE(playLists);
  EXPECT_EQ(FieldsOfAll(Children(playLists.Get())),
            (std::vector<ItemFields>{{5, "Party", "Playlists", party, 0x20000131, 209},
                                     {5, "Quiet Evening", "Playlists", quiet, 0x20000131, 209}}));
}

TEST_F(Enumeration, SongListsAndPlaylistsRefuseToListTheirSongsAsItems) {
  AddLibrary();
  AddPlaylist("Party");
  for (const auto& path : std::vector<std::vector<std::u16string>>{
           {u"Music", u"Songs"}, {u"Music", u"Artists", u"Abba"}, {u"Play Lists", u"Party"}}) {
    SCOPED_TRACE(WideToAnsi(path.back()));
    ComPtr<IShellFolder> folder = OpenPath(path);
    ASSERT_TRUE(folder);
    ComPtr<IEnumIDList> enumerator;
    EXPECT_EQ(folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, enumerator.Out()), E_INVALIDARG);
    EXPECT_FALSE(enumerator);
  }
}

TEST_F(Enumeration, SkipResetAndCloneMoveThroughTheSameChildren) {
  ComPtr<IShellFolder> junction = OpenJunction();
  ASSERT_TRUE(junction);
  ComPtr<IEnumIDList> top = Enumerator(junction.Get());
  ASSERT_TRUE(top);
  EXPECT_EQ(top->Skip(1), S_OK);
  HRESULT result = E_FAIL;
  EXPECT_EQ(Names(Take(top.Get(), 5, &result)), (std::vector<std::string>{"Play Lists"}));
  EXPECT_EQ(result, S_OK);
  EXPECT_TRUE(Take(top.Get(), 5, &result).empty());
  EXPECT_EQ(result, S_FALSE);
  EXPECT_EQ(top->Reset(), S_OK);
  EXPECT_EQ(top->Skip(7), S_FALSE);
  EXPECT_TRUE(Take(top.Get(), 1, &result).empty());

  ComPtr<IShellFolder> music = OpenPath({u"Music"});
  ASSERT_TRUE(music);
  ComPtr<IEnumIDList> groups = Enumerator(music.Get());
  ASSERT_TRUE(groups);
  EXPECT_EQ(Names(Take(groups.Get(), 2, &result)), (std::vector<std::string>{"Songs", "Albums"}));
  ComPtr<IEnumIDList> clone;
  ASSERT_EQ(groups->Clone(clone.Out()), S_OK);
  EXPECT_EQ(Names(Take(clone.Get(), 5, &result)), (std::vector<std::string>{"Artists", "Genres"}));
  EXPECT_EQ(Names(Take(groups.Get(), 1, &result)), (std::vector<std::string>{"Artists"}));
  EXPECT_EQ(clone->Reset(), S_OK);
  EXPECT_EQ(Names(Take(clone.Get(), 1, &result)), (std::vector<std::string>{"Songs"}));
}

TEST_F(Enumeration, AnAllocationFailureFreesWhatTheCallBuilt) {
  AddLibrary();
  ComPtr<IShellFolder> music = OpenPath({u"Music"});
  ComPtr<IShellFolder> artists = OpenPath({u"Music", u"Artists"});
  ASSERT_TRUE(music && artists);
  ComPtr<IEnumIDList> groups = Enumerator(music.Get());
  ComPtr<IEnumIDList> subGroups = Enumerator(artists.Get());
  ASSERT_TRUE(groups && subGroups);
  const size_t before = m_allocator.Outstanding();

  m_allocator.FailAfter(2);
  HRESULT result = S_OK;
  EXPECT_TRUE(Take(groups.Get(), 4, &result).empty());
  EXPECT_EQ(result, E_OUTOFMEMORY);
  EXPECT_EQ(m_allocator.Outstanding(), before);
  m_allocator.FailAfter(1);
  EXPECT_TRUE(Take(subGroups.Get(), 3, &result).empty());
  EXPECT_EQ(result, E_OUTOFMEMORY);
  EXPECT_EQ(m_allocator.Outstanding(), before);
  m_allocator.AllowAllocations();

  // The groups can be asked for again; the sub-groups' list is over.
  EXPECT_EQ(Take(groups.Get(), 4, &result).size(), 4u);
  EXPECT_TRUE(Take(subGroups.Get(), 3, &result).empty());
  EXPECT_EQ(result, S_FALSE);
}

TEST_F(Enumeration, APlaylistThatCannotBeLoadedFailsTheCallAndFreesWhatItBuilt) {
  AddPlaylist("Party");
  AddPlaylist("Road Trip");
  ComPtr<IShellFolder> playLists = OpenPath({u"Play Lists"});
  ASSERT_TRUE(playLists);
  ComPtr<IEnumIDList> enumerator = Enumerator(playLists.Get());
  ASSERT_TRUE(enumerator);
  // Gone from the database after the enumerator read the list.
  PlaylistContainerPtr container(CreatePlayListContainer(0, "", TRUE));
  ASSERT_TRUE(container->Open() && container->DeletePlaylist("Road Trip"));

  HRESULT result = S_OK;
  EXPECT_TRUE(Take(enumerator.Get(), 2, &result).empty());
  EXPECT_EQ(result, E_FAIL);
}

TEST_F(Enumeration, AnEnumeratorFromItsClassObjectListsTheJunction) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_EnumIDList, IID_IClassFactory, factory.OutVoid()), S_OK);
  ComPtr<IEnumIDList> enumerator;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IEnumIDList, enumerator.OutVoid()), S_OK);
  HRESULT result = S_OK;
  EXPECT_EQ(Names(Take(enumerator.Get(), 3, &result)),
            (std::vector<std::string>{"Music", "Play Lists"}));
}

}  // namespace
}  // namespace cobrell::testing
