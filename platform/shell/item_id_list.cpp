// Item identifier list helpers and class-item parsing.
#include "platform/shell/item_id_list.h"

#include <cstring>
#include <string>
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
