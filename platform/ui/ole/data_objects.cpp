// The format enumerator, the memory data object and the release of media.
#include "platform/ui/ole/data_objects.h"

#include "platform/com/enumerator.h"
#include "platform/ui/ole/block_data_object.h"

namespace {

using FormatEnumerator = ComEnumerator<IEnumFORMATETC, FORMATETC, IID_IEnumFORMATETC>;

class MemoryDataObject final : public ui::ole::BlockDataObject<MemoryDataObject> {
 public:
  std::vector<CLIPFORMAT> Formats() const {
    std::vector<CLIPFORMAT> formats;
    for (const ui::ole::DataBlock& block : m_blocks) formats.push_back(block.format);
    return formats;
  }
  bool Read(CLIPFORMAT format, std::vector<BYTE>* bytes) const {
    for (const ui::ole::DataBlock& block : m_blocks) {
      if (block.format == format) {
        *bytes = block.bytes;
        return true;
      }
    }
    return false;
  }

 private:
  friend ComObject<MemoryDataObject, IDataObject>;
  explicit MemoryDataObject(std::vector<ui::ole::DataBlock> blocks) : m_blocks(std::move(blocks)) {}
  ~MemoryDataObject() = default;

  const std::vector<ui::ole::DataBlock> m_blocks;
};

}  // namespace

HRESULT SHCreateStdEnumFmtEtc(UINT count, const FORMATETC formats[], IEnumFORMATETC** enumerator) {
  if (enumerator == nullptr || (count > 0 && formats == nullptr)) return E_INVALIDARG;
  std::vector<FORMATETC> list(formats, formats + count);
  for (FORMATETC& format : list) format.ptd = nullptr;
  return FormatEnumerator::Create(std::move(list), enumerator);
}

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (medium == nullptr) return;
  if (medium->pUnkForRelease != nullptr) {
    medium->pUnkForRelease->Release();
  } else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal != nullptr) {
    GlobalFree(medium->hGlobal);
  }
  medium->tymed = TYMED_NULL;
  medium->hGlobal = nullptr;
  medium->pUnkForRelease = nullptr;
}

namespace ui::ole {

HRESULT CreateDataObject(std::vector<DataBlock> blocks, IDataObject** object) {
  return MemoryDataObject::NewInstance(IID_IDataObject, reinterpret_cast<void**>(object),
                                       std::move(blocks));
}

}  // namespace ui::ole
