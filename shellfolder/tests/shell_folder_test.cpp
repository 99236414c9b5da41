// The folder object as the shell drives it: names, attributes, icons,
// binding, order, its place, and when the module may be unloaded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/base/codepage.h"
#include "platform/shell/extract_icon.h"
#include "platform/shell/shell_view.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/tests/music_folder_fixture.h"

namespace cobrell::testing {
namespace {

using ShellFolder = MusicFolderTest;

std::string ModuleFile() {
  return (std::filesystem::canonical(std::getenv("QAP_BIN_DIR")) / "libCobrell.so").string();
}

TEST_F(ShellFolder, DisplayNamesAreNamesAndParsingNamesRunFromTheJunction) {
  AddPlaylist("Party");
  ComPtr<IShellFolder> junction = OpenJunction();
  ComPtr<IShellFolder> playLists = OpenPath({u"Play Lists"});
  ASSERT_TRUE(junction && playLists);
  UniqueItemIdList music = FindChild(junction.Get(), u"Music");
  UniqueItemIdList party = FindChild(playLists.Get(), u"Party");
  ASSERT_TRUE(music && party);

  EXPECT_EQ(DisplayName(junction.Get(), music.get(), SHGDN_NORMAL), u"Music");
  EXPECT_EQ(DisplayName(junction.Get(), music.get(), SHGDN_FORPARSING),
            u"QAP Music Jukebox\\Music");
  EXPECT_EQ(DisplayName(playLists.Get(), party.get(), SHGDN_FORPARSING),
            u"QAP Music Jukebox\\Play Lists\\Party");
  EXPECT_EQ(DisplayName(playLists.Get(), party.get(), SHGDN_FORADDRESSBAR),
            u"QAP Music Jukebox\\Play Lists\\Party");
  EXPECT_EQ(
      DisplayName(playLists.Get(), party.get(), SHGDN_FORADDRESSBAR | SHGDN_INCLUDE_NONFILESYS),
      u"Party");

  // A list two deep names the folder in between too.
  UniqueItemIdList playListsItem = FindChild(junction.Get(), u"Play Lists");
  UniqueItemIdList deep(TheItemIdManager().Concat(playListsItem.get(), party.get()));
  EXPECT_EQ(DisplayName(junction.Get(), deep.get(), SHGDN_FORPARSING),
            u"QAP Music Jukebox\\Play Lists\\Party");

  HRESULT result = S_OK;
  UniqueItemIdList junctionList = JunctionList();
  EXPECT_EQ(DisplayName(junction.Get(), junctionList.get(), SHGDN_NORMAL, &result), u"");
  EXPECT_EQ(result, E_INVALIDARG);
  STRRET name{};
  EXPECT_EQ(junction->GetDisplayNameOf(nullptr, SHGDN_NORMAL, &name), E_INVALIDARG);
}

TEST_F(ShellFolder, AttributesComeFromTheFirstItemOnlyWithinTheCallersMask) {
  AddPlaylist("Party");
  ComPtr<IShellFolder> junction = OpenJunction();
  ComPtr<IShellFolder> playLists = OpenPath({u"Play Lists"});
  ASSERT_TRUE(junction && playLists);
  UniqueItemIdList party = FindChild(playLists.Get(), u"Party");
  UniqueItemIdList music = FindChild(junction.Get(), u"Music");

  LPCITEMIDLIST both[] = {party.get(), music.get()};
  SFGAOF attributes = 0xFFFFFFFF;
  EXPECT_EQ(playLists->GetAttributesOf(2, both, &attributes), S_OK);
  EXPECT_EQ(attributes, 0x20000131u | SFGAO_VALIDATE);
  attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
  EXPECT_EQ(playLists->GetAttributesOf(2, both, &attributes), S_OK);
  EXPECT_EQ(attributes, SFGAO_FOLDER);

  UniqueItemIdList junctionList = JunctionList();
  LPCITEMIDLIST foreign[] = {junctionList.get()};
  EXPECT_EQ(playLists->GetAttributesOf(1, foreign, &attributes), E_INVALIDARG);
  EXPECT_EQ(playLists->GetAttributesOf(0, nullptr, &attributes), E_INVALIDARG);
}

// The only test that asks for icon locations: the module remembers which it
// has answered for the life of the process.
TEST_F(ShellFolder, IconLocationIsThisModuleAndTheNegatedIdNotCachedTheFirstTimeOnly) {
  AddPlaylist("Party");
  ComPtr<IShellFolder> playLists = OpenPath({u"Play Lists"});
  ASSERT_TRUE(playLists);
  UniqueItemIdList party = FindChild(playLists.Get(), u"Party");
  LPCITEMIDLIST one[] = {party.get()};
  ComPtr<IExtractIconW> wide;
  ASSERT_EQ(playLists->GetUIObjectOf(nullptr, 1, one, IID_IExtractIconW, nullptr, wide.OutVoid()),
            S_OK);

  char16_t file[1024];
  int index = 0;
  UINT flags = 99;
  ASSERT_EQ(wide->GetIconLocation(GIL_FORSHELL, file, 1024, &index, &flags), S_OK);
  EXPECT_EQ(WideToAnsi(file), ModuleFile());
  EXPECT_EQ(index, -209);
  EXPECT_EQ(flags, GIL_DONTCACHE);
  ASSERT_EQ(wide->GetIconLocation(GIL_FORSHELL, file, 1024, &index, &flags), S_OK);
  EXPECT_EQ(flags, 0u);
  ASSERT_EQ(wide->GetIconLocation(GIL_OPENICON, file, 1024, &index, &flags), S_OK);
  EXPECT_EQ(flags, GIL_DONTCACHE);
  // A buffer too small for the whole path is not filled with part of it.
  EXPECT_EQ(wide->GetIconLocation(0, file, 8, &index, &flags), E_INVALIDARG);

  ComPtr<IExtractIconA> narrow;
  ASSERT_EQ(wide.As(IID_IExtractIconA, &narrow), S_OK);
  char ansi[1024];
  ASSERT_EQ(narrow->GetIconLocation(0, ansi, 1024, &index, &flags), S_OK);
  EXPECT_EQ(std::string(ansi), ModuleFile());
  EXPECT_EQ(flags, GIL_DONTCACHE);
  ASSERT_EQ(narrow->GetIconLocation(0, ansi, 1024, &index, &flags), S_OK);
  EXPECT_EQ(flags, 0u);
  EXPECT_EQ(narrow->Extract(ansi, 0, nullptr, nullptr, 0), S_FALSE);
  EXPECT_EQ(wide->Extract(file, 0, nullptr, nullptr, 0), S_FALSE);

  // One item at a time, and only ours.
  LPCITEMIDLIST two[] = {party.get(), party.get()};
  ComPtr<IExtractIconW> none;
  EXPECT_EQ(playLists->GetUIObjectOf(nullptr, 2, two, IID_IExtractIconW, nullptr, none.OutVoid()),
            E_NOINTERFACE);
  UniqueItemIdList junctionList = JunctionList();
  LPCITEMIDLIST foreign[] = {junctionList.get()};
  EXPECT_EQ(
      playLists->GetUIObjectOf(nullptr, 1, foreign, IID_IExtractIconW, nullptr, none.OutVoid()),
      E_INVALIDARG);
}

TEST_F(ShellFolder, BindingMakesAFolderOfTheJoinedListAndOnlyAsAShellFolder) {
  ComPtr<IShellFolder> junction = OpenJunction();
  ASSERT_TRUE(junction);
  UniqueItemIdList music = FindChild(junction.Get(), u"Music");
  ComPtr<IPersistFolder2> child;
  EXPECT_EQ(junction->BindToObject(music.get(), nullptr, IID_IPersistFolder2, child.OutVoid()),
            E_NOINTERFACE);
  EXPECT_FALSE(child);
  ComPtr<IShellFolder> bound;
  ASSERT_EQ(junction->BindToObject(music.get(), nullptr, IID_IShellFolder, bound.OutVoid()), S_OK);
  ASSERT_EQ(bound.As(IID_IPersistFolder2, &child), S_OK);

  LPITEMIDLIST current = nullptr;
  ASSERT_EQ(child->GetCurFolder(&current), S_OK);
  UniqueItemIdList currentOwner(current);
  UniqueItemIdList junctionList = JunctionList();
  UniqueItemIdList expected(TheItemIdManager().Concat(junctionList.get(), music.get()));
  ASSERT_EQ(TheItemIdManager().GetSize(current), TheItemIdManager().GetSize(expected.get()));
  EXPECT_EQ(std::memcmp(current, expected.get(), TheItemIdManager().GetSize(current)), 0);
  CLSID classId{};
  EXPECT_EQ(child->GetClassID(&classId), S_OK);
  EXPECT_EQ(classId, CLSID_Mp3DbShellFolder);
  EXPECT_EQ(junction->BindToObject(nullptr, nullptr, IID_IShellFolder, bound.OutVoid()),
            E_INVALIDARG);
}

TEST_F(ShellFolder, InitializeReplacesThePlaceAndAFolderWithoutOneHasNone) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_Mp3DbShellFolder, IID_IClassFactory, factory.OutVoid()), S_OK);
  ComPtr<IPersistFolder2> folder;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersistFolder2, folder.OutVoid()), S_OK);
  ITEMIDLIST placeholder{};
  LPITEMIDLIST current = &placeholder;
  EXPECT_EQ(folder->GetCurFolder(&current), S_FALSE);
  EXPECT_EQ(current, nullptr);

  // Initialised at Music, then again at the junction: it lists the junction.
  UniqueItemIdList junctionList = JunctionList();
  LPITEMIDLIST musicItem = nullptr;
  ASSERT_EQ(TheItemIdManager().MakeTopFolder(kKindMusic, &musicItem), S_OK);
  UniqueItemIdList music(TheItemIdManager().Concat(junctionList.get(), musicItem));
  ILFree(musicItem);
  EXPECT_EQ(folder->Initialize(music.get()), S_OK);
  EXPECT_EQ(folder->Initialize(junctionList.get()), S_OK);
  ComPtr<IShellFolder> shellFolder;
  ASSERT_EQ(folder.As(IID_IShellFolder, &shellFolder), S_OK);
  EXPECT_EQ(Children(shellFolder.Get()).size(), 2u);
}

