// DllRegisterServer and DllUnregisterServer: the module's classes under
// HKEY_CLASSES_ROOT, each replaced whole when registered, and the music
// folder's junction under My Computer with its approval, attributes and icon.
#include <string>

#include "platform/automation/type_library.h"
#include "platform/base/os_version.h"
#include "platform/base/paths.h"
#include "platform/registry/reg_key.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/module.h"
#include "shellfolder/view_interfaces.h"

namespace {

constexpr char kTypeLibrary[] = "{49C49AD4-996D-11D3-8830-5254ABDE229C}";
constexpr char kApprovedKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr char kNamespaceKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace\\";
constexpr char kApprovalText[] = "Mp3DbView";
// SFGAO_FOLDER | SFGAO_HASSUBFOLDER, as the shell reads it: little-endian.
constexpr BYTE kFolderAttributes[] = {0x00, 0x00, 0x00, 0xA0};

struct ClassEntry {
  const char* name;
  const char* classId;
  const char* description;
  const char* threading;
  bool typeLibrary;
  bool currentVersion;
  bool control;  // Control, Insertable, MiscStatus, Version
  bool programmable;
};

// In the order the module registers them.
const ClassEntry kClasses[] = {
    {"Mp3DbShellFolder", "{49C49A94-996D-11D3-8830-5254ABDE229C}", "QAP Music Jukebox", "Apartment",
     true, true, false, false},
    {"Mp3DbShellView", "{49C49A96-996D-11D3-8830-5254ABDE229C}", "Mp3DbShellView Class",
     "Apartment", true, true, false, false},
    {"EnumIDList", "{49C49AE4-996D-11D3-8830-5254ABDE229C}", "EnumIDList Class", "both", false,
     false, false, false},
    {"Mp3DbDefView", "{4F9B3FC8-9BE5-11D3-8830-5254ABDE229C}", "Mp3DbDefView Class", "Apartment",
     true, true, false, false},
    {"Mp3DbClassicView", "{85E85B52-9C8A-11D3-8830-5254ABDE229C}", "Mp3DbClassicView Class",
     "Apartment", true, false, true, true},
    {"Mp3DbWebView", "{85E85B55-9C8A-11D3-8830-5254ABDE229C}", "Mp3DbWebView Class", "Apartment",
     true, true, false, true},
};

// The script's subkeys of a class key (all but the ones a class lacks are
// written).
const char* const kClassSubkeys[] = {"ProgID",         "VersionIndependentProgID",
                                     "InprocServer32", "TypeLib",
                                     "Control",        "Programmable",
                                     "Insertable",     "MiscStatus",
                                     "Version"};

std::string ClassKey(const ClassEntry& entry) { return std::string("CLSID\\") + entry.classId; }
std::string ProgId(const ClassEntry& entry) { return std::string("Cobrell.") + entry.name; }
std::string VersionedProgId(const ClassEntry& entry) { return ProgId(entry) + ".1"; }

bool SetString(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

// Writes keys and values, keeping the first failure.
class ScriptWriter {
 public:
  // Creates root\path and sets its default value (when given) and one
  // named value (when given).
  void Key(HKEY root, const std::string& path, const char* defaultValue,
           const char* valueName = nullptr, const std::string& value = {}) {
    RegKey key;
    LONG error = key.Create(root, path.c_str());
    if (error == ERROR_SUCCESS && defaultValue != nullptr &&
        !SetString(key.Get(), nullptr, defaultValue))
      error = ERROR_CANTWRITE;
    if (error == ERROR_SUCCESS && valueName != nullptr && !SetString(key.Get(), valueName, value))
      error = ERROR_CANTWRITE;
    if (m_error == ERROR_SUCCESS) m_error = error;
  }
  void Remove(HKEY root, const std::string& path) {
    const LONG error = RegDeleteTreeA(root, path.c_str());
    if (m_error == ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) m_error = error;
  }
  HRESULT Result() const { return HResultFromWin32(static_cast<DWORD>(m_error)); }

 private:
  LONG m_error = ERROR_SUCCESS;
};

HRESULT RegisterScript(const ClassEntry& entry) {
  ScriptWriter script;
  const std::string progId = ProgId(entry);
  const std::string versioned = VersionedProgId(entry);
  script.Key(HKEY_CLASSES_ROOT, versioned, entry.description);
  script.Key(HKEY_CLASSES_ROOT, versioned + "\\CLSID", entry.classId);
  script.Key(HKEY_CLASSES_ROOT, progId, entry.description);
  script.Key(HKEY_CLASSES_ROOT, progId + "\\CLSID", entry.classId);
  if (entry.currentVersion) script.Key(HKEY_CLASSES_ROOT, progId + "\\CurVer", versioned.c_str());

  // The class key is replaced whole.
  const std::string classKey = ClassKey(entry);
  script.Remove(HKEY_CLASSES_ROOT, classKey);
  script.Key(HKEY_CLASSES_ROOT, classKey, entry.description);
  script.Key(HKEY_CLASSES_ROOT, classKey + "\\ProgID", versioned.c_str());
  script.Key(HKEY_CLASSES_ROOT, classKey + "\\VersionIndependentProgID", progId.c_str());
  script.Key(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", cobrell::ModulePath().c_str(),
             "ThreadingModel", entry.threading);
  if (entry.typeLibrary) script.Key(HKEY_CLASSES_ROOT, classKey + "\\TypeLib", kTypeLibrary);
  if (entry.programmable) script.Key(HKEY_CLASSES_ROOT, classKey + "\\Programmable", nullptr);
  if (entry.control) {
    script.Key(HKEY_CLASSES_ROOT, classKey + "\\Control", nullptr);
    script.Key(HKEY_CLASSES_ROOT, classKey + "\\Insertable", nullptr);
    script.Key(HKEY_CLASSES_ROOT, classKey + "\\MiscStatus", "0");
    script.Key(HKEY_CLASSES_ROOT, classKey + "\\MiscStatus\\1", "131505");
    script.Key(HKEY_CLASSES_ROOT, classKey + "\\Version", "1.0");
  }
  return script.Result();
}

// Removes what the script wrote; the class key itself goes once nothing
// else is left in it.
HRESULT UnregisterScript(const ClassEntry& entry) {
  ScriptWriter script;
  script.Remove(HKEY_CLASSES_ROOT, VersionedProgId(entry));
  script.Remove(HKEY_CLASSES_ROOT, ProgId(entry));
  const std::string classKey = ClassKey(entry);
  for (const char* subkey : kClassSubkeys)
    script.Remove(HKEY_CLASSES_ROOT, classKey + "\\" + subkey);
  RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, classKey.c_str(), KEY_READ | KEY_WRITE) == ERROR_SUCCESS)
    RegDeleteValueA(key.Get(), nullptr);
  return script.Result();
}

