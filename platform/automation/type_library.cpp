// Reading description files and keeping their registration.
#include "platform/automation/type_library.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/automation/xml_reader.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/registry/reg_key.h"

namespace qap::automation {
namespace {

constexpr std::string_view kPrefix = "org.qap.TypeLib.";
constexpr std::string_view kArgumentTypes = "sinuqybv";

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool IsMemberName(std::string_view name) {
  if (name.empty() || name.size() > 255 || !IsNameStart(name[0])) return false;
  for (char c : name) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

// Interface names, and with dashes allowed, well-known bus names.
bool IsDottedName(std::string_view name, bool dashes) {
  if (name.empty() || name.size() > 255) return false;
  size_t elements = 0;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('.', start);
    std::string_view element =
        name.substr(start, end == std::string_view::npos ? end : end - start);
    if (element.empty() || std::isdigit(static_cast<unsigned char>(element[0]))) return false;
    for (char c : element) {
      if (!IsNameChar(c) && !(dashes && c == '-')) return false;
    }
    ++elements;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return elements >= 2;
}

bool IsObjectPath(std::string_view path) {
  if (path.empty() || path[0] != '/') return false;
  if (path.size() == 1) return true;
  if (path.back() == '/') return false;
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '/' ? path[i - 1] == '/' : !IsNameChar(path[i])) return false;
  }
  return true;
}

// The value of <annotation name="org.qap.TypeLib.<key>">, or null.
const std::string* Annotation(const XmlElement& element, std::string_view key) {
  for (const XmlElement& child : element.children) {
    const std::string* name = child.Attribute("name");
    if (child.name == "annotation" && name != nullptr &&
        name->size() == kPrefix.size() + key.size() &&
        name->compare(0, kPrefix.size(), kPrefix) == 0 &&
        name->compare(kPrefix.size(), std::string::npos, key) == 0) {
      return child.Attribute("value");
    }
  }
  return nullptr;
}

bool ParseDispId(const std::string& text, DISPID* dispId) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
  *dispId = static_cast<DISPID>(value);
  return true;
}

class Loader {
 public:
  bool Load(const XmlElement& node, TypeLibrary* library) {
    if (node.name != "node") return Fail("the document is not a <node>");
    const std::string* path = node.Attribute("name");
    if (path == nullptr || !IsObjectPath(*path)) return Fail("the node names no object path");
    library->objectPath = *path;
    const std::string* id = Annotation(node, "Id");
    if (id == nullptr || !GuidFromString(*id, &library->libId)) return Fail("no library Id");
    const std::string* coClass = Annotation(node, "CoClass");
    if (coClass == nullptr || !GuidFromString(*coClass, &library->coClass)) {
      return Fail("no CoClass");
    }
    const std::string* version = Annotation(node, "Version");
    unsigned major = 0, minor = 0;
    char extra = 0;
    if (version == nullptr ||
        std::sscanf(version->c_str(), "%u.%u%c", &major, &minor, &extra) != 2 || major > 0xFFFF ||
        minor > 0xFFFF) {
      return Fail("no Version of the form major.minor");
    }
    library->major = static_cast<WORD>(major);
    library->minor = static_cast<WORD>(minor);
    const std::string* busName = Annotation(node, "BusName");
    if (busName == nullptr || !IsDottedName(*busName, true)) return Fail("no valid BusName");
    library->busName = *busName;
    if (const std::string* help = Annotation(node, "HelpString")) library->helpString = *help;
    for (const XmlElement& child : node.children) {
      if (child.name != "interface") continue;
      TypeInterface entry;
      if (!Interface(child, &entry)) return false;
      library->interfaces.push_back(std::move(entry));
    }
    if (library->DefaultInterface() == nullptr) return Fail("no interface to serve");
    return true;
  }

  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const std::string& message) {
    m_error = message;
    return false;
  }

  bool Interface(const XmlElement& element, TypeInterface* entry) {
    const std::string* name = element.Attribute("name");
    if (name == nullptr || !IsDottedName(*name, false))
      return Fail("an interface has no valid name");
    entry->name = *name;
    const std::string* iid = Annotation(element, "Iid");
    if (iid == nullptr || !GuidFromString(*iid, &entry->iid)) return Fail(*name + " has no Iid");
    const std::string* source = Annotation(element, "Source");
    entry->source = source != nullptr && *source == "true";
    for (const XmlElement& child : element.children) {
      if (child.name != "method" && child.name != "signal") continue;
      if ((child.name == "signal") != entry->source) {
        return Fail(*name + ": an event interface has signals, any other methods");
      }
      TypeMember member;
      if (!Member(child, entry->source, &member)) return false;
      if (entry->FindDispId(member.dispId) != nullptr || entry->FindName(member.name) != nullptr) {
        return Fail(*name + ": " + member.name + " repeats a name or DispId");
      }
      entry->members.push_back(std::move(member));
    }
    return true;
  }

  bool Member(const XmlElement& element, bool signal, TypeMember* member) {
    const std::string* name = element.Attribute("name");
    if (name == nullptr || !IsMemberName(*name)) return Fail("a member has no valid name");
    member->name = *name;
    const std::string* dispId = Annotation(element, "DispId");
    if (dispId == nullptr || !ParseDispId(*dispId, &member->dispId)) {
      return Fail(*name + " has no DispId");
    }
    const std::string* success = Annotation(element, "SuccessResult");
    member->successResult = success != nullptr && *success == "true";
    for (const XmlElement& child : element.children) {
      if (child.name != "arg") continue;
      const std::string* type = child.Attribute("type");
      const std::string* direction = child.Attribute("direction");
      const std::string* argName = child.Attribute("name");
      if (type == nullptr || type->size() != 1 ||
          kArgumentTypes.find((*type)[0]) == std::string::npos) {
        return Fail(*name + ": an argument's type is not one of " + std::string(kArgumentTypes));
      }
      // A name that is no identifier could never be asked for by name.
      if (argName != nullptr && !argName->empty() && !IsMemberName(*argName))
        return Fail(*name + ": an argument's name is not a valid name");
      bool out = direction != nullptr && *direction == "out";
      if (out && (signal || member->Result() != nullptr)) {
        return Fail(*name + ": only a method has an out argument, and only one");
      }
      member->arguments.push_back(
          TypeArgument{argName != nullptr ? *argName : "", (*type)[0], out});
    }
    if (member->successResult && (member->Result() == nullptr || member->Result()->type != 'b')) {
      return Fail(*name + ": a SuccessResult method answers one boolean");
    }
    return true;
  }

  std::string m_error;
};

