// The music folder tests' fixture and shorthands.
#include "shellfolder/tests/music_folder_fixture.h"

#include "platform/base/codepage.h"
#include "platform/base/string_compare.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/music_db.h"

namespace cobrell::testing {

UniqueItemIdList JunctionList() {
  LPITEMIDLIST list = nullptr;
  const std::u16string name =
      std::u16string(kMyComputerParsingName) + u"\\::{49C49A94-996D-11D3-8830-5254ABDE229C}";
  EXPECT_EQ(SHParseDisplayName(name.c_str(), nullptr, &list, 0, nullptr), S_OK);
  return UniqueItemIdList(list);
}

ComPtr<IShellFolder> MusicFolderTest::OpenJunction() {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(DllGetClassObject(CLSID_Mp3DbShellFolder, IID_IClassFactory, factory.OutVoid()), S_OK);
  if (!factory) return nullptr;
  ComPtr<IPersistFolder> persist;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPersistFolder, persist.OutVoid()), S_OK);
  if (!persist) return nullptr;
  UniqueItemIdList junction = JunctionList();
  EXPECT_EQ(persist->Initialize(junction.get()), S_OK);
  ComPtr<IShellFolder> folder;
  EXPECT_EQ(persist.As(IID_IShellFolder, &folder), S_OK);
  return folder;
}

ComPtr<IShellFolder> MusicFolderTest::OpenPath(const std::vector<std::u16string>& names) {
  ComPtr<IShellFolder> folder = OpenJunction();
  for (const std::u16string& name : names) {
    if (!folder) return nullptr;
    UniqueItemIdList child = FindChild(folder.Get(), name);
    EXPECT_NE(child, nullptr) << "no child named " << WideToAnsi(name);
    if (!child) return nullptr;
    ComPtr<IShellFolder> next;
    EXPECT_EQ(folder->BindToObject(child.get(), nullptr, IID_IShellFolder, next.OutVoid()), S_OK);
    folder = next;
  }
  return folder;
}

std::vector<UniqueItemIdList> Children(IShellFolder* folder, ULONG batch) {
  std::vector<UniqueItemIdList> children;
  ComPtr<IEnumIDList> enumerator;
  EXPECT_EQ(folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, enumerator.Out()),
            S_OK);
  if (!enumerator) return children;
  std::vector<LPITEMIDLIST> items(batch);
  ULONG fetched = 0;
  while (enumerator->Next(batch, items.data(), &fetched) == S_OK) {
    for (ULONG i = 0; i < fetched; ++i) children.emplace_back(items[i]);
  }
  return children;
}

UniqueItemIdList FindChild(IShellFolder* folder, const std::u16string& name) {
  for (UniqueItemIdList& child : Children(folder)) {
    const std::u16string childName = DisplayName(folder, child.get(), SHGDN_NORMAL);
    if (CompareStringOrdinal(childName.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
      return std::move(child);
  }
  return nullptr;
}

std::u16string DisplayName(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags,
                           HRESULT* result) {
  STRRET name{};
  const HRESULT got = folder->GetDisplayNameOf(item, flags, &name);
  if (result != nullptr) *result = got;
  if (FAILED(got)) return {};
  char16_t buffer[1024];
  StrRetToBufW(&name, item, buffer, 1024);
  return buffer;
}

ItemFields FieldsOf(LPCITEMIDLIST list) {
  const MusicItem* item = AsMusicItem(list);
  return {item->kind, WideToAnsi(ItemName(item)), WideToAnsi(ItemCategory(item)),
          item->id,   item->attributes,           item->icon};
}

void PrintTo(const ItemFields& fields, std::ostream* out) {
  *out << "{kind " << fields.kind << ", \"" << fields.name << "\", category \"" << fields.category
       << "\", id " << fields.id << ", attributes 0x" << std::hex << fields.attributes << std::dec
       << ", icon " << fields.icon << "}";
}

int AddSong(const std::string& title, const std::string& artist, const std::string& album,
            const std::string& genre) {
  qap::musicdb::testing::Tags tags;
  tags.title = title;
  tags.artist = artist;
  tags.album = album;
  tags.genre = genre;
  return qap::musicdb::testing::AddSong("/music/" + artist + "/" + title + ".mp3", tags, 60);
}

int AddPlaylist(const std::string& name) {
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  return playlists && playlists->Open() ? playlists->CreatePlaylist(name.c_str()) : 0;
}

}  // namespace cobrell::testing
