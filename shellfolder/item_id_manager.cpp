// Item identifier lists of the music folder: the list operations and the
// comparison the shell sorts by.
#include "shellfolder/item_id_manager.h"

#include <cstring>
#include <limits>

#include "platform/com/com_ptr.h"
#include "platform/shell/shell_malloc.h"
#include "platform/base/string_compare.h"

namespace {

constexpr size_t kEndMarkSize = sizeof(WORD);

WORD CountOf(const void* item) {
  WORD count;
  std::memcpy(&count, item, sizeof count);
  return count;
}

const BYTE* Bytes(LPCITEMIDLIST list) { return reinterpret_cast<const BYTE*>(list); }

// Bytes of the items, end mark excluded.
size_t ItemBytes(LPCITEMIDLIST list) {
  size_t size = 0;
  if (list == nullptr) return 0;
  for (WORD count; (count = CountOf(Bytes(list) + size)) != 0;) size += count;
  return size;
}

void* Allocate(size_t size) {
  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Out()))) return nullptr;
  return allocator->Alloc(size);
}

// A list made of the given byte runs and an end mark.
LPITEMIDLIST Join(const BYTE* first, size_t firstSize, const BYTE* second, size_t secondSize) {
  auto* bytes = static_cast<BYTE*>(Allocate(firstSize + secondSize + kEndMarkSize));
  if (bytes == nullptr) return nullptr;
  if (firstSize != 0) std::memcpy(bytes, first, firstSize);
  if (secondSize != 0) std::memcpy(bytes + firstSize, second, secondSize);
  std::memset(bytes + firstSize + secondSize, 0, kEndMarkSize);
  return reinterpret_cast<LPITEMIDLIST>(bytes);
}

bool IsOurs(const BYTE* item) {
  return CountOf(item) >= sizeof(MusicItem) &&
         std::memcmp(item + offsetof(MusicItem, signature), kMusicItemSignature,
                     sizeof kMusicItemSignature) == 0;
}

// The name field, copied out so that it can be read as aligned text.
void CopyName(const BYTE* item, char16_t (&name)[kNameUnits + 1]) {
  std::memcpy(name, item + offsetof(MusicItem, name), sizeof name);
  name[kNameUnits] = u'\0';
}

int Sign(int value) { return (value > 0) - (value < 0); }

// Items that are not ours have no fields to compare: their bytes decide.
int CompareForeign(const BYTE* first, const BYTE* second) {
  const WORD a = CountOf(first);
  const WORD b = CountOf(second);
  const int bytes = std::memcmp(first, second, std::min(a, b));
  if (bytes != 0) return Sign(bytes);
  return Sign(static_cast<int>(a) - static_cast<int>(b));
}

int CompareOurs(const BYTE* first, const BYTE* second) {
  char16_t a[kNameUnits + 1];
  char16_t b[kNameUnits + 1];
  CopyName(first, a);
  CopyName(second, b);
  const int names = CompareStringOrdinal(a, -1, b, -1, TRUE);
  if (names != CSTR_EQUAL) return names == CSTR_LESS_THAN ? -1 : 1;
  std::int32_t firstId;
  std::int32_t secondId;
  std::memcpy(&firstId, first + offsetof(MusicItem, id), sizeof firstId);
  std::memcpy(&secondId, second + offsetof(MusicItem, id), sizeof secondId);
  return firstId < secondId ? -1 : (firstId > secondId ? 1 : 0);
}

}  // namespace

LPITEMIDLIST ItemIdManager::Create(size_t size) const {
  if (size > std::numeric_limits<WORD>::max() - kEndMarkSize) return nullptr;
  auto* bytes = static_cast<BYTE*>(Allocate(size + 2 * kEndMarkSize));
  if (bytes == nullptr) return nullptr;
  std::memset(bytes, 0, size + 2 * kEndMarkSize);
  const WORD count = static_cast<WORD>(size + kEndMarkSize);
  std::memcpy(bytes, &count, sizeof count);
  return reinterpret_cast<LPITEMIDLIST>(bytes);
}

