// IDispatch: late-bound calls by dispatch identifier, with the arguments as
// VARIANTs, as automation clients and event sources use it.
#pragma once

#include "platform/base/export.h"
#include "platform/com/variant.h"

using DISPID = LONG;
using LCID = DWORD;
using LPOLESTR = OLECHAR*;

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;

constexpr DISPID DISPID_UNKNOWN = -1;
// The named argument that carries the new value of a property put.
constexpr DISPID DISPID_PROPERTYPUT = -3;

// IID_NULL, the only interface Invoke and GetIDsOfNames accept.
constexpr IID IID_NULL = GUID_NULL;
// {00020400-0000-0000-C000-000000000046}
constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Arguments in reverse order: rgvarg[0] is the last argument.
struct DISPPARAMS {
  VARIANT* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
  HRESULT scode;
};

// Type information objects are not offered by this platform; the slot keeps
// IDispatch's layout.
class ITypeInfo;

class IDispatch : public IUnknown {
 public:
  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) = 0;
  virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                DISPID* dispIds) = 0;
  virtual HRESULT Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;
};

// IDispatch's type-information members for objects that have none to give:
// the platform has no ITypeInfo, so names resolve through GetIDsOfNames
// alone. Interface is IDispatch or an interface derived from it; the
// overrides keep its slot order.
template <typename Interface>
class WithoutTypeInfo : public Interface {
 public:
  HRESULT GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) override {
    if (typeInfo != nullptr) *typeInfo = nullptr;
    return DISP_E_BADINDEX;
  }
};

// The argument at position (0 = first, counted in call order) converted to
// type into result, which the caller clears. DISP_E_PARAMNOTFOUND when there
// is no such argument, DISP_E_TYPEMISMATCH (with *argumentError set to the
// argument's index in rgvarg) when it does not convert.
QAP_EXPORT HRESULT DispGetParam(const DISPPARAMS* params, UINT position, VARTYPE type,
                                VARIANT* result, UINT* argumentError);

// Calls by dispatch identifier, as ATL's dispatch driver makes them: a
// property put with its value, a method with no argument or one, a
// property get into *result (which the caller clears).
QAP_EXPORT HRESULT DispatchPut(IDispatch* dispatch, DISPID id, const VARIANT& value);
QAP_EXPORT HRESULT DispatchCall(IDispatch* dispatch, DISPID id, const VARIANT* argument,
                                VARIANT* result = nullptr);
QAP_EXPORT HRESULT DispatchGet(IDispatch* dispatch, DISPID id, VARIANT* result);
