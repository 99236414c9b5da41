// The music folder over a generated library of 100,000 songs (5,000
// artists, 10,000 albums, 50 genres), driven as Explorer drives it: (a) the
// Music folder enumerated, then every group through IEnumIDList::Next in
// batches of 64, the Artists group's 5,000 sub-groups among them; (b) those
// 5,000 items sorted with CompareIDs. Baselines in the same run: (c) the same
// groups and sub-groups read straight from the music database; (d) the same
// names and ids sorted as strings. Goals: (a) under 150 ms, (b) under 50 ms,
// and no item list left unfreed.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/music_junction.h"
#include "bench/music_db_fixture.h"
#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/counting_malloc.h"
#include "platform/shell/shell_folder.h"
#include "platform/base/string_compare.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/music_db.h"
#include "shellfolder/music_item.h"
#include "suite/musicdb/core/database.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;

constexpr int kRounds = 7;
constexpr ULONG kBatch = 64;

ComPtr<IShellFolder> OpenJunction() { return qap::bench::OpenMusicJunction(); }

// Every child, in batches of 64; false when the folder cannot be listed.
bool Enumerate(IShellFolder* folder, std::vector<UniqueItemIdList>* children) {
  ComPtr<IEnumIDList> enumerator;
  if (FAILED(folder->EnumObjects(nullptr, SHCONTF_FOLDERS, enumerator.Out()))) return false;
  LPITEMIDLIST batch[kBatch];
  ULONG fetched = 0;
  HRESULT result;
  while ((result = enumerator->Next(kBatch, batch, &fetched)) == S_OK) {
    for (ULONG i = 0; i < fetched; ++i) children->emplace_back(batch[i]);
  }
  return result == S_FALSE;
}

struct Walk {
  size_t items = 0;
  std::vector<UniqueItemIdList> artists;  // the Artists group's children
  ComPtr<IShellFolder> artistFolder;
};

// (a): Music, then each group (the all-songs list holds songs, not items).
bool EnumerateGroups(IShellFolder* junction, LPCITEMIDLIST musicItem, Walk* walk) {
  ComPtr<IShellFolder> music;
  if (FAILED(junction->BindToObject(musicItem, nullptr, IID_IShellFolder, music.OutVoid())))
    return false;
  std::vector<UniqueItemIdList> groups;
  if (!Enumerate(music.Get(), &groups)) return false;
  walk->items += groups.size();
  for (const UniqueItemIdList& group : groups) {
    if (AsMusicItem(group.get())->kind != kKindGroup) continue;
    ComPtr<IShellFolder> folder;
    if (FAILED(music->BindToObject(group.get(), nullptr, IID_IShellFolder, folder.OutVoid())))
      return false;
    std::vector<UniqueItemIdList> subGroups;
    if (!Enumerate(folder.Get(), &subGroups)) return false;
    walk->items += subGroups.size();
    if (ItemCategory(AsMusicItem(group.get())) == u"artist") {
      walk->artists = std::move(subGroups);
      walk->artistFolder = folder;
    }
  }
  return true;
}

// (c): the same reads the enumerators make, straight from the database.
size_t ReadGroupsDirectly(std::vector<std::pair<std::u16string, int>>* artists) {
  GroupContainerPtr groups(CreateIGroupContainer(0, "", TRUE));
  if (!groups || !groups->Open()) return 0;
  size_t read = 0;
  for (int i = 0; i < groups->GetCount(); ++i) {
    GroupPtr group(groups->GetGroup(i));
    TGroupInfo info{};
    if (!group || !group->GetInfo(&info)) return 0;
    ++read;
    if (info.key.IsEmpty()) continue;
    GroupPtr full(CreateIGroup(info, 0, "", TRUE));
    if (!full) return 0;
    for (int j = 0; j < full->GetSubGroupCount(); ++j) {
      SubGroupPtr subGroup(full->GetSubGroup(j));
      TSubGroupInfo subInfo{};
      if (!subGroup || !subGroup->GetInfo(&subInfo)) return 0;
      ++read;
      if (info.key == "artist") artists->emplace_back(AnsiToWide(subInfo.name.str()), subInfo.id);
    }
  }
  return read;
}

}  // namespace

