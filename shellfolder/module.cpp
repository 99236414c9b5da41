// The module's lock count and file path.
#include "shellfolder/module.h"

#include <atomic>

#include "platform/base/module_path.h"

namespace cobrell {
namespace {

std::atomic<long> g_locks{0};

}  // namespace

void LockModule() { ++g_locks; }
void UnlockModule() { --g_locks; }
bool CanUnloadModule() { return g_locks.load() == 0; }

const std::string& ModulePath() {
  static const std::string path = ModulePathOf(reinterpret_cast<const void*>(&CanUnloadModule));
  return path;
}

}  // namespace cobrell
