// Reading a dispatch call's positional arguments.
#include "platform/com/dispatch.h"

HRESULT DispGetParam(const DISPPARAMS* params, UINT position, VARTYPE type, VARIANT* result,
                     UINT* argumentError) {
  if (params == nullptr || result == nullptr) return E_INVALIDARG;
  if (position >= params->cArgs) return DISP_E_PARAMNOTFOUND;
  UINT index = params->cArgs - 1 - position;
  HRESULT hr = VariantChangeType(result, &params->rgvarg[index], 0, type);
  if (FAILED(hr)) {
    if (argumentError != nullptr) *argumentError = index;
    return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}
