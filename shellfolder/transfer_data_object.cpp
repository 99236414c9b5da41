// The transfer's data object: the block is made once, from the items as
// they were when the transfer began; the folder is held so that the module
// stays loaded while the clipboard keeps the object.
#include "shellfolder/transfer_data_object.h"

#include "shellfolder/item_id_manager.h"

namespace cobrell {
namespace {

const ItemIdManager& Items() { return TheItemIdManager(); }

bool IsSong(const MusicItem* item) {
  return item->kind == kKindListSong || item->kind == kKindPlaylistSong;
}

}  // namespace

HRESULT TransferDataObject::Create(IShellFolder* folder, LPCITEMIDLIST folderList, UINT count,
                                   const LPCITEMIDLIST* items, const TransferSource& source,
                                   REFIID iid, void** object) try {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (count > 0 && items == nullptr) return E_INVALIDARG;
  ComPtr<IDataObject> made;
  const HRESULT result = NewInstance(IID_IDataObject, made.OutVoid());
  if (FAILED(result)) return result;
  auto* self = static_cast<TransferDataObject*>(made.Get());
  self->m_folder = ComPtr<IShellFolder>(folder);
  TransferBlock& block = self->m_block;
  block.flag = source.flag;
  block.sourceKind = source.kind;
  block.sourceId = static_cast<DWORD>(source.id);
  if (!source.given && Items().IsMusicItem(folderList, true)) {
    const MusicItem* own = AsMusicItem(Items().GetLast(folderList));
    block.sourceKind = own->kind;
    block.sourceId = static_cast<DWORD>(own->id);
  }
  for (UINT i = 0; i < count; ++i) {
    if (Items().IsMusicItem(items[i], true)) {
      const MusicItem* item = AsMusicItem(Items().GetLast(items[i]));
      // Fields of a packed item are read by value.
      const DWORD id = IsSong(item) ? DWORD{item->songId} : static_cast<DWORD>(item->id);
      block.ids.push_back(id);
      block.paths.push_back(IsSong(item) ? ItemPath(item) : std::u16string());
    }
  }
  return made->QueryInterface(iid, object);
} catch (...) {
  return E_OUTOFMEMORY;
}

bool TransferDataObject::Read(CLIPFORMAT format, std::vector<BYTE>* bytes) const {
  if (format != TransferFormat()) return false;
  *bytes = EncodeTransferBlock(m_block);
  return true;
}

size_t SongsTooLongToTransfer(UINT count, const LPCITEMIDLIST* items) {
  size_t tooLong = 0;
  for (UINT i = 0; i < count; ++i) {
    if (!Items().IsMusicItem(items[i], true)) continue;
    const MusicItem* item = AsMusicItem(Items().GetLast(items[i]));
    if (IsSong(item) && ItemPath(item).size() > kTransferPathUnits) ++tooLong;
  }
  return tooLong;
}

}  // namespace cobrell
