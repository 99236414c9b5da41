// What the music folder's tests share: a fixture with its own hive, music
// database and counting shell allocator (every test ends with no list left
// unfreed), and shorthands for reaching the folder as the shell does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/shell/counting_malloc.h"
#include "platform/shell/shell_folder.h"
#include "platform/testing/scratch.h"
#include "shellfolder/music_item.h"
#include "suite/musicdb/tests/music_db_test_support.h"

namespace cobrell::testing {

class MusicFolderTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_allocator.Outstanding(), 0u) << "item lists leaked"; }

  // The junction folder, made through DllGetClassObject and initialised with
  // My Computer's item and the junction's item, as the shell does.
  static ComPtr<IShellFolder> OpenJunction();
  // The folder reached by binding to the children named, one level each.
  static ComPtr<IShellFolder> OpenPath(const std::vector<std::u16string>& names);

  qap::testing::ScratchHive m_hive;
  qap::musicdb::testing::ScratchMusicDb m_database;
  CountingMalloc m_allocator;
};

// Every child the folder's enumerator lists, asked for in batches.
std::vector<UniqueItemIdList> Children(IShellFolder* folder, ULONG batch = 64);
// The child named name (display name, case ignored); null when none.
UniqueItemIdList FindChild(IShellFolder* folder, const std::u16string& name);
// GetDisplayNameOf's text; empty, with the result in *result, on failure.
std::u16string DisplayName(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags,
                           HRESULT* result = nullptr);
// The absolute list of the junction (My Computer, then the junction).
UniqueItemIdList JunctionList();

// The item's fields, for comparing in one expectation.
struct ItemFields {
  DWORD kind;
  std::string name;
  std::string category;
  int id;
  DWORD attributes;
  DWORD icon;
  bool operator==(const ItemFields&) const = default;
};
ItemFields FieldsOf(LPCITEMIDLIST item);
void PrintTo(const ItemFields& fields, std::ostream* out);

// Database shorthands: a song with an artist, album and genre; a playlist.
int AddSong(const std::string& title, const std::string& artist, const std::string& album,
            const std::string& genre);
int AddPlaylist(const std::string& name);

}  // namespace cobrell::testing
