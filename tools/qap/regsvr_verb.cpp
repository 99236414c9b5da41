// qap regsvr: registers an in-process COM server in the user's registry, as
// regsvr32 does (the skin controls that Drumlet's dialogs embed, for one).
#include <cstdio>
#include <iostream>

#include "platform/com/class_object.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{"regsvr", "register an in-process COM server, as regsvr32 does",
                 "usage: qap regsvr [-u] FILE\n\n"
                 "Loads the server module FILE (a path, or a file name beside qap) and calls\n"
                 "its DllRegisterServer, or with -u its DllUnregisterServer. set-up registers\n"
                 "the skin controls (libSkinControls.so) this way.\n",
                 Run};
const VerbRegistrar kRegistrar(kVerb);

int Run(const Args& args) {
  const bool unregister = !args.empty() && args[0] == "-u";
  if (args.size() != (unregister ? 2u : 1u)) return UsageError(kVerb, "which server module?");
  const std::string& module = args.back();
  const HRESULT result = CallServerRegistration(module, !unregister);
  if (result == CO_E_DLLNOTFOUND) {
    std::cerr << "qap regsvr: cannot load " << module << "\n";
    return 1;
  }
  if (result == CO_E_ERRORINDLL) {
    std::cerr << "qap regsvr: " << module << " has no "
              << (unregister ? "DllUnregisterServer" : "DllRegisterServer") << " entry point\n";
    return 1;
  }
  if (FAILED(result)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
    std::cerr << "qap regsvr: " << (unregister ? "unregistering " : "registering ") << module
              << " failed (" << code << ")\n";
    return 1;
  }
  std::cout << (unregister ? "Unregistered " : "Registered ") << module << "\n";
  return 0;
}

}  // namespace
}  // namespace qap
