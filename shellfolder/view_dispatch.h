// Late-bound calls of the views' dual interfaces: names and dispatch
// identifiers come from the module's type library (Cobrell.tlb beside the
// module), which every view reads once per process.
#pragma once

#include "platform/automation/type_library.h"
#include "platform/com/dispatch.h"

namespace cobrell {

// IDispatch::GetIDsOfNames over the members of interfaceId.
HRESULT ViewIDsOfNames(REFIID interfaceId, REFIID iid, LPOLESTR* names, UINT count,
                       DISPID* dispIds);
// Checks an Invoke of interfaceId's member dispId: a method call, by
// position, with as many arguments as the member takes.
HRESULT CheckViewInvoke(REFIID interfaceId, DISPID dispId, REFIID iid, WORD flags,
                        const DISPPARAMS* params);
// An argument by position (0 first), converted.
HRESULT UnsignedArgument(DISPPARAMS* params, UINT position, UINT* value, UINT* argumentError);
HRESULT BooleanArgument(DISPPARAMS* params, UINT position, BOOL* value, UINT* argumentError);
// The answer of a member whose arguments are handles, interface pointers or
// out arguments that no variant here carries.
constexpr HRESULT kNotLateBound = DISP_E_TYPEMISMATCH;

}  // namespace cobrell