int main() {
  std::string folder = bench::MakeScratchFolder("shellfolder_bench");
  if (folder.empty()) return 1;
  // The folder loads the settings: they go to a scratch hive too.
  setenv("QAP_REGISTRY", (folder + "/registry.db").c_str(), 1);
  setenv("QAP_MUSIC_DB", (folder + "/music.db").c_str(), 1);

  const qap::bench::LibraryShape shape;
  std::string error;
  const auto fillStart = Clock::now();
  if (!qap::bench::FillMusicLibrary(shape, &error)) {
    std::fprintf(stderr, "shellfolder_bench: cannot make the library: %s\n", error.c_str());
    return 1;
  }
  const double fill = Millis(Clock::now() - fillStart);

  CountingMalloc allocator;
  std::vector<double> a, b, c, d;
  size_t items = 0;
  size_t artistCount = 0;
  size_t leaked = 0;
  for (int round = 0; round < kRounds; ++round) {
    {
      ComPtr<IShellFolder> junction = OpenJunction();
      std::vector<UniqueItemIdList> top;
      if (!junction || !Enumerate(junction.Get(), &top) || top.empty()) {
        std::fprintf(stderr, "shellfolder_bench: the junction cannot be listed\n");
        return 1;
      }
      Walk walk;
      auto start = Clock::now();
      if (!EnumerateGroups(junction.Get(), top[0].get(), &walk)) {
        std::fprintf(stderr, "shellfolder_bench: (a) failed: %s\n",
                     qap::musicdb::LastError().c_str());
        return 1;
      }
      a.push_back(Millis(Clock::now() - start));
      items = walk.items;
      artistCount = walk.artists.size();

      std::vector<LPCITEMIDLIST> order;
      for (const UniqueItemIdList& item : walk.artists) order.push_back(item.get());
      IShellFolder* artists = walk.artistFolder.Get();
      start = Clock::now();
      std::sort(order.begin(), order.end(), [artists](LPCITEMIDLIST x, LPCITEMIDLIST y) {
        return CompareResultOrder(artists->CompareIDs(0, x, y)) < 0;
      });
      b.push_back(Millis(Clock::now() - start));
    }
    leaked = std::max(leaked, allocator.Outstanding());

    std::vector<std::pair<std::u16string, int>> names;
    auto start = Clock::now();
    if (ReadGroupsDirectly(&names) == 0) {
      std::fprintf(stderr, "shellfolder_bench: (c) failed: %s\n",
                   qap::musicdb::LastError().c_str());
      return 1;
    }
    c.push_back(Millis(Clock::now() - start));
    start = Clock::now();
    std::sort(names.begin(), names.end(), [](const auto& x, const auto& y) {
      const int order = CompareStringOrdinal(x.first.c_str(), -1, y.first.c_str(), -1, TRUE);
      return order != CSTR_EQUAL ? order == CSTR_LESS_THAN : x.second < y.second;
    });
    d.push_back(Millis(Clock::now() - start));
  }

  const double ma = Median(a), mb = Median(b), mc = Median(c), md = Median(d);
  std::printf(
      "shellfolder_bench: medians of %d rounds; library of %d songs (%d artists, %d "
      "albums, %d genres) made in %.0f ms in %s\n",
      kRounds, shape.songs, shape.artists, shape.albums, shape.genres, fill, folder.c_str());
  std::printf("(a) Music and every group enumerated, %zu items      %8.1f ms   goal < 150 ms: %s\n",
              items, ma, ma < 150 ? "met" : "MISSED");
  std::printf("(b) %zu artist items sorted with CompareIDs          %8.1f ms   goal < 50 ms: %s\n",
              artistCount, mb, mb < 50 ? "met" : "MISSED");
  std::printf(
      "(c) the same reads straight from the database       %8.1f ms   ratio (a)/(c) = %.2f\n", mc,
      ma / mc);
  std::printf(
      "(d) the same names and ids sorted as strings        %8.1f ms   ratio (b)/(d) = %.2f\n", md,
      mb / md);
  std::printf("item lists left unfreed after each round: %zu   goal 0: %s\n", leaked,
              leaked == 0 ? "met" : "MISSED");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return leaked == 0 ? 0 : 1;
}
