// The atom table.
#include "platform/ui/core/atoms.h"

#include <mutex>
#include <unordered_map>
#include <vector>


namespace ui::core {

namespace {

constexpr ATOM kFirst = 0xC000;

struct AtomTable {
  std::mutex mutex;
  std::vector<std::string> names;  // index = atom - kFirst
  std::unordered_map<std::string, ATOM> byFolded;
};

AtomTable& Table() {
  static auto* table = new AtomTable;
  return *table;
}

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

}  // namespace

ATOM AddAtom(const std::string& name) {
  if (name.empty()) return 0;
  AtomTable& table = Table();
  std::lock_guard lock(table.mutex);
  std::string key = Folded(name);
  auto it = table.byFolded.find(key);
  if (it != table.byFolded.end()) return it->second;
  if (table.names.size() >= 0x10000 - kFirst) return 0;
  auto atom = static_cast<ATOM>(kFirst + table.names.size());
  table.names.push_back(name);
  table.byFolded.emplace(std::move(key), atom);
  return atom;
}

ATOM FindAtom(const std::string& name) {
  AtomTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto it = table.byFolded.find(Folded(name));
  return it == table.byFolded.end() ? 0 : it->second;
}

std::string AtomName(ATOM atom) {
  AtomTable& table = Table();
  std::lock_guard lock(table.mutex);
  if (atom < kFirst || atom - kFirst >= static_cast<int>(table.names.size())) return {};
  return table.names[atom - kFirst];
}

}  // namespace ui::core
