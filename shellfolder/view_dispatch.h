// Late-bound calls of the views' dual interfaces: names and dispatch
// identifiers come from the module's type library (Cobrell.tlb beside the
// module), which every view reads once per process.
#pragma once

#include <string>

#include "platform/automation/type_library.h"
#include "platform/com/dispatch.h"
#include "platform/com/variant.h"

namespace cobrell {

// IDispatch::GetIDsOfNames over the members of interfaceId.
HRESULT ViewIDsOfNames(REFIID interfaceId, REFIID iid, LPOLESTR* names, UINT count,
                       DISPID* dispIds);
// Checks an Invoke of interfaceId's member dispId (a method call, by
// position, with as many arguments as the member takes) and names it.
HRESULT FindViewMember(REFIID interfaceId, DISPID dispId, REFIID iid, WORD flags,
                       const DISPPARAMS* params, std::string* name);
// An argument by position (0 first), converted.
HRESULT UnsignedArgument(DISPPARAMS* params, UINT position, UINT* value, UINT* argumentError);
HRESULT BooleanArgument(DISPPARAMS* params, UINT position, BOOL* value, UINT* argumentError);
// The answer of a member whose arguments are handles, interface pointers or
// out arguments that no variant here carries.
constexpr HRESULT kNotLateBound = DISP_E_TYPEMISMATCH;

// IDispatch::Invoke of a view's dual interface: the members the views
// share go by their names in the type library, so that one table serves
// the host, the list and the web view.
template <typename View>
HRESULT InvokeView(View* view, REFIID interfaceId, DISPID dispId, REFIID iid, WORD flags,
                   DISPPARAMS* params, VARIANT* result, UINT* argumentError) {
  std::string name;
  HRESULT found = FindViewMember(interfaceId, dispId, iid, flags, params, &name);
  if (FAILED(found)) return found;
  if (name == "Refresh") return view->Refresh();
  if (name == "DestroyView") return view->DestroyView();
  if (name == "SetCurrentInfo") {
    UINT viewMode = 0;
    UINT viewFlags = 0;
    HRESULT read = UnsignedArgument(params, 0, &viewMode, argumentError);
    if (SUCCEEDED(read)) read = UnsignedArgument(params, 1, &viewFlags, argumentError);
    return SUCCEEDED(read) ? view->SetCurrentInfo(viewMode, viewFlags) : read;
  }
  if constexpr (requires { view->OnEnter(); }) {
    if (name == "OnEnter") return view->OnEnter();
    if (name == "OnSelectAll") return view->OnSelectAll();
    if (name == "OnInvertSelection") return view->OnInvertSelection();
    if (name == "OnEditPaste") return view->OnEditPaste();
    if (name == "OnDelete") return view->OnDelete();
    if (name == "SetFocus") return view->SetFocus();
    if (name == "OnEditLabel") return view->OnEditLabel();
    if (name == "OnEditCopyCut") {
      BOOL cut = FALSE;
      BOOL done = FALSE;
      const HRESULT read = BooleanArgument(params, 0, &cut, argumentError);
      if (FAILED(read)) return read;
      const HRESULT copied = view->OnEditCopyCut(cut, &done);
      if (result != nullptr) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = done ? VARIANT_TRUE : VARIANT_FALSE;
      }
      return copied;
    }
  }
  if constexpr (requires { view->GetCurrentPath(result); }) {
    CComVariant answer;
    HRESULT asked = kNotLateBound;
    if (name == "GetCurrentPath") asked = view->GetCurrentPath(&answer);
    if (name == "GetSelectedName") asked = view->GetSelectedName(&answer);
    if (name == "GetSelectedGUID") asked = view->GetSelectedGUID(&answer);
    if (name == "GetSelectedClass") asked = view->GetSelectedClass(&answer);
    if (SUCCEEDED(asked) && result != nullptr) VariantCopy(result, &answer);
    if (asked != kNotLateBound) return asked;
  }
  if constexpr (requires { view->OnDeactivate(); }) {
    if (name == "OnDeactivate") return view->OnDeactivate();
    if (name == "OnActivate") {
      UINT state = 0;
      const HRESULT read = UnsignedArgument(params, 0, &state, argumentError);
      return SUCCEEDED(read) ? view->OnActivate(state) : read;
    }
  }
  return kNotLateBound;
}

}  // namespace cobrell