std::string VersionKey(REFGUID libId, WORD major, WORD minor) {
  char version[16];
  std::snprintf(version, sizeof version, "%x.%x", major, minor);
  return "TypeLib\\" + GuidToString(libId) + "\\" + version;
}

bool ReadDefault(HKEY parent, const std::string& subKey, std::string* value) {
  RegKey key;
  return key.Open(parent, subKey.c_str()) == ERROR_SUCCESS && key.ReadString(nullptr, value);
}

LONG WriteDefault(HKEY parent, const std::string& subKey, const std::string& value) {
  RegKey key;
  LONG result = key.Create(parent, subKey.c_str());
  if (result != ERROR_SUCCESS) return result;
  return RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
}

}  // namespace

std::string TypeMember::InSignature() const {
  std::string signature;
  for (const TypeArgument& argument : arguments) {
    if (!argument.out) signature += argument.type;
  }
  return signature;
}

std::string TypeMember::OutSignature() const {
  const TypeArgument* result = Result();
  return result != nullptr ? std::string(1, result->type) : std::string();
}

UINT TypeMember::InCount() const { return static_cast<UINT>(InSignature().size()); }

const TypeArgument* TypeMember::Result() const {
  for (const TypeArgument& argument : arguments) {
    if (argument.out) return &argument;
  }
  return nullptr;
}

const TypeMember* TypeInterface::FindDispId(DISPID dispId) const {
  for (const TypeMember& member : members) {
    if (member.dispId == dispId) return &member;
  }
  return nullptr;
}

const TypeMember* TypeInterface::FindName(std::string_view memberName) const {
  for (const TypeMember& member : members) {
    if (member.name.size() != memberName.size()) continue;
    bool same = true;
    for (size_t i = 0; same && i < memberName.size(); ++i) {
      same = std::tolower(static_cast<unsigned char>(member.name[i])) ==
             std::tolower(static_cast<unsigned char>(memberName[i]));
    }
    if (same) return &member;
  }
  return nullptr;
}

