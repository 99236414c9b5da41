// The data object of a copy, cut or drag from the music folder: the items
// with the creator's flag, kind and id, offered in the private format only
// (global memory, content aspect, all of it).
#pragma once

#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/shell/shell_folder.h"
#include "platform/ui/ole/block_data_object.h"
#include "shellfolder/transfer_block.h"

namespace cobrell {

// Who made the transfer and how it is to be read.
struct TransferSource {
  DWORD flag = kTransferCopy;
  // 0: the kind and id of the folder's last item.
  DWORD kind = 0;
  int id = 0;
  bool given = false;
};

class TransferDataObject final : public ui::ole::BlockDataObject<TransferDataObject> {
 public:
  // items are relative to folderList.
  static HRESULT Create(IShellFolder* folder, LPCITEMIDLIST folderList, UINT count,
                        const LPCITEMIDLIST* items, const TransferSource& source, REFIID iid,
                        void** object);

  std::vector<CLIPFORMAT> Formats() const { return {TransferFormat()}; }
  bool Read(CLIPFORMAT format, std::vector<BYTE>* bytes) const;

 private:
  friend ComObject<TransferDataObject, IDataObject>;
  TransferDataObject() = default;
  ~TransferDataObject() = default;

  ComPtr<IShellFolder> m_folder;
  TransferBlock m_block;
};

// How many of the items are songs whose path the block cannot hold.
size_t SongsTooLongToTransfer(UINT count, const LPCITEMIDLIST* items);

}  // namespace cobrell
