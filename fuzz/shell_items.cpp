// Fuzz target: item identifier lists handed to the music folder by the
// shell, whose items may be anyone's: compared, named, asked for their
// attributes and icon, and bound to, the bound folder then listed as the
// shell lists a folder it opens. The shell only ever hands lists whose
// counts chain to an end mark inside the block, so the input is cut into
// such a list; everything inside the items is the input's. Every list the
// folder hands out must go back to the shell's allocator.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/counting_malloc.h"
#include "platform/shell/extract_icon.h"
#include "platform/shell/shell_folder.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/music_db.h"
#include "suite/musicdb/tests/music_db_test_support.h"

namespace {

// A library with groups, sub-groups and playlists to reach.
void FillLibrary() {
  using qap::musicdb::testing::AddSong;
  using qap::musicdb::testing::Tags;
  AddSong("/music/Ann/One.mp3", Tags{"One", "Ann", "First", "Rock", 1, 1999}, 60);
  AddSong("/music/Ann/Two.mp3", Tags{"Two", "Ann", "First", "Rock", 2, 1999}, 61);
  AddSong("/music/Bob/Three.wma", Tags{"Three", "Bob", "Other", "Jazz", 1, 2004}, 62);
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  if (!playlists || !playlists->Open() || playlists->CreatePlaylist("Evening") == 0)
    qap::fuzz::Fail("the library's playlist cannot be made");
}

ComPtr<IShellFolder> OpenJunction() {
  ComPtr<IClassFactory> factory;
  ComPtr<IPersistFolder> persist;
  LPITEMIDLIST junction = nullptr;
  const std::u16string name =
      std::u16string(kMyComputerParsingName) + u"\\::{49C49A94-996D-11D3-8830-5254ABDE229C}";
  ComPtr<IShellFolder> folder;
  if (DllGetClassObject(CLSID_Mp3DbShellFolder, IID_IClassFactory, factory.OutVoid()) != S_OK ||
      factory->CreateInstance(nullptr, IID_IPersistFolder, persist.OutVoid()) != S_OK ||
      SHParseDisplayName(name.c_str(), nullptr, &junction, 0, nullptr) != S_OK ||
      persist->Initialize(junction) != S_OK || persist.As(IID_IShellFolder, &folder) != S_OK) {
    qap::fuzz::Fail("the music folder cannot be opened");
  }
  ILFree(junction);
  return folder;
}

// The bytes as a list the shell could hand over: each count chains to the
// next item, a count too small to be an item ends the list, and one that
// runs past the bytes is cut to them.
std::vector<BYTE> AsList(std::string_view bytes) {
  std::vector<BYTE> list(bytes.begin(), bytes.end());
  size_t at = 0;
  while (at + 2 <= list.size()) {
    WORD count = static_cast<WORD>(list[at] | list[at + 1] << 8);
    if (count < 2) break;
    if (count > list.size() - at) {
      count = static_cast<WORD>(list.size() - at);
      list[at] = static_cast<BYTE>(count & 0xFF);
      list[at + 1] = static_cast<BYTE>(count >> 8);
    }
    at += count;
  }
  list.resize(at + 2);
  list[at] = 0;
  list[at + 1] = 0;
  return list;
}

LPCITEMIDLIST Ids(const std::vector<BYTE>& list) {
  return reinterpret_cast<LPCITEMIDLIST>(list.data());
}

void Name(IShellFolder* folder, LPCITEMIDLIST list) {
  for (SHGDNF flags :
       {SHGDN_NORMAL, SHGDN_INFOLDER, SHGDN_FORPARSING, SHGDN_FORADDRESSBAR | SHGDN_FORPARSING}) {
    STRRET name{};
    if (folder->GetDisplayNameOf(list, flags, &name) != S_OK) continue;
    char16_t text[MAX_PATH];
    StrRetToBufW(&name, list, text, MAX_PATH);
  }
}

void Icon(IShellFolder* folder, LPCITEMIDLIST list) {
  ComPtr<IExtractIconW> icon;
  if (folder->GetUIObjectOf(nullptr, 1, &list, IID_IExtractIconW, nullptr, icon.OutVoid()) != S_OK)
    return;
  char16_t file[MAX_PATH];
  int index = 0;
  UINT flags = 0;
  icon->GetIconLocation(GIL_FORSHELL, file, MAX_PATH, &index, &flags);
}

// What the shell does with a folder it opens: every child, named and
// compared with the first.
void List(IShellFolder* folder) {
  ComPtr<IEnumIDList> enumerator;
  if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, enumerator.Out()) != S_OK)
    return;
  LPITEMIDLIST items[16];
  ULONG fetched = 0;
  while (enumerator->Next(16, items, &fetched) == S_OK) {
    for (ULONG i = 0; i < fetched; ++i) {
      Name(folder, items[i]);
      folder->CompareIDs(0, items[0], items[i]);
    }
    for (ULONG i = 0; i < fetched; ++i) ILFree(items[i]);
  }
}

