// Fuzz target: a block another program put on the clipboard under the
// music folder's format name, read as a paste reads it: through the OLE
// clipboard's data object. What reads back must be what the block's size
// allows, and write out again to a block of the size its count makes.
#include "fuzz/fuzz_support.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/global_memory.h"
#include "shellfolder/transfer_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cobrell;
  if (!OpenClipboard(nullptr)) qap::fuzz::Fail("the clipboard cannot be opened");
  EmptyClipboard();
  HGLOBAL block = ui::ole::GlobalFromBytes(data, size);
  if (block == nullptr || SetClipboardData(TransferFormat(), block) == nullptr)
    qap::fuzz::Fail("the block cannot be put on the clipboard");
  CloseClipboard();

  ComPtr<IDataObject> object;
  if (OleGetClipboard(object.Out()) != S_OK) qap::fuzz::Fail("the clipboard has no data object");
  const std::optional<TransferBlock> read = ReadTransferBlock(object.Get());
  if (!read) return 0;
  if (size != read->ids.size() * kTransferItemSize + kTransferSpareSize)
    qap::fuzz::Fail("a block was read whose size its count does not make");
  size_t leftOut = 0;
  const std::vector<BYTE> again = EncodeTransferBlock(*read, &leftOut);
  if (leftOut != 0 || again.size() != size)
    qap::fuzz::Fail("a block read back does not write out to the same size");
  return 0;
}
