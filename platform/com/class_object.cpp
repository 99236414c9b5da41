// Class identifiers from text and class objects of in-process servers.
#include "platform/com/class_object.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "platform/base/codepage.h"
#include "platform/base/module_path.h"
#include "platform/base/paths.h"
#include "platform/registry/reg_key.h"

namespace {

std::string Narrow(LPCOLESTR text) { return text != nullptr ? WideToAnsi(text) : std::string(); }

bool IsBracedGuid(const std::string& text, CLSID* clsid) {
  return text.size() == 38 && text.front() == '{' && GuidFromString(text, clsid);
}

std::string ModuleHostPath(const std::string& server) {
  for (char c : server) {
    if (IsPathSeparator(c)) return ToHostPath(server);
  }
  return (std::filesystem::path(ExecutablePath()).parent_path() / server).string();
}

// Loaded servers by host path; never unloaded (see the header).
void* ServerModule(const std::string& path) {
  static std::mutex mutex;
  static auto* loaded = new std::map<std::string, void*>;
  std::lock_guard lock(mutex);
  auto found = loaded->find(path);
  if (found != loaded->end()) return found->second;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module != nullptr) loaded->emplace(path, module);
  return module;
}

// An entry point of the server module, or null with the error COM gives.
void* EntryPointOf(const std::string& server, const char* name, HRESULT* error) {
  const std::string path = ModuleHostPath(server);
  void* module = path.empty() ? nullptr : ServerModule(path);
  if (module == nullptr) {
    *error = CO_E_DLLNOTFOUND;
    return nullptr;
  }
  void* entry = dlsym(module, name);
  if (entry == nullptr) *error = CO_E_ERRORINDLL;
  return entry;
}

}  // namespace

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
  if (progId == nullptr || clsid == nullptr) return E_INVALIDARG;
  const std::string name = Narrow(progId);
  RegKey key;
  std::string text;
  if (name.empty() || key.Open(HKEY_CLASSES_ROOT, (name + "\\CLSID").c_str()) != ERROR_SUCCESS ||
      !key.ReadString(nullptr, &text) || !IsBracedGuid(text, clsid)) {
    return CO_E_CLASSSTRING;
  }
  return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (text == nullptr || clsid == nullptr) return E_INVALIDARG;
  const std::string name = Narrow(text);
  if (!name.empty() && name.front() == '{') {
    // Only the braced form is a class identifier; anything else in braces
    // is no ProgID either.
    return IsBracedGuid(name, clsid) ? S_OK : CO_E_CLASSSTRING;
  }
  return CLSIDFromProgID(text, clsid);
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  RegKey key;
  std::string server;
  const std::string keyName = "CLSID\\" + GuidToString(clsid) + "\\InprocServer32";
  if (key.Open(HKEY_CLASSES_ROOT, keyName.c_str()) != ERROR_SUCCESS ||
      !key.ReadString(nullptr, &server) || server.empty()) {
    return REGDB_E_CLASSNOTREG;
  }
  HRESULT error = S_OK;
  auto entry = reinterpret_cast<DllGetClassObjectFunction>(
      EntryPointOf(server, "DllGetClassObject", &error));
  if (entry == nullptr) return error;
  return entry(clsid, iid, object);
}

HRESULT CallServerRegistration(const std::string& server, bool registering) {
  HRESULT error = S_OK;
  auto entry = reinterpret_cast<HRESULT (*)()>(EntryPointOf(
      server, registering ? "DllRegisterServer" : "DllUnregisterServer", &error));
  return entry != nullptr ? entry() : error;
}
