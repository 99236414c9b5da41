// Reading a dispatch call's positional arguments, and making the common
// calls.
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

HRESULT DispatchPut(IDispatch* dispatch, DISPID id, const VARIANT& value) {
  if (dispatch == nullptr) return E_POINTER;
  // A shallow copy: Invoke takes writable arguments but never owns them.
  VARIANT argument = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &named, 1, 1};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                          nullptr, nullptr, nullptr);
}

HRESULT DispatchCall(IDispatch* dispatch, DISPID id, const VARIANT* argument, VARIANT* result) {
  if (dispatch == nullptr) return E_POINTER;
  VARIANT copy{};
  if (argument != nullptr) copy = *argument;
  DISPPARAMS params{argument != nullptr ? &copy : nullptr, nullptr, argument != nullptr ? 1u : 0u,
                    0};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                          nullptr, nullptr);
}

HRESULT DispatchGet(IDispatch* dispatch, DISPID id, VARIANT* result) {
  if (dispatch == nullptr || result == nullptr) return E_POINTER;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result,
                          nullptr, nullptr);
}
