// The OLE clipboard: a data object put on the clipboard offers its formats
// there, and OleGetClipboard's data object reads whatever the clipboard
// holds, from this process or from the desktop.
#include "platform/com/task_allocator.h"
#include "platform/ui/ole/block_data_object.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/clipboard_store.h"

namespace {

using ui::ole::ClipboardStore;

class ClipboardDataObject final : public ui::ole::BlockDataObject<ClipboardDataObject> {
 public:
  std::vector<CLIPFORMAT> Formats() const {
    std::vector<CLIPFORMAT> formats;
    for (UINT format : ClipboardStore::Get().Formats()) {
      formats.push_back(static_cast<CLIPFORMAT>(format));
    }
    return formats;
  }
  bool Read(CLIPFORMAT format, std::vector<BYTE>* bytes) const {
    return ClipboardStore::Get().Read(format, true, bytes);
  }

 private:
  friend ComObject<ClipboardDataObject, IDataObject>;
  ClipboardDataObject() = default;
  ~ClipboardDataObject() = default;
};

// The formats data offers as global memory, in its order.
HRESULT OfferedFormats(IDataObject* data, std::vector<UINT>* formats) {
  ComPtr<IEnumFORMATETC> list;
  HRESULT result = data->EnumFormatEtc(DATADIR_GET, list.Out());
  if (FAILED(result)) return result;
  if (!list) return E_UNEXPECTED;
  FORMATETC format;
  ULONG fetched = 0;
  while (list->Next(1, &format, &fetched) == S_OK && fetched == 1) {
    // Target devices come from the task allocator, and the receiver frees
    // them; a rendering for a device is no rendering for the clipboard.
    if (format.ptd != nullptr) {
      CoTaskMemFree(format.ptd);
    } else if (format.tymed & TYMED_HGLOBAL) {
      formats->push_back(format.cfFormat);
    }
  }
  return S_OK;
}

}  // namespace

HRESULT OleSetClipboard(IDataObject* data) {
  std::vector<UINT> formats;
  if (data != nullptr) {
    HRESULT result = OfferedFormats(data, &formats);
    if (FAILED(result)) return result;
  }
  return ClipboardStore::Get().SetDataObject(data, std::move(formats));
}

HRESULT OleGetClipboard(IDataObject** data) {
  if (data == nullptr) return E_INVALIDARG;
  return ClipboardDataObject::NewInstance(IID_IDataObject, reinterpret_cast<void**>(data));
}

HRESULT OleFlushClipboard() { return ClipboardStore::Get().Flush(); }

HRESULT OleIsCurrentClipboard(IDataObject* data) {
  return ClipboardStore::Get().IsCurrent(data) ? S_OK : S_FALSE;
}