void RemoveClassKeyIfEmpty(const ClassEntry& entry) {
  const std::string classKey = ClassKey(entry);
  RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, classKey.c_str()) != ERROR_SUCCESS) return;
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
      subkeys != 0 || values != 0) {
    return;
  }
  key.Reset();
  RegDeleteKeyA(HKEY_CLASSES_ROOT, classKey.c_str());
}

// The junction under My Computer, its approval on NT, and the folder's
// attributes and icon. Every step runs; any failure makes the result E_FAIL,
// and without the junction key nothing more is written.
HRESULT RegisterFolder(const ClassEntry& entry, bool onNt, HRESULT result) {
  if (onNt) {
    RegKey approved;
    if (approved.Create(HKEY_LOCAL_MACHINE, kApprovedKey) != ERROR_SUCCESS ||
        !SetString(approved.Get(), entry.classId, kApprovalText)) {
      result = E_FAIL;
    }
  }
  RegKey junction;
  if (junction.Create(HKEY_LOCAL_MACHINE, (std::string(kNamespaceKey) + entry.classId).c_str()) !=
      ERROR_SUCCESS) {
    return E_FAIL;
  }
  if (!SetString(junction.Get(), nullptr, kMusicFolderName)) result = E_FAIL;

  RegKey shellFolder;
  if (shellFolder.Create(HKEY_CLASSES_ROOT, (ClassKey(entry) + "\\ShellFolder").c_str()) !=
          ERROR_SUCCESS ||
      RegSetValueExA(shellFolder.Get(), "Attributes", 0, REG_BINARY, kFolderAttributes,
                     sizeof kFolderAttributes) != ERROR_SUCCESS) {
    result = E_FAIL;
  }
  RegKey icon;
  if (icon.Create(HKEY_CLASSES_ROOT, (ClassKey(entry) + "\\DefaultIcon").c_str()) !=
          ERROR_SUCCESS ||
      !SetString(icon.Get(), nullptr, cobrell::ModulePath() + ",0")) {
    result = E_FAIL;
  }
  return result;
}

