// VARIANT ownership rules.
#include "platform/com/variant.h"

#include <string>
#include <string_view>

#include "platform/base/codepage.h"

void VariantInit(VARIANT* variant) {
  if (variant == nullptr) return;
  *variant = VARIANT{};
  variant->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* variant) {
  if (variant == nullptr) return E_INVALIDARG;
  switch (variant->vt) {
    case VT_BSTR:
      SysFreeString(variant->bstrVal);
      break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (variant->punkVal != nullptr) variant->punkVal->Release();
      break;
    default:
      break;
  }
  VariantInit(variant);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* destination, const VARIANT* source) {
  if (destination == nullptr || source == nullptr) return E_INVALIDARG;
  if (destination == source) return S_OK;
  VARIANT copy = *source;
  if (source->vt == VT_BSTR && source->bstrVal != nullptr) {
    copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
    if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
  } else if ((source->vt == VT_UNKNOWN || source->vt == VT_DISPATCH) &&
             source->punkVal != nullptr) {
    source->punkVal->AddRef();
  }
  VariantClear(destination);
  *destination = copy;
  return S_OK;
}

CComVariant::CComVariant(std::int32_t value) : CComVariant() {
  vt = VT_I4;
  lVal = value;
}

CComVariant::CComVariant(SHORT value) : CComVariant() {
  vt = VT_I2;
  iVal = value;
}

CComVariant::CComVariant(const char* ansi) : CComVariant(std::u16string_view(AnsiToWide(ansi != nullptr ? ansi : ""))) {}

CComVariant::CComVariant(std::u16string_view text) : CComVariant() {
  vt = VT_BSTR;
  bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

CComVariant::CComVariant(const CComVariant& other) : CComVariant() { VariantCopy(this, &other); }

CComVariant& CComVariant::operator=(const CComVariant& other) {
  VariantCopy(this, &other);
  return *this;
}

namespace {

bool IsInteger(VARTYPE type) {
  switch (type) {
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

std::int64_t IntegerOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_INT: return v.intVal;
    case VT_UI1: return v.bVal;
    case VT_UI2: return v.uiVal;
    case VT_UI4: return v.ulVal;
    case VT_UINT: return v.uintVal;
    default: return 0;
  }
}

// Stores value as type; false when it does not fit.
bool SetInteger(VARIANT* v, VARTYPE type, std::int64_t value) {
  auto fits = [value](std::int64_t low, std::int64_t high) {
    return value >= low && value <= high;
  };
  switch (type) {
    case VT_I2:
      if (!fits(INT16_MIN, INT16_MAX)) return false;
      v->iVal = static_cast<SHORT>(value);
      break;
    case VT_I4:
    case VT_INT:
      if (!fits(INT32_MIN, INT32_MAX)) return false;
      v->lVal = static_cast<std::int32_t>(value);
      break;
    case VT_UI1:
      if (!fits(0, UINT8_MAX)) return false;
      v->bVal = static_cast<BYTE>(value);
      break;
    case VT_UI2:
      if (!fits(0, UINT16_MAX)) return false;
      v->uiVal = static_cast<std::uint16_t>(value);
      break;
    case VT_UI4:
    case VT_UINT:
      if (!fits(0, UINT32_MAX)) return false;
      v->ulVal = static_cast<std::uint32_t>(value);
      break;
    default:
      return false;
  }
  v->vt = type;
  return true;
}

bool ParseInteger(const std::u16string& text, std::int64_t* value) {
  size_t at = 0;
  while (at < text.size() && text[at] == u' ') ++at;
  bool negative = at < text.size() && text[at] == u'-';
  if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) ++at;
  if (at >= text.size()) return false;
  std::int64_t result = 0;
  for (; at < text.size() && text[at] != u' '; ++at) {
    if (text[at] < u'0' || text[at] > u'9' || result > (INT64_MAX - 9) / 10) return false;
    result = result * 10 + (text[at] - u'0');
  }
  while (at < text.size() && text[at] == u' ') ++at;
  if (at != text.size()) return false;
  *value = negative ? -result : result;
  return true;
}

// ASCII letters only: the words compared are "true" and "false".
bool EqualsNoCase(const std::u16string& text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    if (c != static_cast<char16_t>(word[i])) return false;
  }
  return true;
}

}  // namespace

HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, USHORT, VARTYPE type) {
  if (destination == nullptr || source == nullptr) return E_INVALIDARG;
  VARIANT result;
  VariantInit(&result);
  if (source->vt == type) {
    HRESULT hr = VariantCopy(&result, source);
    if (FAILED(hr)) return hr;
  } else if (type == VT_EMPTY) {
    // Nothing to fill in.
  } else if (type == VT_BSTR) {
    std::string text;
    if (source->vt == VT_BOOL) {
      text = source->boolVal != VARIANT_FALSE ? "True" : "False";
    } else if (IsInteger(source->vt)) {
      text = std::to_string(IntegerOf(*source));
    } else if (source->vt != VT_EMPTY) {
      return DISP_E_TYPEMISMATCH;
    }
    std::u16string wide(text.begin(), text.end());
    result.vt = VT_BSTR;
    result.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (result.bstrVal == nullptr) return E_OUTOFMEMORY;
  } else if (type == VT_BOOL || IsInteger(type)) {
    std::int64_t value = 0;
    if (source->vt == VT_BOOL) {
      value = source->boolVal != VARIANT_FALSE ? -1 : 0;
    } else if (IsInteger(source->vt)) {
      value = IntegerOf(*source);
    } else if (source->vt == VT_BSTR) {
      std::u16string text(source->bstrVal != nullptr ? source->bstrVal : u"",
                          SysStringLen(source->bstrVal));
      if (type == VT_BOOL && EqualsNoCase(text, "true")) {
        value = -1;
      } else if (type == VT_BOOL && EqualsNoCase(text, "false")) {
        value = 0;
      } else if (!ParseInteger(text, &value)) {
        return DISP_E_TYPEMISMATCH;
      }
    } else if (source->vt != VT_EMPTY) {
      return DISP_E_TYPEMISMATCH;
    }
    if (type == VT_BOOL) {
      result.vt = VT_BOOL;
      result.boolVal = value != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (!SetInteger(&result, type, value)) {
      return DISP_E_OVERFLOW;
    }
  } else {
    return DISP_E_TYPEMISMATCH;
  }
  VariantClear(destination);
  *destination = result;
  return S_OK;
}
