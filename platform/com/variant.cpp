// VARIANT ownership rules.
#include "platform/com/variant.h"

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
