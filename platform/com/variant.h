// The VARIANT subset the automation interfaces pass: empty, null, 16- and
// 32-bit integers, booleans, strings and interface pointers.
#pragma once

#include "platform/base/export.h"
#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_ERROR = 10;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_VARIANT = 12;
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_UI1 = 17;
constexpr VARTYPE VT_UI2 = 18;
constexpr VARTYPE VT_UI4 = 19;
constexpr VARTYPE VT_INT = 22;
constexpr VARTYPE VT_UINT = 23;
// With VT_VARIANT: the value is another variant, reached by pvarVal and
// owned elsewhere (clearing or copying the reference leaves it alone).
constexpr VARTYPE VT_BYREF = 0x4000;

struct VARIANT {
  VARTYPE vt;
  std::uint16_t wReserved1;
  std::uint16_t wReserved2;
  std::uint16_t wReserved3;
  union {
    std::int32_t lVal;
    SHORT iVal;
    BYTE bVal;
    std::uint16_t uiVal;
    std::uint32_t ulVal;
    int intVal;
    unsigned int uintVal;
    VARIANT_BOOL boolVal;
    HRESULT scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IUnknown* pdispVal;
    VARIANT* pvarVal;
  };
};

QAP_EXPORT void VariantInit(VARIANT* variant);
// Frees the string or releases the interface the variant holds; leaves it empty.
QAP_EXPORT HRESULT VariantClear(VARIANT* variant);
// Deep copy: strings are duplicated, interfaces get a reference.
QAP_EXPORT HRESULT VariantCopy(VARIANT* destination, const VARIANT* source);
// Converts among empty, the integer types, booleans and strings (decimal
// text; "True"/"False" for booleans). DISP_E_OVERFLOW when a number does not
// fit, DISP_E_TYPEMISMATCH for text that is no number or any other type.
// destination may be source; on failure destination is unchanged.
QAP_EXPORT HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, USHORT flags,
                                     VARTYPE type);

// Owns one VARIANT.
class QAP_EXPORT CComVariant : public VARIANT {
 public:
  CComVariant() { VariantInit(this); }
  explicit CComVariant(std::int32_t value);
  explicit CComVariant(SHORT value);
  explicit CComVariant(const char* ansi);
  explicit CComVariant(std::u16string_view text);
  CComVariant(const CComVariant& other);
  CComVariant& operator=(const CComVariant& other);
  ~CComVariant() { VariantClear(this); }
};
