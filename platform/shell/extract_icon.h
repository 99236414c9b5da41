// Icon extractors (IExtractIconA, IExtractIconW): how the shell learns where
// an item's icon comes from. Members stand in slot order after IUnknown's.
#pragma once

#include "platform/com/unknown.h"

using HICON = struct HICON__*;

// {000214EB-0000-0000-C000-000000000046}
constexpr IID IID_IExtractIconA{0x000214EB, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {000214FA-0000-0000-C000-000000000046}
constexpr IID IID_IExtractIconW{0x000214FA, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// What the shell asks for (GetIconLocation's flags in).
constexpr UINT GIL_OPENICON = 0x0001;
constexpr UINT GIL_FORSHELL = 0x0002;
constexpr UINT GIL_ASYNC = 0x0020;
constexpr UINT GIL_DEFAULTICON = 0x0040;
constexpr UINT GIL_FORSHORTCUT = 0x0080;
// What the extractor answers (flags out).
constexpr UINT GIL_SIMULATEDOC = 0x0001;
constexpr UINT GIL_PERINSTANCE = 0x0002;
constexpr UINT GIL_PERCLASS = 0x0004;
constexpr UINT GIL_NOTFILENAME = 0x0008;
constexpr UINT GIL_DONTCACHE = 0x0010;

// A negative index names an icon by its resource identifier.
class IExtractIconA : public IUnknown {
 public:
  virtual HRESULT GetIconLocation(UINT flags, LPSTR file, UINT size, int* index,
                                  UINT* flagsOut) = 0;
  // S_FALSE: the shell extracts the icon from the location itself.
  virtual HRESULT Extract(LPCSTR file, UINT index, HICON* large, HICON* small, UINT sizes) = 0;
};

class IExtractIconW : public IUnknown {
 public:
  virtual HRESULT GetIconLocation(UINT flags, LPWSTR file, UINT size, int* index,
                                  UINT* flagsOut) = 0;
  virtual HRESULT Extract(LPCWSTR file, UINT index, HICON* large, HICON* small, UINT sizes) = 0;
};
