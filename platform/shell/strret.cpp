// Reading a STRRET back into a caller's buffer.
#include "platform/shell/strret.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/shell_malloc.h"

namespace {

void CopyCut(std::u16string_view text, LPWSTR buffer, UINT size) {
  const size_t length = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length * sizeof(char16_t));
  buffer[length] = u'\0';
}

}  // namespace

HRESULT StrRetToBufW(STRRET* name, LPCITEMIDLIST item, LPWSTR buffer, UINT size) {
  if (name == nullptr || buffer == nullptr || size == 0) return E_INVALIDARG;
  switch (name->uType) {
    case STRRET_WSTR: {
      LPWSTR text = name->pOleStr;
      CopyCut(text != nullptr ? std::u16string_view(text) : std::u16string_view(), buffer, size);
      ComPtr<IMalloc> allocator;
      if (text != nullptr && SUCCEEDED(SHGetMalloc(allocator.Out()))) allocator->Free(text);
      name->pOleStr = nullptr;
      return S_OK;
    }
    case STRRET_OFFSET: {
      if (item == nullptr) return E_INVALIDARG;
      const char* text = reinterpret_cast<const char*>(item) + name->uOffset;
      CopyCut(AnsiToWide(text), buffer, size);
      return S_OK;
    }
    case STRRET_CSTR:
      CopyCut(AnsiToWide(std::string_view(name->cStr, strnlen(name->cStr, sizeof name->cStr))),
              buffer, size);
      return S_OK;
    default:
      return E_INVALIDARG;
  }
}