void ItemIdManager::Delete(LPITEMIDLIST list) const { ILFree(list); }

LPITEMIDLIST ItemIdManager::Next(LPCITEMIDLIST item) const {
  if (item == nullptr) return nullptr;
  const WORD count = CountOf(item);
  if (count == 0) return nullptr;
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(Bytes(item)) + count);
}

LPITEMIDLIST ItemIdManager::GetLast(LPCITEMIDLIST list) const {
  if (list == nullptr || CountOf(list) == 0) return nullptr;
  LPCITEMIDLIST last = list;
  for (LPCITEMIDLIST next = Next(list); CountOf(next) != 0; next = Next(next)) last = next;
  return const_cast<LPITEMIDLIST>(last);
}

LPITEMIDLIST ItemIdManager::Copy(LPCITEMIDLIST list) const {
  if (list == nullptr) return nullptr;
  return Join(Bytes(list), ItemBytes(list), nullptr, 0);
}

LPITEMIDLIST ItemIdManager::CopyParent(LPCITEMIDLIST list) const {
  LPCITEMIDLIST last = GetLast(list);
  if (last == nullptr || last == list) return nullptr;
  return Join(Bytes(list), static_cast<size_t>(Bytes(last) - Bytes(list)), nullptr, 0);
}

LPITEMIDLIST ItemIdManager::Concat(LPCITEMIDLIST first, LPCITEMIDLIST second) const {
  if (first == nullptr && second == nullptr) return nullptr;
  if (first == nullptr) return Copy(second);
  if (second == nullptr) return Copy(first);
  return Join(Bytes(first), ItemBytes(first), Bytes(second), ItemBytes(second));
}

UINT ItemIdManager::GetSize(LPCITEMIDLIST list) const {
  return list == nullptr ? 0 : static_cast<UINT>(ItemBytes(list) + kEndMarkSize);
}

BYTE* ItemIdManager::GetData(LPITEMIDLIST item) const {
  return item == nullptr ? nullptr : item->mkid.abID;
}

bool ItemIdManager::IsMusicItem(LPCITEMIDLIST list, bool lastOnly) const {
  LPCITEMIDLIST item = lastOnly ? GetLast(list) : list;
  return item != nullptr && IsOurs(Bytes(item));
}

HRESULT ItemIdManager::GetIcon(LPCITEMIDLIST list, DWORD* icon) const {
  if (icon == nullptr) return E_POINTER;
  if (!IsMusicItem(list, true)) return E_INVALIDARG;
  const DWORD stored = AsMusicItem(GetLast(list))->icon;
  // Resource identifiers are 16-bit; the item's bytes may hold anything.
  if (stored == 0 || stored > 0xFFFF) return E_INVALIDARG;
  *icon = stored;
  return S_OK;
}

int ItemIdManager::Compare(LPCITEMIDLIST first, LPCITEMIDLIST second) const {
  static const WORD kEmpty = 0;
  const BYTE* a = first != nullptr ? Bytes(first) : reinterpret_cast<const BYTE*>(&kEmpty);
  const BYTE* b = second != nullptr ? Bytes(second) : reinterpret_cast<const BYTE*>(&kEmpty);
  const bool firstIsOurs = IsOurs(a);
  for (;;) {
    const bool aEnded = CountOf(a) == 0;
    const bool bEnded = CountOf(b) == 0;
    // Equal lists of ours name the same node; lists that start outside the
    // folder are never reported equal.
    if (aEnded && bEnded) return firstIsOurs ? 0 : 1;
    // A list that is a prefix of the other sorts first.
    if (aEnded || bEnded) return aEnded ? -1 : 1;
    const bool aOurs = IsOurs(a);
    const bool bOurs = IsOurs(b);
    if (aOurs != bOurs) return aOurs ? 1 : -1;
    const int order = aOurs ? CompareOurs(a, b) : CompareForeign(a, b);
    if (order != 0) return order;
    a += CountOf(a);
    b += CountOf(b);
  }
}

const ItemIdManager& TheItemIdManager() {
  static const ItemIdManager manager;
  return manager;
}
