// Header attributes by name.
#include "platform/media/header_attributes.h"

#include <cstring>

namespace qap::media {
namespace {

// Sizes of the fixed-size types; 0 for the types of any length.
WORD FixedSize(WMT_ATTR_DATATYPE type) {
  switch (type) {
    case WMT_TYPE_DWORD:
    case WMT_TYPE_BOOL:
      return 4;
    case WMT_TYPE_QWORD:
      return 8;
    case WMT_TYPE_WORD:
      return 2;
    case WMT_TYPE_GUID:
      return 16;
    default:
      return 0;
  }
}

}  // namespace

void HeaderAttributes::SetString(std::u16string_view name, std::u16string_view value) {
  // A value's size travels as a WORD, terminator included.
  constexpr size_t kMaxCharacters = 0xFFFF / sizeof(char16_t) - 1;
  value = value.substr(0, kMaxCharacters);
  std::vector<BYTE> bytes((value.size() + 1) * sizeof(char16_t), 0);
  std::memcpy(bytes.data(), value.data(), value.size() * sizeof(char16_t));
  m_values[std::u16string(name)] = Value{WMT_TYPE_STRING, std::move(bytes)};
}

void HeaderAttributes::SetQword(std::u16string_view name, QWORD value) {
  std::vector<BYTE> bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  m_values[std::u16string(name)] = Value{WMT_TYPE_QWORD, std::move(bytes)};
}

std::optional<std::u16string> HeaderAttributes::String(std::u16string_view name) const {
  auto it = m_values.find(name);
  if (it == m_values.end() || it->second.type != WMT_TYPE_STRING) return std::nullopt;
  std::u16string text(it->second.bytes.size() / sizeof(char16_t), u'\0');
  std::memcpy(text.data(), it->second.bytes.data(), text.size() * sizeof(char16_t));
  if (auto end = text.find(u'\0'); end != std::u16string::npos) text.resize(end);
  return text;
}

HRESULT HeaderAttributes::Get(const WORD* streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                              BYTE* value, WORD* length) const {
  if (streamNumber == nullptr || name == nullptr || type == nullptr || length == nullptr) {
    return E_POINTER;
  }
  if (*streamNumber != 0) return kMediaAttributeNotFound;
  auto it = m_values.find(std::u16string_view(name));
  if (it == m_values.end()) return kMediaAttributeNotFound;
  const auto size = static_cast<WORD>(it->second.bytes.size());
  *type = it->second.type;
  if (value == nullptr) {
    *length = size;
    return S_OK;
  }
  if (*length < size) {
    *length = size;
    return kMediaBufferTooSmall;
  }
  std::memcpy(value, it->second.bytes.data(), size);
  *length = size;
  return S_OK;
}

HRESULT HeaderAttributes::Set(WORD streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE type,
                              const BYTE* value, WORD length) {
  if (name == nullptr || *name == u'\0' || (value == nullptr && length != 0)) return E_POINTER;
  if (streamNumber != 0 || type > WMT_TYPE_GUID) return E_INVALIDARG;
  if (WORD fixed = FixedSize(type); fixed != 0 && length != fixed) return E_INVALIDARG;
  if (type == WMT_TYPE_STRING && length % sizeof(char16_t) != 0) return E_INVALIDARG;
  std::vector<BYTE> bytes(value, value + length);
  m_values[std::u16string(name)] = Value{type, std::move(bytes)};
  return S_OK;
}

}  // namespace qap::media
