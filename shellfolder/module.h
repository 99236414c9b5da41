// What the Cobrell module keeps for its whole life: the count of live objects
// and server locks that decides whether it may be unloaded, and its own file.
#pragma once

#include <string>

namespace cobrell {

void LockModule();
void UnlockModule();
bool CanUnloadModule();

// Held by every object of the module for its lifetime.
class ModuleReference {
 public:
  ModuleReference() { LockModule(); }
  ~ModuleReference() { UnlockModule(); }
  ModuleReference(const ModuleReference&) = delete;
  ModuleReference& operator=(const ModuleReference&) = delete;
};

// This module's file (host path).
const std::string& ModulePath();

}  // namespace cobrell
