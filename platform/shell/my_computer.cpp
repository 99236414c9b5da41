// My Computer's folder: its children read from the registry's Namespace key
// each time it is listed (so an extension registered or removed meanwhile
// shows or goes), their names, attributes and icons from their class keys.
#include "platform/shell/my_computer.h"

#include <cstring>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/string_compare.h"
#include "platform/com/class_object.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/registry/reg_key.h"
#include "platform/shell/extract_icon.h"
#include "platform/shell/item_enumerator.h"
#include "platform/shell/shell_malloc.h"

namespace {

constexpr USHORT kClassItemSize = 20;
constexpr BYTE kClassItemType = 0x1F;
// A namespace extension without ShellFolder\Attributes is a folder that
// may hold others.
constexpr SFGAOF kDefaultJunctionAttributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;

bool ClassOfItem(LPCITEMIDLIST item, CLSID* classId) {
  if (item == nullptr || item->mkid.cb != kClassItemSize) return false;
  const auto* bytes = reinterpret_cast<const BYTE*>(item);
  if (bytes[2] != kClassItemType) return false;
  std::memcpy(classId, bytes + 4, sizeof(CLSID));
  return true;
}

HRESULT ClassItemList(REFCLSID classId, LPITEMIDLIST* list) {
  return SHParseDisplayName(AnsiToWide("::" + GuidToString(classId)).c_str(), nullptr, list, 0,
                            nullptr);
}

std::string ClassKey(REFCLSID classId) { return "CLSID\\" + GuidToString(classId); }

std::u16string ClassName(REFCLSID classId) {
  std::string name;
  RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, ClassKey(classId).c_str()) == ERROR_SUCCESS &&
      key.ReadString(nullptr, &name) && !name.empty())
    return AnsiToWide(name);
  const std::string junction = std::string(kMyComputerNamespaceKey) + "\\" + GuidToString(classId);
  if (key.Open(HKEY_LOCAL_MACHINE, junction.c_str()) == ERROR_SUCCESS &&
      key.ReadString(nullptr, &name) && !name.empty())
    return AnsiToWide(name);
  return AnsiToWide(GuidToString(classId));
}

SFGAOF ClassAttributes(REFCLSID classId) {
  RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, (ClassKey(classId) + "\\ShellFolder").c_str()) != ERROR_SUCCESS)
    return kDefaultJunctionAttributes;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  // Written as four bytes of REG_BINARY or as a REG_DWORD; both are
  // little-endian.
  if (RegQueryValueExA(key.Get(), "Attributes", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      size != sizeof value || (type != REG_BINARY && type != REG_DWORD))
    return kDefaultJunctionAttributes;
  return value;
}

HRESULT WideStrRet(const std::u16string& text, STRRET* name) {
  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Out()))) return E_OUTOFMEMORY;
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  auto* copy = static_cast<LPWSTR>(allocator->Alloc(bytes));
  if (copy == nullptr) return E_OUTOFMEMORY;
  std::memcpy(copy, text.c_str(), bytes);
  name->uType = STRRET_WSTR;
  name->pOleStr = copy;
  return S_OK;
}

// The icon a class names under DefaultIcon ("file,index").
class ClassIcon final : public ComObject<ClassIcon, IExtractIconW> {
 public:
  InterfaceTable Interfaces() { return {{&IID_IExtractIconW, static_cast<IExtractIconW*>(this)}}; }

  HRESULT GetIconLocation(UINT, LPWSTR file, UINT size, int* index, UINT* flagsOut) override {
    if (file == nullptr || index == nullptr || flagsOut == nullptr) return E_POINTER;
    if (m_file.empty()) return S_FALSE;
    if (m_file.size() + 1 > size) return E_INVALIDARG;
    std::memcpy(file, m_file.c_str(), (m_file.size() + 1) * sizeof(char16_t));
    *index = m_index;
    *flagsOut = 0;
    return S_OK;
  }
  HRESULT Extract(LPCWSTR, UINT, HICON*, HICON*, UINT) override { return S_FALSE; }

 private:
  friend ComObject<ClassIcon, IExtractIconW>;
  explicit ClassIcon(REFCLSID classId) {
    RegKey key;
    std::string location;
    if (key.Open(HKEY_CLASSES_ROOT, (ClassKey(classId) + "\\DefaultIcon").c_str()) !=
            ERROR_SUCCESS ||
        !key.ReadString(nullptr, &location))
      return;
    const size_t comma = location.rfind(',');
    if (comma != std::string::npos) {
      m_index = std::atoi(location.c_str() + comma + 1);
      location.resize(comma);
    }
    m_file = AnsiToWide(location);
  }
  ~ClassIcon() = default;

