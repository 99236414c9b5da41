// The registration scripts as data, applied to and removed from the
// registry, and the type library's part.
#include "agent/registration.h"

#include <vector>

#include "agent/request2_ids.h"
#include "platform/automation/bus_service.h"
#include "platform/automation/type_library.h"
#include "platform/registry/reg_key.h"

namespace {

struct ScriptValue {
  std::string key;
  const char* name;  // null: the key's default value
  std::string value;
};

// One registrar script: keys replaced whole before writing, the values it
// writes in order, and the trees its removal deletes.
struct Script {
  std::vector<std::string> replacedWhole;
  std::vector<ScriptValue> values;
  std::vector<std::string> keysOnly;
  std::vector<std::string> removedTrees;
};

Script Script102() {
  const std::string appId = GuidToString(APPID_LBAgent2);
  Script script;
  script.values = {
      {"AppID\\" + appId, nullptr, "LBAgent2"},
      {"AppID\\LBAgent2.EXE", "AppID", appId},
  };
  script.removedTrees = {"AppID\\" + appId, "AppID\\LBAgent2.EXE"};
  return script;
}

Script Script103(const std::string& module) {
  const std::string clsid = GuidToString(CLSID_Request2);
  const std::string classKey = "CLSID\\" + clsid;
  Script script;
  script.replacedWhole = {classKey};
  script.values = {
      {"LBAgent2.Request2.1", nullptr, "Request2 Class"},
      {"LBAgent2.Request2.1\\CLSID", nullptr, clsid},
      {"LBAgent2.Request2", nullptr, "Request2 Class"},
      {"LBAgent2.Request2\\CLSID", nullptr, clsid},
      {"LBAgent2.Request2\\CurVer", nullptr, "LBAgent2.Request2.1"},
      {classKey, nullptr, "Request2 Class"},
      {classKey + "\\ProgID", nullptr, "LBAgent2.Request2.1"},
      {classKey + "\\VersionIndependentProgID", nullptr, "LBAgent2.Request2"},
      {classKey + "\\LocalServer32", nullptr, module},
      {classKey, "AppID", GuidToString(APPID_LBAgent2)},
      {classKey + "\\TypeLib", nullptr, GuidToString(LIBID_LBAgent2)},
  };
  script.keysOnly = {classKey + "\\Programmable"};
  script.removedTrees = {"LBAgent2.Request2.1", "LBAgent2.Request2", classKey};
  return script;
}

HRESULT Apply(const Script& script) {
  for (const std::string& key : script.replacedWhole) {
    LONG result = RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return HResultFromWin32(result);
  }
  for (const ScriptValue& entry : script.values) {
    RegKey key;
    LONG result = key.Create(HKEY_CLASSES_ROOT, entry.key.c_str());
    if (result == ERROR_SUCCESS) {
      result = RegSetValueExA(key.Get(), entry.name, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(entry.value.c_str()),
                              static_cast<DWORD>(entry.value.size() + 1));
    }
    if (result != ERROR_SUCCESS) return HResultFromWin32(result);
  }
  for (const std::string& keyName : script.keysOnly) {
    RegKey key;
    LONG result = key.Create(HKEY_CLASSES_ROOT, keyName.c_str());
    if (result != ERROR_SUCCESS) return HResultFromWin32(result);
  }
  return S_OK;
}

HRESULT Remove(const Script& script) {
  for (const std::string& key : script.removedTrees) {
    LONG result = RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    // What is not there is removed already.
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return HResultFromWin32(result);
  }
  return S_OK;
}

std::string TypeLibraryPath(const std::string& modulePath) { return modulePath + ".tlb"; }

HRESULT RegisterTypeLibraryOf(const std::string& modulePath) {
  std::string path = TypeLibraryPath(modulePath);
  qap::automation::TypeLibraryPtr library;
  HRESULT hr = qap::automation::LoadTypeLibrary(path, &library);
  if (SUCCEEDED(hr)) hr = qap::automation::RegisterTypeLibrary(path);
  if (SUCCEEDED(hr))
    hr = qap::automation::RegisterBusService(library->busName, {modulePath, "-Embedding"});
  return hr;
}

HRESULT UnregisterTypeLibraryOf(const std::string& modulePath) {
  HRESULT hr =
      qap::automation::UnRegisterTypeLib(LIBID_LBAgent2, kLBAgent2LibMajor, kLBAgent2LibMinor);
  qap::automation::TypeLibraryPtr library;
  HRESULT loaded = qap::automation::LoadTypeLibrary(TypeLibraryPath(modulePath), &library);
  if (FAILED(loaded)) return FAILED(hr) ? hr : loaded;
  HRESULT removed = qap::automation::UnregisterBusService(library->busName);
  return FAILED(hr) ? hr : removed;
}

}  // namespace

HRESULT RegisterServer(const std::string& modulePath) {
  HRESULT hr = Apply(Script102());
  if (SUCCEEDED(hr)) hr = Apply(Script103(modulePath));
  if (SUCCEEDED(hr)) hr = RegisterTypeLibraryOf(modulePath);
  // Other processes (the bus starting the server, clients) read the hive
  // next.
  RegFlushKey(HKEY_CLASSES_ROOT);
  return hr;
}

HRESULT UnregisterServer(const std::string& modulePath) {
  HRESULT hr = Remove(Script102());
  if (SUCCEEDED(hr)) hr = Remove(Script103(modulePath));
  if (SUCCEEDED(hr)) hr = UnregisterTypeLibraryOf(modulePath);
  RegFlushKey(HKEY_CLASSES_ROOT);
  return hr;
}

int ExitCodeOf(HRESULT result) {
  if (SUCCEEDED(result)) return 0;
  int low = static_cast<int>(static_cast<std::uint32_t>(result) & 0xFF);
  return low != 0 ? low : 1;
}