// The seeds: relative lists of real items one to three levels below the
// junction, each with the next one as the second list.
void WriteSeeds(IShellFolder* junction, const std::string& folder) {
  std::vector<std::vector<BYTE>> paths;
  auto walk = [&](auto& self, IShellFolder* folder, const std::vector<BYTE>& above, int depth) {
    ComPtr<IEnumIDList> enumerator;
    if (depth == 3 || folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS,
                                          enumerator.Out()) != S_OK)
      return;
    LPITEMIDLIST item = nullptr;
    ULONG fetched = 0;
    while (enumerator->Next(1, &item, &fetched) == S_OK) {
      std::vector<BYTE> path = above;
      const auto* bytes = reinterpret_cast<const BYTE*>(item);
      path.insert(path.end(), bytes, bytes + item->mkid.cb);
      paths.push_back(path);
      ComPtr<IShellFolder> child;
      if (folder->BindToObject(item, nullptr, IID_IShellFolder, child.OutVoid()) == S_OK)
        self(self, child.Get(), path, depth + 1);
      ILFree(item);
    }
  };
  walk(walk, junction, {}, 0);
  for (size_t i = 0; i < paths.size(); ++i) {
    std::vector<BYTE> first = paths[i];
    first.insert(first.end(), 2, 0);
    std::string seed{static_cast<char>(first.size() & 0xFF), static_cast<char>(first.size() >> 8)};
    seed.append(first.begin(), first.end());
    const std::vector<BYTE>& second = paths[(i + 1) % paths.size()];
    seed.append(second.begin(), second.end());
    qap::fuzz::WriteInput("seed", seed);
    std::filesystem::copy_file(qap::fuzz::Scratch().File("seed"),
                               folder + "/list" + std::to_string(i),
                               std::filesystem::copy_options::overwrite_existing);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CountingMalloc* allocator = [] {
    FillLibrary();
    return new CountingMalloc;
  }();
  static ComPtr<IShellFolder> junction = OpenJunction();
  // QAP_FUZZ_WRITE_SEEDS=FOLDER fuzz_shell_items -runs=1 writes the starting inputs.
  if (const char* seeds = std::getenv("QAP_FUZZ_WRITE_SEEDS")) {
    WriteSeeds(junction.Get(), seeds);
    std::_Exit(0);
  }
  // The first two bytes say how long the first list is.
  if (size < 2) return 0;
  // The junction keeps its own list.
  const std::size_t held = allocator->Outstanding();
  const std::string_view input = qap::fuzz::Bytes(data + 2, size - 2);
  const size_t split = std::min<size_t>(input.size(), data[0] | data[1] << 8);
  const std::vector<BYTE> first = AsList(input.substr(0, split));
  const std::vector<BYTE> second = AsList(input.substr(split));

  junction->CompareIDs(0, Ids(first), Ids(second));
  junction->CompareIDs(0, Ids(second), Ids(first));
  for (const std::vector<BYTE>* list : {&first, &second}) {
    LPCITEMIDLIST ids = Ids(*list);
    SFGAOF attributes = ~SFGAOF{0};
    junction->GetAttributesOf(1, &ids, &attributes);
    Name(junction.Get(), ids);
    Icon(junction.Get(), ids);
    ComPtr<IShellFolder> child;
    if (junction->BindToObject(ids, nullptr, IID_IShellFolder, child.OutVoid()) == S_OK) {
      List(child.Get());
      Name(child.Get(), Ids(second));
      child->CompareIDs(0, ids, Ids(second));
    }
  }
  if (allocator->Outstanding() != held)
    qap::fuzz::Fail(std::to_string(allocator->Outstanding() - held) + " item lists were not freed");
  return 0;
}