TEST_F(ShellFolder, CompareIdsCarriesTheSignedOrderInTheLowSixteenBits) {
  ComPtr<IShellFolder> junction = OpenJunction();
  ASSERT_TRUE(junction);
  std::vector<UniqueItemIdList> top = Children(junction.Get());
  ASSERT_EQ(top.size(), 2u);
  // The column asked for makes no difference.
  for (LPARAM column : {0, 3}) {
    EXPECT_EQ(junction->CompareIDs(column, top[0].get(), top[1].get()), 0x0000FFFF);
    EXPECT_EQ(junction->CompareIDs(column, top[1].get(), top[0].get()), 1);
    EXPECT_EQ(junction->CompareIDs(column, top[0].get(), top[0].get()), 0);
  }
  EXPECT_EQ(CompareResultOrder(junction->CompareIDs(0, top[0].get(), top[1].get())), -1);
  EXPECT_EQ(junction->CompareIDs(0, nullptr, top[1].get()), E_INVALIDARG);
}

TEST_F(ShellFolder, TheModuleMayUnloadOnlyWithNoObjectAndNoLockAlive) {
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_Mp3DbShellFolder, IID_IClassFactory, factory.OutVoid()), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  ComPtr<IShellFolder> folder;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellFolder, folder.OutVoid()), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  folder.Reset();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  ASSERT_EQ(DllGetClassObject(CLSID_Mp3DbShellFolder, IID_IClassFactory, factory.OutVoid()), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace cobrell::testing
