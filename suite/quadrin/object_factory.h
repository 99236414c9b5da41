// Making the communication object of a registered module: a reader or
// writer object around a converter component loaded from its module file,
// or one of the layer's built-in modules.
#pragma once

#include <string>

#include "suite/quadrin/communication_object.h"
#include "suite/quadrin/module_registry.h"

namespace quadrin {

constexpr const char* kRecorderId = "QuadrinRecorder";

// The built-in modules as the registry lists them.
std::vector<ModuleEntry> BuiltinModules();

// Null with the reason when the module is not registered, its file is
// missing or not a converter component, or no object could be made.
CommunicationObject* MakeObject(const std::string& shortId, ModuleEntry* entry, std::string* error);
ObjectPtr MakeOwnedObject(const std::string& shortId, std::string* error);

}  // namespace quadrin