HRESULT UnregisterFolder(const ClassEntry& entry, bool onNt, HRESULT result) {
  if (onNt) {
    RegKey approved;
    if (approved.Open(HKEY_LOCAL_MACHINE, kApprovedKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS ||
        RegDeleteValueA(approved.Get(), entry.classId) != ERROR_SUCCESS) {
      result = E_FAIL;
    }
  }
  if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kNamespaceKey) + entry.classId).c_str()) !=
      ERROR_SUCCESS) {
    result = E_FAIL;
  }
  if (RegDeleteKeyA(HKEY_CLASSES_ROOT, (ClassKey(entry) + "\\DefaultIcon").c_str()) !=
      ERROR_SUCCESS) {
    result = E_FAIL;
  }
  // Registration wrote the attributes too; without them gone the class key
  // would outlive the module's registration.
  RegDeleteKeyA(HKEY_CLASSES_ROOT, (ClassKey(entry) + "\\ShellFolder").c_str());
  return result;
}

bool IsFolder(const ClassEntry& entry) { return &entry == &kClasses[0]; }

// Whether the system is NT; false when the version cannot be read.
bool ReadPlatform(bool* onNt) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  *onNt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  return true;
}

// CobrellLib lies beside the module.
std::string TypeLibraryPath() { return SplitPath(cobrell::ModulePath()).folder + "Cobrell.tlb"; }

}  // namespace

HRESULT DllRegisterServer() try {
  bool onNt = false;
  if (!ReadPlatform(&onNt)) return E_FAIL;
  for (const ClassEntry& entry : kClasses) {
    HRESULT result = RegisterScript(entry);
    if (IsFolder(entry)) result = RegisterFolder(entry, onNt, result);
    if (FAILED(result)) return result;
  }
  return qap::automation::RegisterTypeLibrary(TypeLibraryPath());
} catch (...) {
  return E_OUTOFMEMORY;
}

// Every class is removed even when an earlier one failed.
HRESULT DllUnregisterServer() try {
  bool onNt = false;
  if (!ReadPlatform(&onNt)) return E_FAIL;
  HRESULT overall = S_OK;
  for (const ClassEntry& entry : kClasses) {
    HRESULT result = UnregisterScript(entry);
    if (IsFolder(entry)) result = UnregisterFolder(entry, onNt, result);
    RemoveClassKeyIfEmpty(entry);
    if (FAILED(result) && SUCCEEDED(overall)) overall = result;
  }
  const HRESULT library = qap::automation::UnRegisterTypeLib(LIBID_CobrellLib, kCobrellLibMajor,
                                                             kCobrellLibMinor);
  return FAILED(overall) ? overall : library;
} catch (...) {
  return E_OUTOFMEMORY;
}
