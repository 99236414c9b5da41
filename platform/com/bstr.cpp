// BSTR allocation: the 32-bit byte length sits just before the characters, as
// on Windows, so SysStringLen needs no scan and strings may hold NULs.
#include "platform/com/bstr.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/base/codepage.h"

namespace {

BSTR Allocate(const OLECHAR* text, UINT length) {
  auto* block = static_cast<std::uint32_t*>(
      std::malloc(sizeof(std::uint32_t) + (static_cast<size_t>(length) + 1) * sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  block[0] = length * sizeof(OLECHAR);
  auto* chars = reinterpret_cast<OLECHAR*>(block + 1);
  if (text != nullptr) std::memcpy(chars, text, length * sizeof(OLECHAR));
  else std::memset(chars, 0, length * sizeof(OLECHAR));
  chars[length] = 0;
  return chars;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  UINT length = 0;
  while (text[length] != 0) ++length;
  return Allocate(text, length);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) { return Allocate(text, length); }

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(reinterpret_cast<std::uint32_t*>(text) - 1);
}

UINT SysStringLen(BSTR text) {
  return text == nullptr ? 0 : reinterpret_cast<std::uint32_t*>(text)[-1] / sizeof(OLECHAR);
}

CComBSTR::CComBSTR(std::u16string_view text)
    : m_text(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

CComBSTR::CComBSTR(const char* ansi) {
  if (ansi != nullptr) {
    std::u16string wide = AnsiToWide(ansi);
    m_text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
}

CComBSTR::CComBSTR(const CComBSTR& other)
    : m_text(other.m_text == nullptr ? nullptr : SysAllocStringLen(other.m_text, other.Length())) {}

CComBSTR& CComBSTR::operator=(const CComBSTR& other) {
  if (this != &other) {
    CComBSTR copy(other);
    std::swap(m_text, copy.m_text);
  }
  return *this;
}

CComBSTR::CComBSTR(CComBSTR&& other) noexcept : m_text(std::exchange(other.m_text, nullptr)) {}

CComBSTR& CComBSTR::operator=(CComBSTR&& other) noexcept {
  std::swap(m_text, other.m_text);
  return *this;
}

CComBSTR::~CComBSTR() { SysFreeString(m_text); }

BSTR CComBSTR::Detach() { return std::exchange(m_text, nullptr); }

void CComBSTR::Attach(BSTR text) {
  SysFreeString(m_text);
  m_text = text;
}

BSTR* CComBSTR::Out() {
  SysFreeString(std::exchange(m_text, nullptr));
  return &m_text;
}

std::u16string CComBSTR::Wide() const {
  return m_text == nullptr ? std::u16string() : std::u16string(m_text, Length());
}

std::string CComBSTR::Ansi() const { return WideToAnsi(Wide()); }