  std::u16string m_file;
  int m_index = 0;
};

class MyComputerFolder final : public ComObject<MyComputerFolder, IShellFolder, IPersistFolder2> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IShellFolder, static_cast<IShellFolder*>(this)},
            {&IID_IPersist, static_cast<IPersist*>(this)},
            {&IID_IPersistFolder, static_cast<IPersistFolder*>(this)},
            {&IID_IPersistFolder2, static_cast<IPersistFolder2*>(this)}};
  }

  HRESULT ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override {
    return E_NOTIMPL;
  }

  HRESULT EnumObjects(HWND, SHCONTF flags, IEnumIDList** enumerator) override try {
    if (enumerator == nullptr) return E_POINTER;
    std::vector<UniqueItemIdList> owned;
    if ((flags & SHCONTF_FOLDERS) != 0) {
      RegKey key;
      if (key.Open(HKEY_LOCAL_MACHINE, kMyComputerNamespaceKey) == ERROR_SUCCESS) {
        char name[256];
        for (DWORD index = 0;; ++index) {
          DWORD size = sizeof name;
          if (RegEnumKeyExA(key.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
              ERROR_SUCCESS)
            break;
          CLSID classId;
          LPITEMIDLIST item = nullptr;
          // A junction whose class has gone is not shown.
          RegKey server;
          if (!GuidFromString(name, &classId) ||
              server.Open(HKEY_CLASSES_ROOT, (ClassKey(classId) + "\\InprocServer32").c_str()) !=
                  ERROR_SUCCESS ||
              FAILED(ClassItemList(classId, &item)))
            continue;
          owned.emplace_back(item);
        }
      }
    }
    std::vector<LPITEMIDLIST> items;
    for (const UniqueItemIdList& item : owned) items.push_back(item.get());
    return ItemEnumerator::Create(std::move(items), enumerator);
  } catch (...) {
    return E_OUTOFMEMORY;
  }

  HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx* bindContext, REFIID iid,
                       void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    CLSID classId;
    if (!ClassOfItem(list, &classId)) return E_INVALIDARG;
    ComPtr<IClassFactory> factory;
    HRESULT result = CoGetClassObject(classId, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                      factory.OutVoid());
    if (FAILED(result)) return result;
    ComPtr<IShellFolder> junction;
    result = factory->CreateInstance(nullptr, IID_IShellFolder, junction.OutVoid());
    if (FAILED(result)) return result;
    ComPtr<IPersistFolder> persist;
    if (SUCCEEDED(junction.As(IID_IPersistFolder, &persist))) {
      UniqueItemIdList first(ILCloneFirst(list));
      UniqueItemIdList absolute(ILCombine(m_list.get(), first.get()));
      if (absolute == nullptr) return E_OUTOFMEMORY;
      result = persist->Initialize(absolute.get());
      if (FAILED(result)) return result;
    }
    LPCITEMIDLIST rest = ILGetNext(list);
    if (rest != nullptr && rest->mkid.cb != 0)
      return junction->BindToObject(rest, bindContext, iid, object);
    return junction->QueryInterface(iid, object);
  }

  HRESULT BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void** object) override {
    if (object != nullptr) *object = nullptr;
    return E_NOTIMPL;
  }

  // By name, case ignored; below the first item the junction compares.
  HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST first, LPCITEMIDLIST second) override {
    CLSID firstClass;
    CLSID secondClass;
    if (!ClassOfItem(first, &firstClass) || !ClassOfItem(second, &secondClass))
      return E_INVALIDARG;
    if (firstClass != secondClass) {
      const std::u16string a = ClassName(firstClass);
      const std::u16string b = ClassName(secondClass);
      const int order = CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) - CSTR_EQUAL;
      if (order != 0) return MakeCompareResult(order);
      return MakeCompareResult(std::memcmp(&firstClass, &secondClass, sizeof(CLSID)) < 0 ? -1 : 1);
    }
    LPCITEMIDLIST firstRest = ILGetNext(first);
    LPCITEMIDLIST secondRest = ILGetNext(second);
    const bool firstEnds = firstRest->mkid.cb == 0;
    const bool secondEnds = secondRest->mkid.cb == 0;
    if (firstEnds || secondEnds) return MakeCompareResult(firstEnds == secondEnds ? 0 : firstEnds ? -1 : 1);
    UniqueItemIdList junctionItem(ILCloneFirst(first));
    ComPtr<IShellFolder> junction;
    const HRESULT bound =
        BindToObject(junctionItem.get(), nullptr, IID_IShellFolder, junction.OutVoid());
    if (FAILED(bound)) return bound;
    return junction->CompareIDs(column, firstRest, secondRest);
  }

  HRESULT CreateViewObject(HWND, REFIID, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    return E_NOINTERFACE;
  }

  HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) override {
    if (inOut == nullptr) return E_POINTER;
    if (count == 0 || items == nullptr) return E_INVALIDARG;
    SFGAOF common = ~SFGAOF{0};
    for (UINT i = 0; i < count; ++i) {
      CLSID classId;
      if (!ClassOfItem(items[i], &classId)) return E_INVALIDARG;
      common &= ClassAttributes(classId);
    }
    *inOut &= common;
    return S_OK;
  }

  HRESULT GetUIObjectOf(HWND, UINT count, LPCITEMIDLIST* items, REFIID iid, UINT*,
                        void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    CLSID classId;
    if (count != 1 || items == nullptr || !ClassOfItem(items[0], &classId)) return E_INVALIDARG;
    if (iid != IID_IExtractIconW) return E_NOINTERFACE;
    return ClassIcon::NewInstance(iid, object, classId);
  }

  HRESULT GetDisplayNameOf(LPCITEMIDLIST list, SHGDNF flags, STRRET* name) override try {
    if (name == nullptr) return E_POINTER;
    CLSID classId;
    if (!ClassOfItem(list, &classId)) return E_INVALIDARG;
    LPCITEMIDLIST rest = ILGetNext(list);
    if (rest->mkid.cb != 0) {
      UniqueItemIdList junctionItem(ILCloneFirst(list));
      ComPtr<IShellFolder> junction;
      const HRESULT bound =
          BindToObject(junctionItem.get(), nullptr, IID_IShellFolder, junction.OutVoid());
      if (FAILED(bound)) return bound;
      return junction->GetDisplayNameOf(rest, flags, name);
    }
    if ((flags & SHGDN_FORPARSING) != 0)
      return WideStrRet(AnsiToWide("::" + GuidToString(classId)), name);
    return WideStrRet(ClassName(classId), name);
  } catch (...) {
    return E_OUTOFMEMORY;
  }

  HRESULT SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST* newList) override {
    if (newList != nullptr) *newList = nullptr;
    return E_NOTIMPL;
  }

  HRESULT GetClassID(CLSID* classId) override {
    if (classId == nullptr) return E_POINTER;
    *classId = CLSID_MyComputer;
    return S_OK;
  }
  HRESULT Initialize(LPCITEMIDLIST list) override {
    UniqueItemIdList copy(ILClone(list));
    if (copy == nullptr) return E_OUTOFMEMORY;
    m_list = std::move(copy);
    return S_OK;
  }
  HRESULT GetCurFolder(LPITEMIDLIST* list) override {
    if (list == nullptr) return E_POINTER;
    *list = ILClone(m_list.get());
    return *list != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  friend ComObject<MyComputerFolder, IShellFolder, IPersistFolder2>;
  MyComputerFolder() = default;
  ~MyComputerFolder() = default;

  UniqueItemIdList m_list;
};

