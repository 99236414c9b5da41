// The read-only data object both the memory data object and the OLE
// clipboard's data object are: Derived gives the formats it holds
// (Formats()) and their bytes (Read(format, &bytes)); this answers the
// data object's members from them, handing out global memory only.
#pragma once

#include <vector>

#include "platform/com/com_object.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/global_memory.h"

namespace ui::ole {

template <typename Derived>
class BlockDataObject : public ComObject<Derived, IDataObject> {
 public:
  InterfaceTable Interfaces() { return {{&IID_IDataObject, static_cast<IDataObject*>(this)}}; }

  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (medium == nullptr) return E_INVALIDARG;
    medium->tymed = TYMED_NULL;
    medium->hGlobal = nullptr;
    medium->pUnkForRelease = nullptr;
    HRESULT checked = QueryGetData(format);
    if (checked != S_OK) return checked;
    std::vector<BYTE> bytes;
    if (!Self()->Read(format->cfFormat, &bytes)) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalFromBytes(bytes.data(), bytes.size());
    if (memory == nullptr) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    return S_OK;
  }
  HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT QueryGetData(FORMATETC* format) override {
    if (format == nullptr) return E_INVALIDARG;
    bool held = false;
    for (CLIPFORMAT candidate : Self()->Formats()) held = held || candidate == format->cfFormat;
    if (!held) return DV_E_FORMATETC;
    if ((format->tymed & TYMED_HGLOBAL) == 0) return DV_E_TYMED;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (format->lindex != -1) return DV_E_LINDEX;
    return S_OK;
  }
  HRESULT GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override {
    if (format == nullptr || canonical == nullptr) return E_INVALIDARG;
    *canonical = *format;
    canonical->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (formats == nullptr) return E_INVALIDARG;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> list;
    for (CLIPFORMAT format : Self()->Formats()) list.push_back(HGlobalFormat(format));
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
  }
  HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 protected:
  BlockDataObject() = default;
  ~BlockDataObject() = default;

 private:
  Derived* Self() { return static_cast<Derived*>(this); }
};

}  // namespace ui::ole
