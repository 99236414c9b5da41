// The OLE data transfer interfaces, in slot order, with their records and
// result codes: data objects and their format enumerators (clipboard and
// drag and drop), drop sources and drop targets. Values as objidl.h,
// oleidl.h and winerror.h give them.
#pragma once

#include <cstddef>

#include "platform/base/export.h"
#include "platform/com/unknown.h"
#include "platform/ui/ui_types.h"

using CLIPFORMAT = WORD;
using LPOLESTR = char16_t*;

struct POINTL {
  LONG x;
  LONG y;
};

// A device a rendering is meant for; the offsets count from the start of
// the record. Data here is always device-independent (ptd null).
struct DVTARGETDEVICE {
  DWORD tdSize;
  WORD tdDriverNameOffset;
  WORD tdDeviceNameOffset;
  WORD tdPortNameOffset;
  WORD tdExtDevmodeOffset;
  BYTE tdData[1];
};

constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD DVASPECT_THUMBNAIL = 2;
constexpr DWORD DVASPECT_ICON = 4;
constexpr DWORD DVASPECT_DOCPRINT = 8;

// Storage media. Only global memory travels in this window system.
constexpr DWORD TYMED_NULL = 0;
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD TYMED_FILE = 2;
constexpr DWORD TYMED_ISTREAM = 4;
constexpr DWORD TYMED_ISTORAGE = 8;
constexpr DWORD TYMED_GDI = 16;
constexpr DWORD TYMED_MFPICT = 32;
constexpr DWORD TYMED_ENHMF = 64;

struct FORMATETC {
  CLIPFORMAT cfFormat;
  DVTARGETDEVICE* ptd;
  DWORD dwAspect;
  LONG lindex;
  DWORD tymed;
};
static_assert(offsetof(FORMATETC, ptd) == sizeof(void*));
static_assert(offsetof(FORMATETC, dwAspect) == 2 * sizeof(void*));
static_assert(offsetof(FORMATETC, tymed) == 2 * sizeof(void*) + 8);

// Streams and storages are not offered; the slots keep STGMEDIUM's layout.
class IStream;
class IStorage;

struct STGMEDIUM {
  DWORD tymed;
  union {
    HBITMAP hBitmap;
    HGLOBAL hGlobal;
    LPOLESTR lpszFileName;
    IStream* pstm;
    IStorage* pstg;
  };
  // When set, releasing the medium releases this object instead of freeing
  // the storage, which stays its owner's.
  IUnknown* pUnkForRelease;
};
static_assert(offsetof(STGMEDIUM, hGlobal) == sizeof(void*));
static_assert(offsetof(STGMEDIUM, pUnkForRelease) == 2 * sizeof(void*));

constexpr DWORD DATADIR_GET = 1;
constexpr DWORD DATADIR_SET = 2;

// Drop effects.
constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;
constexpr DWORD DROPEFFECT_SCROLL = 0x80000000;

constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
constexpr HRESULT DATA_S_SAMEFORMATETC = 0x00040130;
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = MakeHResult(0x80040100);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = MakeHResult(0x80040101);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = MakeHResult(0x80040102);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = MakeHResult(0x80040003);
constexpr HRESULT OLE_E_NOCONNECTION = MakeHResult(0x80040004);
constexpr HRESULT OLE_E_NOTRUNNING = MakeHResult(0x80040005);
constexpr HRESULT OLE_E_INVALIDHWND = MakeHResult(0x8004000F);
constexpr HRESULT DV_E_FORMATETC = MakeHResult(0x80040064);
constexpr HRESULT DV_E_DVTARGETDEVICE = MakeHResult(0x80040065);
constexpr HRESULT DV_E_STGMEDIUM = MakeHResult(0x80040066);
constexpr HRESULT DV_E_LINDEX = MakeHResult(0x80040068);
constexpr HRESULT DV_E_TYMED = MakeHResult(0x80040069);
constexpr HRESULT DV_E_CLIPFORMAT = MakeHResult(0x8004006A);
constexpr HRESULT DV_E_DVASPECT = MakeHResult(0x8004006B);
constexpr HRESULT CLIPBRD_E_CANT_OPEN = MakeHResult(0x800401D0);
constexpr HRESULT CLIPBRD_E_CANT_EMPTY = MakeHResult(0x800401D1);
constexpr HRESULT CLIPBRD_E_CANT_SET = MakeHResult(0x800401D2);
constexpr HRESULT CLIPBRD_E_BAD_DATA = MakeHResult(0x800401D3);
constexpr HRESULT CLIPBRD_E_CANT_CLOSE = MakeHResult(0x800401D4);

// {00000103-0000-0000-C000-000000000046}
constexpr IID IID_IEnumFORMATETC{0x00000103, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {0000010E-0000-0000-C000-000000000046}
constexpr IID IID_IDataObject{0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000121-0000-0000-C000-000000000046}
constexpr IID IID_IDropSource{0x00000121, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000122-0000-0000-C000-000000000046}
constexpr IID IID_IDropTarget{0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IEnumFORMATETC : public IUnknown {
 public:
  virtual HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumFORMATETC** copy) = 0;
};

// Advise sinks and their enumerators are not offered; data objects here
// answer OLE_E_ADVISENOTSUPPORTED.
class IAdviseSink;
class IEnumSTATDATA;

class IDataObject : public IUnknown {
 public:
  // The caller owns the medium it gets and ends it with ReleaseStgMedium.
  virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT QueryGetData(FORMATETC* format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) = 0;
  // With release TRUE the object takes over the medium.
  virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
  virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) = 0;
  virtual HRESULT DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) = 0;
  virtual HRESULT DUnadvise(DWORD connection) = 0;
  virtual HRESULT EnumDAdvise(IEnumSTATDATA** advises) = 0;
};

class IDropSource : public IUnknown {
 public:
  // S_OK to go on, DRAGDROP_S_DROP to drop, DRAGDROP_S_CANCEL to give up.
  virtual HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
  virtual HRESULT GiveFeedback(DWORD effect) = 0;
};

// Points are in screen coordinates; *effect comes in as the effects the
// source allows and goes out as the one the target would carry out.
class IDropTarget : public IUnknown {
 public:
  virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
};

// Frees what a medium holds (or releases pUnkForRelease instead) and
// leaves it TYMED_NULL.
QAP_EXPORT void ReleaseStgMedium(STGMEDIUM* medium);
