// The shell folder interfaces a namespace extension implements: the folder
// itself (IShellFolder), the enumerator of its children (IEnumIDList) and the
// persistence interfaces through which the shell tells a folder where it
// stands (IPersist, IPersistFolder, IPersistFolder2), with their flags.
// Members stand in slot order after IUnknown's three.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"
#include "platform/shell/item_id_list.h"
#include "platform/shell/strret.h"

using LPARAM = std::intptr_t;
using SHCONTF = DWORD;
using SHGDNF = DWORD;

// {000214E6-0000-0000-C000-000000000046}
constexpr IID IID_IShellFolder{0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {000214F2-0000-0000-C000-000000000046}
constexpr IID IID_IEnumIDList{0x000214F2, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {0000010C-0000-0000-C000-000000000046}
constexpr IID IID_IPersist{0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {000214EA-0000-0000-C000-000000000046}
constexpr IID IID_IPersistFolder{0x000214EA, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {1AC3D9F0-175C-11D1-95BE-00609797EA4F}
constexpr IID IID_IPersistFolder2{
    0x1AC3D9F0, 0x175C, 0x11D1, {0x95, 0xBE, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x4F}};

// Attributes (SFGAO_*).
constexpr SFGAOF SFGAO_CANCOPY = 0x00000001;
constexpr SFGAOF SFGAO_CANMOVE = 0x00000002;
constexpr SFGAOF SFGAO_CANLINK = 0x00000004;
constexpr SFGAOF SFGAO_CANRENAME = 0x00000010;
constexpr SFGAOF SFGAO_CANDELETE = 0x00000020;
constexpr SFGAOF SFGAO_HASPROPSHEET = 0x00000040;
constexpr SFGAOF SFGAO_DROPTARGET = 0x00000100;
constexpr SFGAOF SFGAO_LINK = 0x00010000;
constexpr SFGAOF SFGAO_SHARE = 0x00020000;
constexpr SFGAOF SFGAO_READONLY = 0x00040000;
constexpr SFGAOF SFGAO_GHOSTED = 0x00080000;
constexpr SFGAOF SFGAO_VALIDATE = 0x01000000;
constexpr SFGAOF SFGAO_REMOVABLE = 0x02000000;
constexpr SFGAOF SFGAO_BROWSABLE = 0x08000000;
constexpr SFGAOF SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr SFGAOF SFGAO_FOLDER = 0x20000000;
constexpr SFGAOF SFGAO_FILESYSTEM = 0x40000000;
constexpr SFGAOF SFGAO_HASSUBFOLDER = 0x80000000;

// Display name flags (SHGDN_*).
constexpr SHGDNF SHGDN_NORMAL = 0x0000;
constexpr SHGDNF SHGDN_INFOLDER = 0x0001;
constexpr SHGDNF SHGDN_FOREDITING = 0x1000;
constexpr SHGDNF SHGDN_INCLUDE_NONFILESYS = 0x2000;
constexpr SHGDNF SHGDN_FORADDRESSBAR = 0x4000;
constexpr SHGDNF SHGDN_FORPARSING = 0x8000;

// Enumeration flags (SHCONTF_*).
constexpr SHCONTF SHCONTF_FOLDERS = 0x0020;
constexpr SHCONTF SHCONTF_NONFOLDERS = 0x0040;
constexpr SHCONTF SHCONTF_INCLUDEHIDDEN = 0x0080;

class IEnumIDList : public IUnknown {
 public:
  virtual HRESULT Next(ULONG wanted, LPITEMIDLIST* items, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumIDList** copy) = 0;
};

class IShellFolder : public IUnknown {
 public:
  virtual HRESULT ParseDisplayName(HWND owner, IBindCtx* bindContext, LPWSTR displayName,
                                   ULONG* eaten, LPITEMIDLIST* list, ULONG* attributes) = 0;
  virtual HRESULT EnumObjects(HWND owner, SHCONTF flags, IEnumIDList** enumerator) = 0;
  virtual HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx* bindContext, REFIID iid,
                               void** object) = 0;
  virtual HRESULT BindToStorage(LPCITEMIDLIST list, IBindCtx* bindContext, REFIID iid,
                                void** object) = 0;
  // The low 16 bits of a successful result carry the signed order.
  virtual HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST first, LPCITEMIDLIST second) = 0;
  virtual HRESULT CreateViewObject(HWND owner, REFIID iid, void** object) = 0;
  virtual HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) = 0;
  virtual HRESULT GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST* items, REFIID iid,
                                UINT* reserved, void** object) = 0;
  virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST list, SHGDNF flags, STRRET* name) = 0;
  virtual HRESULT SetNameOf(HWND owner, LPCITEMIDLIST list, LPCWSTR name, SHGDNF flags,
                            LPITEMIDLIST* newList) = 0;
};

class IPersist : public IUnknown {
 public:
  virtual HRESULT GetClassID(CLSID* classId) = 0;
};

class IPersistFolder : public IPersist {
 public:
  // list: the folder's absolute item identifier list, owned by the caller.
  virtual HRESULT Initialize(LPCITEMIDLIST list) = 0;
};

class IPersistFolder2 : public IPersistFolder {
 public:
  // A copy of the list given to Initialize, for the caller to free.
  virtual HRESULT GetCurFolder(LPITEMIDLIST* list) = 0;
};

// The order in CompareIDs' result (MAKE_HRESULT(SEVERITY_SUCCESS, 0, order)).
constexpr HRESULT MakeCompareResult(int order) {
  return static_cast<HRESULT>(static_cast<std::uint16_t>(static_cast<std::int16_t>(order)));
}
constexpr int CompareResultOrder(HRESULT result) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(result & 0xFFFF));
}
