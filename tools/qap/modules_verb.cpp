// qap modules: the transfer layer's module registry: registering converter
// components and the layer's built-in modules, listing and removing them.
#include <iomanip>
#include <iostream>

#include "drumlet/module_list.h"
#include "suite/quadrin/module_admin.h"
#include "tools/qap/transfer_host.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "modules", "register and list the transfer layer's reader, writer and device modules",
    "usage: qap modules register FILE\n"
    "       qap modules register --builtin\n"
    "       qap modules list\n"
    "       qap modules unregister ID\n\n"
    "register FILE   registers the converter component in FILE (a shared library\n"
    "                with the CreateObject, GetDescription and GetExtensions\n"
    "                exports) under its own short ID, as a reader or a writer\n"
    "register --builtin\n"
    "                registers the components built with the suite (WMA, WAV and\n"
    "                MP3 readers and writers, found beside the layer's library)\n"
    "                and the layer's own modules: the CD image writer\n"
    "                (QuadrinCDWriter), the portable players (QuadrinPortable)\n"
    "                and the recorder (QuadrinRecorder)\n"
    "list            shows every registered module: short ID, kind, file\n"
    "                extensions, description and module file\n"
    "unregister ID   removes a module from the registry\n\n"
    "The registry is HKEY_CURRENT_USER\\SOFTWARE\\ZelVar\\Quadrin.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

constexpr DWORD kErrorSize = 4096;

std::string KindOf(ModuleStyle style) {
  std::string kinds;
  const std::pair<ModuleStyle, const char*> names[] = {{kStyleReader, "reader"},
                                                       {kStyleWriter, "writer"},
                                                       {kStyleDevice, "device"},
                                                       {kStyleRecorder, "recorder"}};
  for (const auto& [bit, name] : names) {
    if ((style & bit) == 0) continue;
    if (!kinds.empty()) kinds += ',';
    kinds += name;
  }
  return kinds.empty() ? "-" : kinds;
}

int Register(const Args& args) {
  std::string error(kErrorSize, '\0');
  if (args[1] == "--builtin") {
    const bool ok = RegisterBuiltinModules(error.data(), kErrorSize) == kQuadrinOk;
    if (!ok) std::cerr << "qap modules: " << error.c_str() << "\n";
    std::cout << (ok ? "Registered the built-in modules\n"
                     : "Registered the built-in modules that could be registered\n");
    return ok ? 0 : 1;
  }
  ModuleDescriptor registered{};
  if (RegisterModuleFile(args[1].c_str(), &registered, error.data(), kErrorSize) != kQuadrinOk) {
    std::cerr << "qap modules: cannot register " << args[1] << ": " << error.c_str() << "\n";
    return 1;
  }
  std::cout << "Registered " << registered.shortId << " (" << registered.description << ")\n";
  return 0;
}

int List() {
  std::vector<ModuleInfo> modules;
  drumlet::ListModules(~ModuleStyle{0}, &modules);
  if (modules.empty()) {
    std::cout << "No modules are registered; \"qap modules register --builtin\" registers "
                 "the suite's own.\n";
    return 0;
  }
  CWMRegUtil registry;
  registry.Open();
  std::cout << std::left << std::setw(17) << "ID" << std::setw(10) << "KIND" << std::setw(11)
            << "EXTENSIONS" << "DESCRIPTION\n";
  for (const ModuleInfo& module : modules) {
    char file[1024] = "";
    registry.SetPath("Quadrin", module.shortId);
    const bool hasFile = registry.GetValue("module", file, sizeof file) && file[0] != '\0';
    const std::string extensions = module.extensions[0] != '\0' ? module.extensions : "-";
    std::cout << std::left << std::setw(17) << module.shortId << std::setw(10)
              << KindOf(module.style) << std::setw(11) << extensions << module.description
              << "\n"
              << std::setw(38) << "" << (hasFile ? file : "(built into the layer)") << "\n";
  }
  return 0;
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "which of register, list or unregister?");
  if (args[0] == "register") {
    if (args.size() != 2) return UsageError(kVerb, "register takes FILE or --builtin");
    return Register(args);
  }
  if (args[0] == "list") {
    if (args.size() != 1) return UsageError(kVerb, "list takes no arguments");
    return List();
  }
  if (args[0] == "unregister") {
    if (args.size() != 2) return UsageError(kVerb, "unregister takes a module's short ID");
    if (UnregisterModule(args[1].c_str()) != kQuadrinOk) {
      std::cerr << "qap modules: no module \"" << args[1] << "\" is registered\n";
      return 1;
    }
    std::cout << "Unregistered " << args[1] << "\n";
    return 0;
  }
  return UsageError(kVerb, "unknown action '" + args[0] + "'");
}

}  // namespace
}  // namespace qap