bool SameName(const std::u16string& a, const std::u16string& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The child of folder whose normal display name is name.
HRESULT FindChildByName(IShellFolder* folder, const std::u16string& name, UniqueItemIdList* child) {
  ComPtr<IEnumIDList> children;
  HRESULT result = folder->EnumObjects(nullptr, SHCONTF_FOLDERS, children.Out());
  if (result != S_OK) return FAILED(result) ? result : E_INVALIDARG;
  LPITEMIDLIST item = nullptr;
  ULONG fetched = 0;
  while (children->Next(1, &item, &fetched) == S_OK && fetched == 1) {
    UniqueItemIdList owned(item);
    STRRET text{};
    char16_t buffer[1024];
    if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &text)) &&
        SUCCEEDED(StrRetToBufW(&text, item, buffer, 1024)) && SameName(buffer, name)) {
      *child = std::move(owned);
      return S_OK;
    }
  }
  return HResultFromWin32(ERROR_PATH_NOT_FOUND);
}

}  // namespace

HRESULT MyComputerList(LPITEMIDLIST* list) {
  return SHParseDisplayName(kMyComputerParsingName, nullptr, list, 0, nullptr);
}

HRESULT CreateMyComputerFolder(IShellFolder** folder) {
  if (folder == nullptr) return E_POINTER;
  *folder = nullptr;
  LPITEMIDLIST list = nullptr;
  HRESULT result = MyComputerList(&list);
  if (FAILED(result)) return result;
  UniqueItemIdList owned(list);
  ComPtr<IPersistFolder> persist;
  result = MyComputerFolder::NewInstance(IID_IPersistFolder, persist.OutVoid());
  if (FAILED(result)) return result;
  result = persist->Initialize(list);
  if (FAILED(result)) return result;
  return persist->QueryInterface(IID_IShellFolder, reinterpret_cast<void**>(folder));
}

