// Ready-made pieces for data objects: a format enumerator over a list (as
// the shell's SHCreateStdEnumFmtEtc makes one), and a data object holding
// blocks of bytes by format, for drops from outside (a file list) and for a
// front-end that brings the desktop's data in.
#pragma once

#include <vector>

#include "platform/base/export.h"
#include "platform/ui/ole/ole_interfaces.h"

// Enumerates a copy of formats (their target devices are not kept: data
// here is device-independent).
QAP_EXPORT HRESULT SHCreateStdEnumFmtEtc(UINT count, const FORMATETC formats[],
                                         IEnumFORMATETC** enumerator);

namespace ui::ole {

struct DataBlock {
  CLIPFORMAT format = 0;
  std::vector<BYTE> bytes;
};

// A data object offering each block as global memory in the content
// aspect (a new copy per GetData); any other format is DV_E_FORMATETC.
QAP_EXPORT HRESULT CreateDataObject(std::vector<DataBlock> blocks, IDataObject** object);

// The FORMATETC this window system offers for format: global memory,
// content aspect, all of it.
constexpr FORMATETC HGlobalFormat(CLIPFORMAT format) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

}  // namespace ui::ole
