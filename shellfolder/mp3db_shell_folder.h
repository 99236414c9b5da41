// Mp3DbShellFolder: the music folder as the shell sees it, for the junction
// under My Computer and for every folder below it. It answers the shell's
// questions (children, names, attributes, order, user-interface objects)
// from its own absolute item identifier list and the items it is asked
// about.
#pragma once

#include "platform/shell/shell_folder.h"
#include "shellfolder/com_object.h"

class Mp3DbShellFolder final
    : public CobrellObject<Mp3DbShellFolder, IShellFolder, IPersistFolder2> {
 public:
  // A new, uninitialised folder handed out through iid.
  static HRESULT Create(REFIID iid, void** object);

  InterfaceTable Interfaces();

  // IShellFolder
  HRESULT ParseDisplayName(HWND owner, IBindCtx* bindContext, LPWSTR displayName, ULONG* eaten,
                           LPITEMIDLIST* list, ULONG* attributes) override;
  HRESULT EnumObjects(HWND owner, SHCONTF flags, IEnumIDList** enumerator) override;
  HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx* bindContext, REFIID iid,
                       void** object) override;
  HRESULT BindToStorage(LPCITEMIDLIST list, IBindCtx* bindContext, REFIID iid,
                        void** object) override;
  HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST first, LPCITEMIDLIST second) override;
  HRESULT CreateViewObject(HWND owner, REFIID iid, void** object) override;
  HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) override;
  HRESULT GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST* items, REFIID iid, UINT* reserved,
                        void** object) override;
  HRESULT GetDisplayNameOf(LPCITEMIDLIST list, SHGDNF flags, STRRET* name) override;
  HRESULT SetNameOf(HWND owner, LPCITEMIDLIST list, LPCWSTR name, SHGDNF flags,
                    LPITEMIDLIST* newList) override;

  // IPersist, IPersistFolder, IPersistFolder2
  HRESULT GetClassID(CLSID* classId) override;
  HRESULT Initialize(LPCITEMIDLIST list) override;
  HRESULT GetCurFolder(LPITEMIDLIST* list) override;

 private:
  Mp3DbShellFolder();
  friend CobrellObject<Mp3DbShellFolder, IShellFolder, IPersistFolder2>;
  ~Mp3DbShellFolder() = default;

  // The kind of the folder's own last item; 0 at the junction.
  DWORD m_kind = 0;
  UniqueItemIdList m_list;
};
