// Names, arguments and results of the skin controls' dispatch calls.
#include "suite/skin/control_dispatch.h"

#include <strings.h>

#include "platform/base/codepage.h"
#include "platform/com/bstr.h"

HRESULT IdsOfNames(std::span<const DispatchName> table, LPOLESTR* names, UINT count,
                   DISPID* ids) {
  if (names == nullptr || ids == nullptr || count != 1) return E_INVALIDARG;
  const std::string name = WideToAnsi(names[0]);
  for (const DispatchName& known : table) {
    if (strcasecmp(known.name, name.c_str()) == 0) {
      *ids = known.id;
      return S_OK;
    }
  }
  *ids = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT ReturnText(const std::string& text, VARIANT* result) {
  if (result == nullptr) return E_INVALIDARG;
  VariantInit(result);
  result->vt = VT_BSTR;
  result->bstrVal = CComBSTR(text.c_str()).Detach();
  return S_OK;
}

HRESULT ReturnFlag(bool flag, VARIANT* result) {
  if (result == nullptr) return E_INVALIDARG;
  VariantInit(result);
  result->vt = VT_BOOL;
  result->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT TextArgument(DISPPARAMS* params, std::string* text, UINT* argumentError) {
  CComVariant value;
  HRESULT result = DispGetParam(params, 0, VT_BSTR, &value, argumentError);
  if (SUCCEEDED(result)) *text = value.bstrVal != nullptr ? WideToAnsi(value.bstrVal) : "";
  return result;
}

HRESULT FlagArgument(DISPPARAMS* params, bool* flag, UINT* argumentError) {
  CComVariant value;
  HRESULT result = DispGetParam(params, 0, VT_BOOL, &value, argumentError);
  if (SUCCEEDED(result)) *flag = value.boolVal != VARIANT_FALSE;
  return result;
}

HRESULT ContainerArgument(DISPPARAMS* params, ComPtr<ISkinSource>* source) {
  source->Reset();
  if (params == nullptr || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  const VARIANT& argument = params->rgvarg[0];
  if (argument.vt != VT_UNKNOWN && argument.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
  if (argument.punkVal != nullptr) {
    argument.punkVal->QueryInterface(IID_ISkinSource, source->OutVoid());
  }
  return S_OK;
}
