// The views' type library and the checks every Invoke makes.
#include "shellfolder/view_dispatch.h"

#include <mutex>

#include "platform/base/paths.h"
#include "shellfolder/module.h"

namespace cobrell {
namespace {

const qap::automation::TypeInterface* Describe(REFIID interfaceId) {
  static const qap::automation::TypeLibraryPtr library = [] {
    qap::automation::TypeLibraryPtr loaded;
    const PathParts parts = SplitPath(ModulePath());
    qap::automation::LoadTypeLibrary(parts.folder + "Cobrell.tlb", &loaded);
    return loaded;
  }();
  return library ? library->Find(interfaceId) : nullptr;
}

}  // namespace

HRESULT ViewIDsOfNames(REFIID interfaceId, REFIID iid, LPOLESTR* names, UINT count,
                       DISPID* dispIds) {
  if (!IsEqualGUID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || dispIds == nullptr || count == 0) return E_INVALIDARG;
  const qap::automation::TypeInterface* entry = Describe(interfaceId);
  if (entry == nullptr) return TYPE_E_CANTLOADLIBRARY;
  return entry->GetIDsOfNames(names, count, dispIds);
}

HRESULT FindViewMember(REFIID interfaceId, DISPID dispId, REFIID iid, WORD flags,
                       const DISPPARAMS* params, std::string* name) {
  if (!IsEqualGUID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  const qap::automation::TypeInterface* entry = Describe(interfaceId);
  if (entry == nullptr) return TYPE_E_CANTLOADLIBRARY;
  const qap::automation::TypeMember* member = entry->FindDispId(dispId);
  if (member == nullptr || (flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
  if (params == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params->cArgs != member->InCount()) return DISP_E_BADPARAMCOUNT;
  *name = member->name;
  return S_OK;
}

HRESULT UnsignedArgument(DISPPARAMS* params, UINT position, UINT* value, UINT* argumentError) {
  CComVariant converted;
  const HRESULT result = DispGetParam(params, position, VT_UI4, &converted, argumentError);
  if (SUCCEEDED(result)) *value = converted.ulVal;
  return result;
}

HRESULT BooleanArgument(DISPPARAMS* params, UINT position, BOOL* value, UINT* argumentError) {
  CComVariant converted;
  const HRESULT result = DispGetParam(params, position, VT_BOOL, &converted, argumentError);
  if (SUCCEEDED(result)) *value = converted.boolVal != VARIANT_FALSE;
  return result;
}

}  // namespace cobrell
