// The format enumerator, the memory data object and the release of media.
#include "platform/ui/ole/data_objects.h"

#include <algorithm>

#include "platform/ui/ole/block_data_object.h"

namespace {

class FormatEnumerator final : public ComObject<FormatEnumerator, IEnumFORMATETC> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IEnumFORMATETC, static_cast<IEnumFORMATETC*>(this)}};
  }

  HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) override {
    if (formats == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG given = 0;
    while (given < count && m_position < m_formats.size()) formats[given++] = m_formats[m_position++];
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    const size_t left = m_formats.size() - m_position;
    m_position += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    m_position = 0;
    return S_OK;
  }
  HRESULT Clone(IEnumFORMATETC** copy) override {
    if (copy == nullptr) return E_POINTER;
    HRESULT result = NewInstance(IID_IEnumFORMATETC, reinterpret_cast<void**>(copy), m_formats);
    if (SUCCEEDED(result)) static_cast<FormatEnumerator*>(*copy)->m_position = m_position;
    return result;
  }

 private:
  friend ComObject<FormatEnumerator, IEnumFORMATETC>;
  explicit FormatEnumerator(std::vector<FORMATETC> formats) : m_formats(std::move(formats)) {}
  ~FormatEnumerator() = default;

  std::vector<FORMATETC> m_formats;
  size_t m_position = 0;
};

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

HRESULT SHCreateStdEnumFmtEtc(UINT count, const FORMATETC formats[],
                              IEnumFORMATETC** enumerator) {
  if (enumerator == nullptr || (count > 0 && formats == nullptr)) return E_INVALIDARG;
  std::vector<FORMATETC> list(formats, formats + count);
  for (FORMATETC& format : list) format.ptd = nullptr;
  return FormatEnumerator::NewInstance(IID_IEnumFORMATETC, reinterpret_cast<void**>(enumerator),
                                       std::move(list));
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
