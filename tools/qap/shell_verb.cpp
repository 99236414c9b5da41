// qap shell: the music folder (Cobrell) driven as the Windows shell drives
// it: the module loaded with dlopen, its class object taken from
// DllGetClassObject, the folders walked through IShellFolder and
// IEnumIDList, and its registration entry points called; and the shell
// browser, which finds the namespace extensions through the registry alone.
#include <dlfcn.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "converters/component_loader.h"
#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/extract_icon.h"
#include "platform/shell/my_computer.h"
#include "platform/shell/shell_browser.h"
#include "platform/shell/shell_folder.h"
#include "platform/base/string_compare.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/music_item.h"
#include "suite/musicdb/core/database.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{"shell", "browse the music folder and register it, as the Windows shell does",
                 "usage: qap shell ls [-R] [PATH]\n"
                 "       qap shell register\n"
                 "       qap shell unregister\n"
                 "       qap shell browse [--open] [PATH]\n\n"
                 "ls          lists a music folder's children as the shell sees them: kind,\n"
                 "            id, attributes, icon, display name and parsing name. PATH is a\n"
                 "            display path below the junction, names separated by '\\', such\n"
                 "            as \"Music\\Artists\" (case is ignored; a leading\n"
                 "            \"QAP Music Jukebox\" may be given); none means the junction.\n"
                 "            -R lists every folder below as well.\n"
                 "register    calls DllRegisterServer: the module's classes, the junction\n"
                 "            under My Computer and its approval, and the views' type\n"
                 "            library CobrellLib (Cobrell.tlb beside the module)\n"
                 "unregister  calls DllUnregisterServer\n"
                 "browse      opens the shell browser on the folder PATH below My Computer\n"
                 "            (names separated by '\\', such as \"QAP Music Jukebox\\Music\";\n"
                 "            none means My Computer), with the folder tree beside the\n"
                 "            folder's view, or without it with --open. It finds the\n"
                 "            namespace extensions registered under My Computer, as the\n"
                 "            Windows shell does, and ends when its last window closes.\n\n"
                 "Cobrell is loaded from $QAP_BIN_DIR, else from beside qap. The registry is\n"
                 "$QAP_REGISTRY, the music database $QAP_MUSIC_DB (see qap reg, qap library).\n",
                 Run};
const VerbRegistrar kRegistrar(kVerb);

constexpr ULONG kBatch = 64;

