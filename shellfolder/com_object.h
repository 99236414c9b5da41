// The module's COM objects: the platform's object holding the module's
// reference, so that every object keeps the module loaded while it lives.
#pragma once

#include "platform/com/com_object.h"
#include "shellfolder/module.h"

template <typename Derived, typename... Bases>
using CobrellObject = ComObjectBase<Derived, cobrell::ModuleReference, Bases...>;
