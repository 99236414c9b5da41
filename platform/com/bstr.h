// BSTR: a length-prefixed UTF-16 string owned by whoever receives it, as COM
// hands strings across interfaces.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

using OLECHAR = char16_t;
using BSTR = OLECHAR*;

QAP_EXPORT BSTR SysAllocString(const OLECHAR* text);
QAP_EXPORT BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
QAP_EXPORT void SysFreeString(BSTR text);
QAP_EXPORT UINT SysStringLen(BSTR text);

// Owns one BSTR.
class QAP_EXPORT CComBSTR {
 public:
  CComBSTR() = default;
  explicit CComBSTR(std::u16string_view text);
  // From system code page text.
  explicit CComBSTR(const char* ansi);
  CComBSTR(const CComBSTR& other);
  CComBSTR& operator=(const CComBSTR& other);
  CComBSTR(CComBSTR&& other) noexcept;
  CComBSTR& operator=(CComBSTR&& other) noexcept;
  ~CComBSTR();

  BSTR Get() const { return m_text; }
  BSTR Detach();
  // Adopts text (the caller's ownership passes to this object).
  void Attach(BSTR text);
  BSTR* Out();
  // The held string's slot, for by-reference string arguments; the string
  // stays this object's.
  BSTR* Ref() { return &m_text; }
  UINT Length() const { return SysStringLen(m_text); }
  std::u16string Wide() const;
  // In the system code page.
  std::string Ansi() const;

 private:
  BSTR m_text = nullptr;
};