std::string ResultText(HRESULT result) {
  static const std::map<HRESULT, const char*> kNames = {
      {S_OK, "S_OK"},
      {S_FALSE, "S_FALSE"},
      {E_FAIL, "E_FAIL"},
      {E_INVALIDARG, "E_INVALIDARG"},
      {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
      {E_NOINTERFACE, "E_NOINTERFACE"},
      {E_NOTIMPL, "E_NOTIMPL"},
      {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE"}};
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(result));
  const auto name = kNames.find(result);
  return name != kNames.end() ? std::string(hex) + " (" + name->second + ")" : hex;
}

// The module as the shell holds it: loaded, its entry points found, and
// unloaded only when it says it may be.
class CobrellModule {
 public:
  CobrellModule() : m_path(ComponentPath("Cobrell")) {
    m_handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
      const char* reason = dlerror();
      m_error = reason != nullptr ? reason : "cannot load " + m_path;
      return;
    }
    m_getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(dlsym(m_handle, "DllGetClassObject"));
    m_canUnloadNow = reinterpret_cast<DllServerFunction>(dlsym(m_handle, "DllCanUnloadNow"));
    m_register = reinterpret_cast<DllServerFunction>(dlsym(m_handle, "DllRegisterServer"));
    m_unregister = reinterpret_cast<DllServerFunction>(dlsym(m_handle, "DllUnregisterServer"));
    if (m_getClassObject == nullptr || m_canUnloadNow == nullptr || m_register == nullptr ||
        m_unregister == nullptr) {
      m_error = m_path + " is not a COM server (an entry point is missing)";
    }
  }
  ~CobrellModule() {
    if (m_handle != nullptr && (m_canUnloadNow == nullptr || m_canUnloadNow() == S_OK))
      dlclose(m_handle);
  }
  CobrellModule(const CobrellModule&) = delete;
  CobrellModule& operator=(const CobrellModule&) = delete;

  const std::string& Path() const { return m_path; }
  const std::string& Error() const { return m_error; }
  HRESULT Register() const { return m_register(); }
  HRESULT Unregister() const { return m_unregister(); }

  // The junction folder, made and initialised as the shell makes it.
  HRESULT OpenJunction(ComPtr<IShellFolder>* folder) const {
    ComPtr<IClassFactory> factory;
    HRESULT result = m_getClassObject(CLSID_Mp3DbShellFolder, IID_IClassFactory, factory.OutVoid());
    if (FAILED(result)) return result;
    ComPtr<IPersistFolder> persist;
    result = factory->CreateInstance(nullptr, IID_IPersistFolder, persist.OutVoid());
    if (FAILED(result)) return result;
    // My Computer's item, then the junction's, as Explorer names the folder.
    const std::u16string path = std::u16string(kMyComputerParsingName) + u"\\::" +
                                AnsiToWide(GuidToString(CLSID_Mp3DbShellFolder));
    LPITEMIDLIST junction = nullptr;
    result = SHParseDisplayName(path.c_str(), nullptr, &junction, 0, nullptr);
    if (FAILED(result)) return result;
    UniqueItemIdList owner(junction);
    result = persist->Initialize(junction);
    if (FAILED(result)) return result;
    return persist.As(IID_IShellFolder, folder);
  }

 private:
  std::string m_path;
  std::string m_error;
  void* m_handle = nullptr;
  DllGetClassObjectFunction m_getClassObject = nullptr;
  DllServerFunction m_canUnloadNow = nullptr;
  DllServerFunction m_register = nullptr;
  DllServerFunction m_unregister = nullptr;
};

std::u16string DisplayName(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags) {
  STRRET name{};
  if (FAILED(folder->GetDisplayNameOf(item, flags, &name))) return u"?";
  char16_t buffer[4096];
  return SUCCEEDED(StrRetToBufW(&name, item, buffer, 4096)) ? buffer : u"?";
}

struct Child {
  UniqueItemIdList item;
  std::string name;
  std::string parsingName;
  DWORD kind = 0;
  int id = 0;
  SFGAOF attributes = 0;
  std::string icon;
};

std::string IconOf(IShellFolder* folder, LPCITEMIDLIST item) {
  ComPtr<IExtractIconW> extractor;
  LPCITEMIDLIST items[] = {item};
  if (FAILED(folder->GetUIObjectOf(nullptr, 1, items, IID_IExtractIconW, nullptr,
                                   extractor.OutVoid())))
    return "-";
  char16_t file[4096];
  int index = 0;
  UINT flags = 0;
  if (FAILED(extractor->GetIconLocation(0, file, 4096, &index, &flags))) return "-";
  return std::to_string(index);
}

// Every child, read in batches as Explorer reads them. A failure to list
// (song lists and playlists) is returned as it is.
HRESULT ReadChildren(IShellFolder* folder, std::vector<Child>* children) {
  ComPtr<IEnumIDList> enumerator;
  HRESULT result =
      folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, enumerator.Out());
  if (FAILED(result)) return result;
  LPITEMIDLIST batch[kBatch];
  ULONG fetched = 0;
  while ((result = enumerator->Next(kBatch, batch, &fetched)) == S_OK) {
    for (ULONG i = 0; i < fetched; ++i) {
      Child child;
      child.item.reset(batch[i]);
      const MusicItem* item = AsMusicItem(batch[i]);
      child.kind = item->kind;
      child.id = item->id;
      child.name = WideToAnsi(DisplayName(folder, batch[i], SHGDN_NORMAL));
      child.parsingName = WideToAnsi(DisplayName(folder, batch[i], SHGDN_FORPARSING));
      child.attributes = ~SFGAO_VALIDATE;
      LPCITEMIDLIST items[] = {batch[i]};
      if (FAILED(folder->GetAttributesOf(1, items, &child.attributes))) child.attributes = 0;
      child.icon = IconOf(folder, batch[i]);
      children->push_back(std::move(child));
    }
  }
  return FAILED(result) ? result : S_OK;
}

