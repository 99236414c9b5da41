// Fuzz target: a CF_HDROP block that another program put on the clipboard,
// read as a paste reads it: through the clipboard's own calls and through
// its data object, every file name at its length and cut to a short
// buffer, and the drop point.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/drop_files.h"
#include "platform/ui/ole/global_memory.h"

namespace {

constexpr UINT kCount = 0xFFFFFFFF;

void ReadDrop(HDROP drop) {
  const UINT count = DragQueryFileA(drop, kCount, nullptr, 0);
  for (UINT index = 0; index <= count; ++index) {
    const UINT length = DragQueryFileA(drop, index, nullptr, 0);
    std::vector<char> name(length + 1);
    const UINT copied = DragQueryFileA(drop, index, name.data(), length + 1);
    if (copied != length || std::strlen(name.data()) != length)
      qap::fuzz::Fail("a file name is not as long as its length says");
    char cut[4];
    if (DragQueryFileA(drop, index, cut, sizeof cut) != std::min<UINT>(length, sizeof cut - 1))
      qap::fuzz::Fail("a file name cut to a short buffer is not cut there");
  }
  POINT point{};
  DragQueryPoint(drop, &point);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!OpenClipboard(nullptr)) qap::fuzz::Fail("the clipboard cannot be opened");
  EmptyClipboard();
  HGLOBAL block = ui::ole::GlobalFromBytes(data, size);
  if (block == nullptr || SetClipboardData(CF_HDROP, block) == nullptr)
    qap::fuzz::Fail("the block cannot be put on the clipboard");
  CloseClipboard();

  if (!OpenClipboard(nullptr)) qap::fuzz::Fail("the clipboard cannot be opened again");
  if (IsClipboardFormatAvailable(CF_HDROP))
    ReadDrop(static_cast<HDROP>(GetClipboardData(CF_HDROP)));
  CloseClipboard();

  ComPtr<IDataObject> object;
  if (OleGetClipboard(object.Out()) == S_OK) {
    FORMATETC format = ui::ole::HGlobalFormat(CF_HDROP);
    STGMEDIUM medium{};
    if (object->GetData(&format, &medium) == S_OK) {
      ReadDrop(static_cast<HDROP>(medium.hGlobal));
      ReleaseStgMedium(&medium);
    }
  }
  return 0;
}