HRESULT BindToFolder(LPCITEMIDLIST absolute, IShellFolder** folder) {
  if (folder == nullptr) return E_POINTER;
  *folder = nullptr;
  CLSID root;
  if (!ClassOfItem(absolute, &root) || root != CLSID_MyComputer) return E_INVALIDARG;
  ComPtr<IShellFolder> myComputer;
  const HRESULT result = CreateMyComputerFolder(myComputer.Out());
  if (FAILED(result)) return result;
  LPCITEMIDLIST rest = ILGetNext(absolute);
  if (rest->mkid.cb == 0) {
    *folder = myComputer.Detach();
    return S_OK;
  }
  return myComputer->BindToObject(rest, nullptr, IID_IShellFolder,
                                  reinterpret_cast<void**>(folder));
}

HRESULT DisplayNameOfList(LPCITEMIDLIST absolute, SHGDNF flags, std::u16string* name) try {
  if (name == nullptr) return E_POINTER;
  CLSID root;
  if (!ClassOfItem(absolute, &root) || root != CLSID_MyComputer) return E_INVALIDARG;
  if (ILGetNext(absolute)->mkid.cb == 0) {
    *name = (flags & SHGDN_FORPARSING) != 0 ? kMyComputerParsingName : kMyComputerName;
    return S_OK;
  }
  UniqueItemIdList parent(ILClone(absolute));
  if (parent == nullptr) return E_OUTOFMEMORY;
  ILRemoveLastID(parent.get());
  ComPtr<IShellFolder> folder;
  HRESULT result = BindToFolder(parent.get(), folder.Out());
  if (FAILED(result)) return result;
  LPCITEMIDLIST last = ILFindLastID(absolute);
  STRRET text{};
  result = folder->GetDisplayNameOf(last, flags, &text);
  if (FAILED(result)) return result;
  char16_t buffer[2048];
  result = StrRetToBufW(&text, last, buffer, 2048);
  if (FAILED(result)) return result;
  *name = buffer;
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT ParseFolderPath(const std::string& path, LPITEMIDLIST* absolute) try {
  if (absolute == nullptr) return E_POINTER;
  *absolute = nullptr;
  if (path.rfind("::{", 0) == 0) {
    const std::u16string classes = AnsiToWide(path);
    const std::u16string full =
        path.rfind(std::string("::") + GuidToString(CLSID_MyComputer), 0) == 0
            ? classes
            : std::u16string(kMyComputerParsingName) + u"\\" + classes;
    return SHParseDisplayName(full.c_str(), nullptr, absolute, 0, nullptr);
  }
  LPITEMIDLIST list = nullptr;
  HRESULT result = MyComputerList(&list);
  if (FAILED(result)) return result;
  UniqueItemIdList current(list);
  std::vector<std::u16string> names;
  for (size_t at = 0; at <= path.size();) {
    size_t end = path.find_first_of("\\/", at);
    if (end == std::string::npos) end = path.size();
    if (end > at) names.push_back(AnsiToWide(path.substr(at, end - at)));
    at = end + 1;
  }
  if (!names.empty() && SameName(names.front(), kMyComputerName)) names.erase(names.begin());
  for (const std::u16string& name : names) {
    ComPtr<IShellFolder> folder;
    result = BindToFolder(current.get(), folder.Out());
    if (FAILED(result)) return result;
    UniqueItemIdList child;
    result = FindChildByName(folder.Get(), name, &child);
    if (FAILED(result)) return result;
    UniqueItemIdList next(ILCombine(current.get(), child.get()));
    if (next == nullptr) return E_OUTOFMEMORY;
    current = std::move(next);
  }
  *absolute = current.release();
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}