const char* KindName(DWORD kind) {
  switch (kind) {
    case kKindMusic:
      return "Music";
    case kKindGroup:
      return "group";
    case kKindSongList:
      return "song list";
    case kKindPlayLists:
      return "Play Lists";
    case kKindPlaylist:
      return "playlist";
    default:
      return "?";
  }
}

std::string AttributeNames(SFGAOF attributes) {
  static const std::pair<SFGAOF, const char*> kFlags[] = {
      {SFGAO_FOLDER, "folder"},          {SFGAO_HASSUBFOLDER, "has sub-folders"},
      {SFGAO_DROPTARGET, "drop target"}, {SFGAO_CANCOPY, "can copy"},
      {SFGAO_CANDELETE, "can delete"},   {SFGAO_CANRENAME, "can rename"},
      {SFGAO_VALIDATE, "validate"}};
  std::string names;
  for (const auto& [flag, name] : kFlags) {
    if ((attributes & flag) == 0) continue;
    if (!names.empty()) names += ", ";
    names += name;
  }
  return names;
}

size_t Width(const std::string& text) {
  size_t width = 0;
  for (char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

void PrintChildren(const std::string& path, const std::vector<Child>& children) {
  std::cout << path << ": " << children.size() << (children.size() == 1 ? " item\n" : " items\n");
  if (children.empty()) return;
  size_t nameWidth = 4;
  for (const Child& child : children) nameWidth = std::max(nameWidth, Width(child.name));
  auto padded = [&](const std::string& text) {
    return text + std::string(nameWidth - Width(text) + 2, ' ');
  };
  char line[96];
  std::snprintf(line, sizeof line, "%-14s %6s  %-10s  %5s  ", "Kind", "Id", "Attributes", "Icon");
  std::cout << line << padded("Name") << "Parsing name\n";
  std::map<SFGAOF, std::string> legend;
  for (const Child& child : children) {
    std::snprintf(line, sizeof line, "%u %-12s %6d  0x%08X  %5s  ",
                  static_cast<unsigned>(child.kind), KindName(child.kind), child.id,
                  static_cast<unsigned>(child.attributes), child.icon.c_str());
    std::cout << line << padded(child.name) << child.parsingName << "\n";
    legend[child.attributes] = AttributeNames(child.attributes);
  }
  for (const auto& [attributes, names] : legend) {
    std::snprintf(line, sizeof line, "  0x%08X: ", static_cast<unsigned>(attributes));
    std::cout << line << names << "\n";
  }
}

std::vector<std::u16string> DisplayPathNames(const std::string& path) {
  std::vector<std::u16string> names;
  size_t at = 0;
  while (at <= path.size()) {
    size_t end = path.find('\\', at);
    if (end == std::string::npos) end = path.size();
    if (end > at) names.push_back(AnsiToWide(path.substr(at, end - at)));
    at = end + 1;
  }
  if (!names.empty() &&
      CompareStringOrdinal(names.front().c_str(), -1, kMusicFolderNameWide, -1, TRUE) == CSTR_EQUAL)
    names.erase(names.begin());
  return names;
}

int ListFailed(const std::string& path, HRESULT result) {
  std::cerr << "qap shell: cannot list " << path << ": " << ResultText(result);
  // The folder reports database failures as E_FAIL; the database says why.
  if (result == E_FAIL) std::cerr << "; " << musicdb::LastError();
  std::cerr << "\n";
  return 1;
}

// Lists folder (reached by path), then, with recurse, every child folder
// that has folders below it. Returns the exit code.
int List(IShellFolder* folder, const std::string& path, bool recurse) {
  std::vector<Child> children;
  const HRESULT result = ReadChildren(folder, &children);
  if (result == E_INVALIDARG) {
    std::cout << path << ": its songs are shown by the folder's view, not listed as items\n";
    return 0;
  }
  if (FAILED(result)) return ListFailed(path, result);
  PrintChildren(path, children);
  if (!recurse) return 0;
  int code = 0;
  for (const Child& child : children) {
    if ((child.attributes & SFGAO_HASSUBFOLDER) == 0) continue;
    ComPtr<IShellFolder> below;
    const HRESULT bound =
        folder->BindToObject(child.item.get(), nullptr, IID_IShellFolder, below.OutVoid());
    std::cout << "\n";
    if (FAILED(bound)) {
      std::cerr << "qap shell: cannot open " << child.parsingName << ": " << ResultText(bound)
                << "\n";
      code = 1;
      continue;
    }
    code = std::max(code, List(below.Get(), child.parsingName, true));
  }
  return code;
}

int ListPath(const CobrellModule& module, const std::string& path, bool recurse) {
  ComPtr<IShellFolder> folder;
  HRESULT result = module.OpenJunction(&folder);
  if (FAILED(result)) {
    std::cerr << "qap shell: cannot make the music folder: " << ResultText(result) << "\n";
    return 1;
  }
  std::cout << "The music folder of " << module.Path()
            << " (icons are its resources, by negative index)\n\n";
  std::string shown = kMusicFolderName;
  for (const std::u16string& name : DisplayPathNames(path)) {
    std::vector<Child> children;
    result = ReadChildren(folder.Get(), &children);
    if (result == E_INVALIDARG) {
      std::cerr << "qap shell: " << shown << " has no folders below it\n";
      return 1;
    }
    if (FAILED(result)) return ListFailed(shown, result);
    const Child* match = nullptr;
    for (const Child& child : children) {
      if (CompareStringOrdinal(AnsiToWide(child.name).c_str(), -1, name.c_str(), -1, TRUE) ==
          CSTR_EQUAL) {
        match = &child;
        break;
      }
    }
    if (match == nullptr) {
      std::cerr << "qap shell: no folder \"" << WideToAnsi(name) << "\" in " << shown << "\n";
      return 1;
    }
    ComPtr<IShellFolder> below;
    result = folder->BindToObject(match->item.get(), nullptr, IID_IShellFolder, below.OutVoid());
    if (FAILED(result)) {
      std::cerr << "qap shell: cannot open " << match->parsingName << ": " << ResultText(result)
                << "\n";
      return 1;
    }
    shown = match->parsingName;
    folder = below;
  }
  return List(folder.Get(), shown, recurse);
}

int Browse(const std::string& path, bool explore) {
  LPITEMIDLIST folder = nullptr;
  const HRESULT parsed = ParseFolderPath(path, &folder);
  if (FAILED(parsed)) {
    std::cerr << "qap shell: no folder \"" << path << "\" under My Computer: "
              << ResultText(parsed) << "\n";
    return 1;
  }
  UniqueItemIdList owned(folder);
  if (RunShellBrowser(folder, explore) != 0) {
    std::cerr << "qap shell: cannot open the shell browser: " << SystemMessage(GetLastError())
              << "\n";
    return 1;
  }
  return 0;
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "which of ls, register, unregister or browse?");
  const std::string& action = args[0];
  bool recurse = false;
  std::vector<std::string> positional;
  bool open = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (action == "ls" && args[i] == "-R") {
      recurse = true;
    } else if (action == "browse" && args[i] == "--open") {
      open = true;
    } else if (!args[i].empty() && args[i][0] == '-') {
      return UsageError(kVerb, "unknown option '" + args[i] + "'");
    } else {
      positional.push_back(args[i]);
    }
  }
  if (action != "ls" && action != "register" && action != "unregister" && action != "browse")
    return UsageError(kVerb, "unknown action '" + action + "'");
  if (positional.size() > (action == "ls" || action == "browse" ? 1u : 0u))
    return UsageError(kVerb, "unexpected argument '" + positional.back() + "'");
  // The browser knows the module only through the registry.
  if (action == "browse") return Browse(positional.empty() ? "" : positional[0], !open);

  CobrellModule module;
  if (!module.Error().empty()) {
    std::cerr << "qap shell: " << module.Error() << "\n";
    return 1;
  }
  if (action == "ls") return ListPath(module, positional.empty() ? "" : positional[0], recurse);
  const bool registering = action == "register";
  const HRESULT result = registering ? module.Register() : module.Unregister();
  std::cout << (registering ? "DllRegisterServer" : "DllUnregisterServer") << " of "
            << module.Path() << ": " << ResultText(result) << "\n";
  if (FAILED(result)) {
    std::cerr << "qap shell: " << (registering ? "registration" : "unregistration") << " failed; "
              << (registering ? "some entries may be missing"
                              : "some entries were missing or could not be removed")
              << " (see qap reg query)\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace qap
