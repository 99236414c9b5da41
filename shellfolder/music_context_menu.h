// The context menu of the music folder's items, or of a folder's
// background: the menu (217 to 232) chosen by what is selected and of what
// kind, the first of each pair for Explorer's folder tree, and its commands
// Open, Explore, Play, Copy, Cut, Paste, Delete and New.
#pragma once

#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/shell_folder.h"
#include "shellfolder/com_object.h"

namespace cobrell {

// The commands, as the menus' items carry them.
enum MenuCommand : UINT {
  kMenuOpen = 1,
  kMenuExplore,
  kMenuPlay,
  kMenuCopy,
  kMenuCut,
  kMenuPaste,
  kMenuDelete,
  kMenuNew,
};

class MusicContextMenu final : public CobrellObject<MusicContextMenu, IContextMenu> {
 public:
  // items are relative to the folder's absolute list folderList.
  static HRESULT Create(IShellFolder* folder, LPCITEMIDLIST folderList, HWND window, UINT count,
                        const LPCITEMIDLIST* items, REFIID iid, void** object);
  InterfaceTable Interfaces() { return {{&IID_IContextMenu, static_cast<IContextMenu*>(this)}}; }

  HRESULT QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) override;
  HRESULT InvokeCommand(LPCMINVOKECOMMANDINFO info) override;
  HRESULT GetCommandString(UINT_PTR command, UINT type, UINT* reserved, LPSTR name,
                           UINT size) override;

 private:
  friend CobrellObject<MusicContextMenu, IContextMenu>;
  MusicContextMenu() = default;
  ~MusicContextMenu() = default;

  int MenuId(bool explore) const;
  bool Offers(MenuCommand command) const;
  // The kind and id a paste or drop goes to, and its absolute list.
  void PasteTarget(DWORD* kind, int* id, UniqueItemIdList* list) const;
  HRESULT Run(HWND window, MenuCommand command);
  HRESULT OpenItems(HWND window, const char* verb);
  HRESULT Play(HWND window);
  HRESULT Copy(HWND window, bool cut);
  std::vector<LPCITEMIDLIST> Selection() const;

  ComPtr<IShellFolder> m_folder;
  UniqueItemIdList m_folderList;
  DWORD m_kind = 0;
  int m_id = 0;
  HWND m_window = nullptr;
  std::vector<UniqueItemIdList> m_items;
  // 0 nothing selected; 1 items of one kind (none the all-songs list); 2 any
  // other selection.
  int m_mode = 0;
  std::vector<MenuCommand> m_merged;  // by offset from the first id
};

}  // namespace cobrell