HRESULT TypeInterface::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* dispIds) const {
  if (names == nullptr || dispIds == nullptr || count == 0) return E_INVALIDARG;
  const TypeMember* member = FindName(WideToAnsi(std::u16string_view(names[0]), CP_UTF8));
  dispIds[0] = member != nullptr ? member->dispId : DISPID_UNKNOWN;
  HRESULT hr = member != nullptr ? S_OK : DISP_E_UNKNOWNNAME;
  for (UINT i = 1; i < count; ++i) {
    dispIds[i] = DISPID_UNKNOWN;
    std::string argumentName = WideToAnsi(std::u16string_view(names[i]), CP_UTF8);
    DISPID position = 0;
    for (size_t a = 0; member != nullptr && a < member->arguments.size(); ++a) {
      if (member->arguments[a].out) continue;
      if (member->arguments[a].name == argumentName) dispIds[i] = position;
      ++position;
    }
    if (dispIds[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

const TypeInterface* TypeLibrary::Find(REFIID iid) const {
  for (const TypeInterface& entry : interfaces) {
    if (IsEqualGUID(entry.iid, iid)) return &entry;
  }
  return nullptr;
}

const TypeInterface* TypeLibrary::DefaultInterface() const {
  for (const TypeInterface& entry : interfaces) {
    if (!entry.source) return &entry;
  }
  return nullptr;
}

HRESULT LoadTypeLibrary(const std::string& path, TypeLibraryPtr* library, std::string* error) {
  if (library == nullptr) return E_POINTER;
  std::string message;
  std::ifstream in(ToHostPath(path), std::ios::binary);
  std::ostringstream text;
  XmlElement root;
  auto loaded = std::make_shared<TypeLibrary>();
  Loader loader;
  if (!in) {
    message = "cannot read " + path;
  } else if (text << in.rdbuf(); !ParseXml(text.str(), &root, &message)) {
    message = path + ": " + message;
  } else if (!loader.Load(root, loaded.get())) {
    message = path + ": " + loader.Error();
  } else {
    loaded->path = path;
    *library = std::move(loaded);
    return S_OK;
  }
  if (error != nullptr) *error = message;
  return TYPE_E_CANTLOADLIBRARY;
}

HRESULT RegisterTypeLibrary(const std::string& path) {
  TypeLibraryPtr library;
  HRESULT hr = LoadTypeLibrary(path, &library);
  if (FAILED(hr)) return hr;
  std::string key = VersionKey(library->libId, library->major, library->minor);
  std::string folder = SplitPath(path).folder;
  while (folder.size() > 1 && IsPathSeparator(folder.back())) folder.pop_back();
  for (const auto& [subKey, value] :
       {std::pair{key, library->helpString}, std::pair{key + "\\0\\win32", path},
        std::pair{key + "\\FLAGS", std::string("0")}, std::pair{key + "\\HELPDIR", folder}}) {
    if (WriteDefault(HKEY_CLASSES_ROOT, subKey, value) != ERROR_SUCCESS)
      return TYPE_E_REGISTRYACCESS;
  }
  return S_OK;
}

HRESULT UnRegisterTypeLib(REFGUID libId, WORD major, WORD minor) {
  if (RegDeleteTreeA(HKEY_CLASSES_ROOT, VersionKey(libId, major, minor).c_str()) != ERROR_SUCCESS) {
    return TYPE_E_REGISTRYACCESS;
  }
  std::string libraryKey = "TypeLib\\" + GuidToString(libId);
  RegKey key;
  DWORD subKeys = 0;
  if (key.Open(HKEY_CLASSES_ROOT, libraryKey.c_str()) == ERROR_SUCCESS &&
      RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
      subKeys == 0) {
    key.Reset();
    RegDeleteKeyA(HKEY_CLASSES_ROOT, libraryKey.c_str());
  }
  return S_OK;
}

HRESULT LoadRegisteredTypeLibrary(REFGUID libId, WORD major, WORD minor, TypeLibraryPtr* library) {
  std::string path;
  if (!ReadDefault(HKEY_CLASSES_ROOT, VersionKey(libId, major, minor) + "\\0\\win32", &path)) {
    return TYPE_E_LIBNOTREGISTERED;
  }
  TypeLibraryPtr loaded;
  HRESULT hr = LoadTypeLibrary(path, &loaded);
  if (FAILED(hr)) return hr;
  if (!IsEqualGUID(loaded->libId, libId) || loaded->major != major || loaded->minor != minor) {
    return TYPE_E_LIBNOTREGISTERED;
  }
  *library = std::move(loaded);
  return S_OK;
}

HRESULT TypeLibraryOfClass(REFCLSID clsid, TypeLibraryPtr* library) {
  std::string libIdText;
  GUID libId{};
  if (!ReadDefault(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\TypeLib", &libIdText) ||
      !GuidFromString(libIdText, &libId)) {
    return REGDB_E_CLASSNOTREG;
  }
  RegKey versions;
  if (versions.Open(HKEY_CLASSES_ROOT, ("TypeLib\\" + GuidToString(libId)).c_str()) !=
      ERROR_SUCCESS) {
    return REGDB_E_CLASSNOTREG;
  }
  unsigned bestMajor = 0, bestMinor = 0;
  bool found = false;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(versions.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    unsigned major = 0, minor = 0;
    char extra = 0;
    if (std::sscanf(name, "%x.%x%c", &major, &minor, &extra) != 2 || major > 0xFFFF ||
        minor > 0xFFFF) {
      continue;
    }
    if (!found || major > bestMajor || (major == bestMajor && minor > bestMinor)) {
      bestMajor = major;
      bestMinor = minor;
      found = true;
    }
  }
  TypeLibraryPtr loaded;
  if (!found ||
      FAILED(LoadRegisteredTypeLibrary(libId, static_cast<WORD>(bestMajor),
                                       static_cast<WORD>(bestMinor), &loaded)) ||
      !IsEqualGUID(loaded->coClass, clsid)) {
    return REGDB_E_CLASSNOTREG;
  }
  *library = std::move(loaded);
  return S_OK;
}

}  // namespace qap::automation
