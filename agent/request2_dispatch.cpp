// CRequest2's IDispatch: late-bound calls of the thirteen methods by the
// dispatch identifiers of the registered type library.
#include "agent/request2.h"
#include "agent/request2_ids.h"
#include "platform/base/codepage.h"

namespace {

// One argument converted for a method; cleared when the call is over.
class Argument {
 public:
  Argument() { VariantInit(&m_value); }
  ~Argument() { VariantClear(&m_value); }
  Argument(const Argument&) = delete;
  Argument& operator=(const Argument&) = delete;

  HRESULT Read(DISPPARAMS* params, UINT position, VARTYPE type, UINT* argumentError) {
    return DispGetParam(params, position, type, &m_value, argumentError);
  }
  BSTR* Text() { return &m_value.bstrVal; }
  LONG Number() const { return m_value.lVal; }

 private:
  VARIANT m_value;
};

}  // namespace

HRESULT CRequest2::LoadTypeLibrary(qap::automation::TypeLibraryPtr* library) {
  std::lock_guard<std::mutex> guard(m_typeLibraryMutex);
  if (!m_typeLibrary) {
    HRESULT hr = qap::automation::LoadRegisteredTypeLibrary(LIBID_LBAgent2, kLBAgent2LibMajor,
                                                            kLBAgent2LibMinor, &m_typeLibrary);
    if (FAILED(hr)) return hr;
  }
  *library = m_typeLibrary;
  return S_OK;
}

HRESULT CRequest2::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* dispIds) {
  if (!IsEqualGUID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || dispIds == nullptr || count == 0) return E_INVALIDARG;
  qap::automation::TypeLibraryPtr library;
  HRESULT hr = LoadTypeLibrary(&library);
  if (FAILED(hr)) return hr;
  const qap::automation::TypeInterface* entry = library->Find(IID_IRequest2);
  if (entry == nullptr) return TYPE_E_LIBNOTREGISTERED;
  return entry->GetIDsOfNames(names, count, dispIds);
}

HRESULT CRequest2::Invoke(DISPID dispId, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                          VARIANT* result, EXCEPINFO*, UINT* argumentError) {
  if (!IsEqualGUID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  qap::automation::TypeLibraryPtr library;
  HRESULT hr = LoadTypeLibrary(&library);
  if (FAILED(hr)) return hr;
  const qap::automation::TypeInterface* entry = library->Find(IID_IRequest2);
  const qap::automation::TypeMember* member =
      entry != nullptr ? entry->FindDispId(dispId) : nullptr;
  if (member == nullptr || (flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
  if (params == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params->cArgs != member->InCount()) return DISP_E_BADPARAMCOUNT;
  return InvokeMethod(dispId, params, result, argumentError);
}

HRESULT CRequest2::InvokeMethod(DISPID dispId, DISPPARAMS* params, VARIANT* result,
                                UINT* argumentError) {
  Argument a, b, c, d;
  auto read = [&](Argument& argument, UINT position, VARTYPE type) {
    return argument.Read(params, position, type, argumentError);
  };
  HRESULT hr = S_OK;
  switch (dispId) {
    case kDispIdAddFile:
      if (FAILED(hr = read(a, 0, VT_BSTR)) || FAILED(hr = read(b, 1, VT_I4)) ||
          FAILED(hr = read(c, 2, VT_I4))) {
        return hr;
      }
      return AddFile(a.Text(), b.Number(), c.Number());
    case kDispIdLogin:
      if (FAILED(hr = read(a, 0, VT_BSTR)) || FAILED(hr = read(b, 1, VT_BSTR)) ||
          FAILED(hr = read(c, 2, VT_BSTR)) || FAILED(hr = read(d, 3, VT_I4))) {
        return hr;
      }
      return Login(a.Text(), b.Text(), c.Text(), d.Number());
    case kDispIdGotoLocker:
      if (FAILED(hr = read(a, 0, VT_I4)) || FAILED(hr = read(b, 1, VT_I4))) return hr;
      return GotoLocker(a.Number(), b.Number());
    case kDispIdLogout:
      if (FAILED(hr = read(a, 0, VT_I4))) return hr;
      return Logout(a.Number());
    case kDispIdGetStatusText: {
      if (FAILED(hr = read(a, 0, VT_I4))) return hr;
      VARIANT status;
      hr = GetStatusText(&status, a.Number());
      if (SUCCEEDED(hr) && result != nullptr) {
        VariantClear(result);
        *result = status;
      } else if (SUCCEEDED(hr)) {
        VariantClear(&status);
      }
      return hr;
    }
    case kDispIdDownloadToClient:
      if (FAILED(hr = read(a, 0, VT_BSTR))) return hr;
      return DownloadToClient(a.Text());
    case kDispIdAddClient:
      if (FAILED(hr = read(a, 0, VT_BSTR)) || FAILED(hr = read(b, 1, VT_BSTR)) ||
          FAILED(hr = read(c, 2, VT_BSTR))) {
        return hr;
      }
      return AddClient(a.Text(), b.Text(), c.Text());
    case kDispIdRemoveClient:
      if (FAILED(hr = read(a, 0, VT_BSTR))) return hr;
      return RemoveClient(a.Text());
    case kDispIdDownload:
      if (FAILED(hr = read(a, 0, VT_BSTR)) || FAILED(hr = read(b, 1, VT_BSTR))) return hr;
      return Download(a.Text(), b.Text());
    case kDispIdIsDone:
      // The VARIANT goes as it came: its type is what IsDone judges.
      return IsDone(params->rgvarg[0]);
    case kDispIdCancelAll: return CancelAll();
    case kDispIdIsLoggedIn: {
      LONG loggedIn = 0;
      hr = IsLoggedIn(&loggedIn);
      if (SUCCEEDED(hr) && result != nullptr) {
        VariantClear(result);
        result->vt = VT_I4;
        result->lVal = loggedIn;
      }
      return hr;
    }
    case kDispIdGetVersion: {
      BSTR version = nullptr;
      hr = GetVersion(&version);
      if (SUCCEEDED(hr) && result != nullptr) {
        VariantClear(result);
        result->vt = VT_BSTR;
        result->bstrVal = version;
      } else {
        SysFreeString(version);
      }
      return hr;
    }
    default: return DISP_E_MEMBERNOTFOUND;
  }
}
