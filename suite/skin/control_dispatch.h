// What the skin controls' IDispatch implementations share: names to
// dispatch identifiers, arguments in and results out.
#pragma once

#include <span>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/dispatch.h"
#include "suite/skin/skin_source.h"

struct DispatchName {
  const char* name;
  DISPID id;
};

// GetIDsOfNames over a table (names compare without regard to case).
HRESULT IdsOfNames(std::span<const DispatchName> table, LPOLESTR* names, UINT count, DISPID* ids);

HRESULT ReturnText(const std::string& text, VARIANT* result);
HRESULT ReturnFlag(bool flag, VARIANT* result);
// The value of a property put, converted.
HRESULT TextArgument(DISPPARAMS* params, std::string* text, UINT* argumentError);
HRESULT FlagArgument(DISPPARAMS* params, bool* flag, UINT* argumentError);
// ApplySkin's one argument: the container. *source stays null when the
// object handed over is no container, which leaves the desktop's look.
HRESULT ContainerArgument(DISPPARAMS* params, ComPtr<ISkinSource>* source);
