// Copy, cut and paste through the clipboard, and the songs a group's
// sub-groups stand for when they are copied or played.
#include <cstdio>

#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/user32.h"
#include "shellfolder/drop_rules.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/library_edits.h"
#include "shellfolder/transfer_data_object.h"

namespace cobrell {
namespace {

const ItemIdManager& Items() { return TheItemIdManager(); }

}  // namespace

HRESULT SongsOfSubGroups(LPCITEMIDLIST group, const std::vector<LPCITEMIDLIST>& subGroups,
                         std::vector<UniqueItemIdList>* songs) try {
  songs->clear();
  if (!Items().IsMusicItem(group, true)) return E_INVALIDARG;
  TGroupInfo key{};
  key.key = WideToAnsi(ItemCategory(AsMusicItem(Items().GetLast(group)))).c_str();
  GroupPtr owner(CreateIGroup(key, 0, "", TRUE));
  if (!owner) return E_FAIL;
  for (LPCITEMIDLIST item : subGroups) {
    if (!Items().IsMusicItem(item, true)) continue;
    SubGroupPtr subGroup(owner->GetSubGroupById(AsMusicItem(Items().GetLast(item))->id));
    if (!subGroup || !subGroup->Open()) return E_FAIL;
    for (int i = 0; i < subGroup->GetSongCount(); ++i) {
      IQAPSongInfo* song = subGroup->GetSong(i);
      if (song == nullptr) return E_FAIL;
      LPITEMIDLIST made = nullptr;
      const HRESULT result =
          Items().MakeSong(kKindListSong, song->GetId(), AnsiToWide(song->GetPath().str()), &made);
      if (FAILED(result)) return result;
      songs->emplace_back(made);
    }
  }
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT CopyToClipboard(HWND window, IShellFolder* folder, LPCITEMIDLIST folderList,
                        const std::vector<LPCITEMIDLIST>& items, DWORD flag, bool sourceGiven,
                        DWORD sourceKind, int sourceId) {
  if (items.empty()) return S_FALSE;
  TransferSource source{flag, sourceKind, sourceId, sourceGiven};
  ComPtr<IDataObject> data;
  HRESULT result =
      TransferDataObject::Create(folder, folderList, static_cast<UINT>(items.size()), items.data(),
                                 source, IID_IDataObject, data.OutVoid());
  if (FAILED(result)) return result;
  result = OleSetClipboard(data.Get());
  if (FAILED(result)) return result;
  const size_t leftOut = SongsTooLongToTransfer(static_cast<UINT>(items.size()), items.data());
  if (leftOut > 0) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "%d song(s) could not be copied: their paths are longer than %d characters.",
                  static_cast<int>(leftOut), static_cast<int>(kTransferPathUnits));
    MessageBoxA(window, text, "Copy", MB_OK | MB_ICONWARNING);
  }
  return S_OK;
}

bool CanPaste(DWORD kind, int id) {
  ComPtr<IDataObject> data;
  if (FAILED(OleGetClipboard(data.Out())) || !data) return false;
  return DropEffectFor(data.Get(), kind, id, 0) != DROPEFFECT_NONE;
}

HRESULT Paste(DWORD kind, int id, LPCITEMIDLIST target) {
  ComPtr<IDataObject> data;
  if (FAILED(OleGetClipboard(data.Out())) || !data) return E_FAIL;
  // A paste copies, unless the block says it was cut.
  const DWORD effect = DropEffectFor(data.Get(), kind, id, MK_CONTROL);
  if (effect == DROPEFFECT_NONE) return E_FAIL;
  DWORD done = DROPEFFECT_NONE;
  return DropOrPaste(data.Get(), kind, id, target, effect, &done);
}

}  // namespace cobrell
