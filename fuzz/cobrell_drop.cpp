// Fuzz target: data dropped on the music folder by another program: a file
// list, the folder's own format, or both, from the input's bytes, judged
// as the drop target judges them over every kind of folder and key held.
// Nothing is carried out: the rules only read.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/messages.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/data_objects.h"
#include "shellfolder/drop_rules.h"
#include "shellfolder/music_item.h"
#include "shellfolder/transfer_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cobrell;
  if (size == 0) return 0;
  // The first byte says which formats the rest is offered as.
  const std::uint8_t which = data[0];
  const std::vector<BYTE> bytes(data + 1, data + size);
  std::vector<ui::ole::DataBlock> blocks;
  if ((which & 1) != 0) blocks.push_back({CF_HDROP, bytes});
  if ((which & 2) != 0) blocks.push_back({TransferFormat(), bytes});
  ComPtr<IDataObject> object;
  if (FAILED(ui::ole::CreateDataObject(std::move(blocks), object.Out())))
    qap::fuzz::Fail("the data object cannot be made");
  for (DWORD kind = kKindRoot; kind <= kKindPlaylistSong; ++kind) {
    for (int id : {kAllSongsId, 0, 1}) {
      for (DWORD keys : {DWORD{0}, MK_CONTROL}) {
        const DWORD effect = DropEffectFor(object.Get(), kind, id, keys);
        if (effect != DROPEFFECT_NONE && effect != DROPEFFECT_COPY && effect != DROPEFFECT_MOVE)
          qap::fuzz::Fail("a drop is judged with an effect of neither copy nor move");
        if (effect != DROPEFFECT_NONE && (kind < kKindGroup || kind > kKindPlaylist))
          qap::fuzz::Fail("a folder that takes no drops took one");
      }
    }
  }
  return 0;
}
