// Item identifier list helpers and class-item parsing.
#include "platform/shell/item_id_list.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"
#include "platform/shell/shell_malloc.h"

namespace {

constexpr USHORT kClassItemSize = 20;
constexpr BYTE kClassItemType = 0x1F;

USHORT CountAt(const BYTE* at) {
  USHORT count;
  std::memcpy(&count, at, sizeof count);
  return count;
}

}  // namespace

UINT ILGetSize(LPCITEMIDLIST list) {
  if (list == nullptr) return 0;
  const BYTE* at = reinterpret_cast<const BYTE*>(list);
  UINT size = 0;
  for (USHORT count; (count = CountAt(at + size)) != 0;) size += count;
  return size + sizeof(USHORT);
}

void ILFree(LPITEMIDLIST list) {
  if (list == nullptr) return;
  ComPtr<IMalloc> allocator;
  if (SUCCEEDED(SHGetMalloc(allocator.Out()))) allocator->Free(list);
}

LPITEMIDLIST ILGetNext(LPCITEMIDLIST item) {
  if (item == nullptr) return nullptr;
  const BYTE* at = reinterpret_cast<const BYTE*>(item);
  const USHORT count = CountAt(at);
  if (count == 0) return nullptr;
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(at + count));
}

LPITEMIDLIST ILFindLastID(LPCITEMIDLIST list) {
  if (list == nullptr) return nullptr;
  auto* last = const_cast<LPITEMIDLIST>(list);
  for (LPITEMIDLIST next = ILGetNext(last); next != nullptr && next->mkid.cb != 0;
       next = ILGetNext(next)) {
    last = next;
  }
  return last;
}

BOOL ILRemoveLastID(LPITEMIDLIST list) {
  if (list == nullptr || list->mkid.cb == 0) return FALSE;
  LPITEMIDLIST last = ILFindLastID(list);
  const USHORT end = 0;
  std::memcpy(last, &end, sizeof end);
  return TRUE;
}

namespace {

// A new list of size bytes copied from the pieces, then the end mark.
LPITEMIDLIST Assemble(std::initializer_list<std::pair<const void*, size_t>> pieces) {
  size_t size = sizeof(USHORT);
  for (const auto& piece : pieces) size += piece.second;
  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Out()))) return nullptr;
  auto* bytes = static_cast<BYTE*>(allocator->Alloc(size));
  if (bytes == nullptr) return nullptr;
  size_t at = 0;
  for (const auto& piece : pieces) {
    if (piece.second != 0) std::memcpy(bytes + at, piece.first, piece.second);
    at += piece.second;
  }
  std::memset(bytes + at, 0, sizeof(USHORT));
  return reinterpret_cast<LPITEMIDLIST>(bytes);
}

// The list's bytes without its end mark.
size_t ItemBytes(LPCITEMIDLIST list) { return list == nullptr ? 0 : ILGetSize(list) - sizeof(USHORT); }

}  // namespace

LPITEMIDLIST ILClone(LPCITEMIDLIST list) {
  if (list == nullptr) return nullptr;
  return Assemble({{list, ItemBytes(list)}});
}

LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST list) {
  if (list == nullptr) return nullptr;
  return Assemble({{list, list->mkid.cb}});
}

LPITEMIDLIST ILCombine(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  if (first == nullptr && second == nullptr) return nullptr;
  return Assemble({{first, ItemBytes(first)}, {second, ItemBytes(second)}});
}

BOOL ILIsEqual(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  if (first == nullptr || second == nullptr) return first == second;
  const UINT size = ILGetSize(first);
  return size == ILGetSize(second) && std::memcmp(first, second, size) == 0;
}

BOOL ILIsParent(LPCITEMIDLIST parent, LPCITEMIDLIST child, BOOL immediate) {
  if (parent == nullptr || child == nullptr) return FALSE;
  const size_t prefix = ItemBytes(parent);
  // The child must go on past the parent's items, item for item.
  const BYTE* at = reinterpret_cast<const BYTE*>(child);
  size_t walked = 0;
  while (walked < prefix) {
    const USHORT count = CountAt(at + walked);
    if (count == 0) return FALSE;
    walked += count;
  }
  if (walked != prefix || std::memcmp(parent, child, prefix) != 0) return FALSE;
  const USHORT next = CountAt(at + prefix);
  if (next == 0) return FALSE;
  return !immediate || CountAt(at + prefix + next) == 0;
}

HRESULT SHParseDisplayName(LPCWSTR name, IBindCtx*, LPITEMIDLIST* list, SFGAOF,
                           SFGAOF* attributesOut) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  if (attributesOut != nullptr) *attributesOut = 0;
  if (name == nullptr) return E_INVALIDARG;
  std::vector<GUID> classes;
  const std::string text = WideToAnsi(name);
  for (size_t at = 0;;) {
    size_t end = text.find('\\', at);
    const std::string segment = text.substr(at, end == std::string::npos ? end : end - at);
    GUID id;
    if (segment.size() != 40 || segment.compare(0, 3, "::{") != 0 ||
        !GuidFromString(segment.substr(2), &id)) {
      return E_INVALIDARG;
    }
    classes.push_back(id);
    if (end == std::string::npos) break;
    at = end + 1;
  }

  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Out()))) return E_OUTOFMEMORY;
  const size_t size = classes.size() * kClassItemSize + sizeof(USHORT);
  auto* bytes = static_cast<BYTE*>(allocator->Alloc(size));
  if (bytes == nullptr) return E_OUTOFMEMORY;
  std::memset(bytes, 0, size);
  for (size_t i = 0; i < classes.size(); ++i) {
    BYTE* item = bytes + i * kClassItemSize;
    std::memcpy(item, &kClassItemSize, sizeof kClassItemSize);
    item[2] = kClassItemType;
    std::memcpy(item + 4, &classes[i], sizeof(GUID));
  }
  *list = reinterpret_cast<LPITEMIDLIST>(bytes);
  return S_OK;
}
