// The Options library's cost against the registry used directly, in one run
// on a scratch hive: (a) LoadOptions on an empty hive, (b) LoadOptions on a
// filled hive, (c) SaveOptions; baselines: every value (b) reads, and the
// few it rewrites, read and written straight through the registry calls,
// and every value (c) writes written straight through them. Goals: (b) and
// (c) under 5 ms median, and each within 1.5x of its baseline.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "options/options.h"
#include "platform/registry/reg_key.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;

constexpr int kRounds = 101;

struct StoredValue {
  std::string name;
  DWORD type;
  std::vector<BYTE> data;
};

struct StoredKey {
  HKEY root;
  std::string path;
  std::vector<StoredValue> values;
};

template <typename Body>
double MedianMillis(Body&& body) {
  std::vector<double> samples;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    body();
    samples.push_back(Millis(Clock::now() - start));
  }
  return Median(samples);
}

// Every key under (and including) path with its values, as the hive holds
// them after a load and a save.
void Collect(HKEY root, const std::string& path, std::vector<StoredKey>* keys) {
  RegKey key;
  if (key.Open(root, path.c_str()) != ERROR_SUCCESS) return;
  StoredKey stored{root, path, {}};
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name;
    BYTE data[1024];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(key.Get(), index, name, &nameSize, nullptr, &type, data, &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    stored.values.push_back({std::string(name, nameSize), type, {data, data + dataSize}});
  }
  keys->push_back(std::move(stored));
  std::vector<std::string> children;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    children.emplace_back(name, size);
  }
  for (const auto& child : children) Collect(root, path + "\\" + child, keys);
}

void ReadDirectly(const std::vector<StoredKey>& keys) {
  for (const StoredKey& stored : keys) {
    RegKey key;
    if (key.Open(stored.root, stored.path.c_str(), KEY_READ | KEY_WRITE) != ERROR_SUCCESS) continue;
    for (const StoredValue& value : stored.values) {
      BYTE data[1024];
      DWORD size = sizeof data;
      DWORD type = 0;
      RegQueryValueExA(key.Get(), value.name.c_str(), nullptr, &type, data, &size);
    }
  }
}

void WriteDirectly(const std::vector<StoredKey>& keys, const std::vector<std::string>* only) {
  for (const StoredKey& stored : keys) {
    RegKey key;
    if (key.Open(stored.root, stored.path.c_str(), KEY_READ | KEY_WRITE) != ERROR_SUCCESS) continue;
    for (const StoredValue& value : stored.values) {
      const std::string full = stored.path + "\\" + value.name;
      if (only != nullptr && std::find(only->begin(), only->end(), full) == only->end()) continue;
      RegSetValueExA(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                     static_cast<DWORD>(value.data.size()));
    }
  }
}

void UseHive(const std::string& file) {
  setenv("QAP_REGISTRY", file.c_str(), 1);
  RegResetHive();
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  std::string scratch = bench::MakeScratchFolder("options_bench");
  if (scratch.empty()) return 1;
  // The music folder is made on C:, which is the home folder: keep it here.
  setenv("HOME", scratch.c_str(), 1);

  // A hive of its own per round; opening the new file is not timed.
  std::vector<double> emptySamples;
  for (int round = 0; round < kRounds; ++round) {
    UseHive(scratch + "/empty-" + std::to_string(round) + ".db");
    RegHiveError();
    const auto start = Clock::now();
    LoadOptions();
    emptySamples.push_back(Millis(Clock::now() - start));
  }
  const double emptyLoad = Median(emptySamples);

  UseHive(scratch + "/filled.db");
  if (!LoadOptions() || !SaveOptions()) {
    std::fprintf(stderr, "options_bench: the options could not be loaded (%s)\n",
                 RegHiveError().c_str());
    return 1;
  }
  std::vector<StoredKey> keys;
  Collect(HKEY_CURRENT_USER, "SOFTWARE\\ZelVar\\QAP", &keys);
  Collect(HKEY_CLASSES_ROOT, "ZelVar.File", &keys);
  Collect(HKEY_CLASSES_ROOT, "AudioCD", &keys);
  const CString* table = GetIFileType().GetExtensionTable();
  for (DWORD i = 0; i < GetIFileType().GetExtensionCount(); ++i) {
    Collect(HKEY_CLASSES_ROOT, table[i].str(), &keys);
  }
  size_t valueCount = 0;
  for (const auto& key : keys) valueCount += key.values.size();
  // What a load of a filled hive writes again every time.
  const std::vector<std::string> rewritten = {
      "SOFTWARE\\ZelVar\\QAP\\AdvancedJukemind\\Theme_006_Description",
      "SOFTWARE\\ZelVar\\QAP\\AdvancedJukemind\\Theme_007_Description",
      "ZelVar.File\\command\\",
      "ZelVar.File\\shellex\\ContextMenuHandlers\\ZelVarHandler\\",
  };

  const double filledLoad = MedianMillis([] { LoadOptions(); });
  const double directRead = MedianMillis([&] {
    ReadDirectly(keys);
    WriteDirectly(keys, &rewritten);
  });
  const double save = MedianMillis([] { SaveOptions(); });
  const double directWrite = MedianMillis([&] { WriteDirectly(keys, nullptr); });

  std::printf("Options against the registry stand-in, median of %d rounds (%zu keys, %zu values)\n",
              kRounds, keys.size(), valueCount);
  std::printf("  (a) LoadOptions, empty hive        %8.3f ms\n", emptyLoad);
  std::printf("  (b) LoadOptions, filled hive       %8.3f ms\n", filledLoad);
  std::printf("      the same reads, directly       %8.3f ms   ratio %.2fx  (goal <= 1.5x, < 5 ms)\n",
              directRead, filledLoad / directRead);
  std::printf("  (c) SaveOptions                    %8.3f ms\n", save);
  std::printf("      the same writes, directly      %8.3f ms   ratio %.2fx  (goal <= 1.5x, < 5 ms)\n",
              directWrite, save / directWrite);

  RegResetHive();
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}
