// The Windows Media Format SDK's plain types: media types, the PCM wave
// format, status and attribute codes, the GUIDs of media types and system
// profiles, and the result codes the stand-in reports.
#pragma once

#include <cstddef>

#include "platform/base/last_error.h"
#include "platform/base/win_types.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

using QWORD = std::uint64_t;

// Packed as in mmreg.h: 18 bytes, so that the format block of a media type is
// exactly this record.
#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4);
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == 12);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);

constexpr WORD WAVE_FORMAT_PCM = 1;

// A media type; the format block (pbFormat, cbFormat bytes) follows the
// record in the same buffer when an SDK object hands one out.
struct WM_MEDIA_TYPE {
  GUID majortype;
  GUID subtype;
  BOOL bFixedSizeSamples;
  BOOL bTemporalCompression;
  ULONG lSampleSize;
  GUID formattype;
  IUnknown* pUnk;
  ULONG cbFormat;
  BYTE* pbFormat;
};
static_assert(offsetof(WM_MEDIA_TYPE, subtype) == 16);
static_assert(offsetof(WM_MEDIA_TYPE, bFixedSizeSamples) == 32);
static_assert(offsetof(WM_MEDIA_TYPE, lSampleSize) == 40);
static_assert(offsetof(WM_MEDIA_TYPE, formattype) == 44);
static_assert(offsetof(WM_MEDIA_TYPE, pUnk) == 64);
static_assert(offsetof(WM_MEDIA_TYPE, cbFormat) == 72);
static_assert(offsetof(WM_MEDIA_TYPE, pbFormat) == 80);
static_assert(sizeof(WM_MEDIA_TYPE) == 88);

// {73647561-0000-0010-8000-00AA00389B71}
constexpr GUID WMMEDIATYPE_Audio{0x73647561, 0x0000, 0x0010,
                                 {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// {73646976-0000-0010-8000-00AA00389B71}
constexpr GUID WMMEDIATYPE_Video{0x73646976, 0x0000, 0x0010,
                                 {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// {00000001-0000-0010-8000-00AA00389B71}
constexpr GUID WMMEDIASUBTYPE_PCM{0x00000001, 0x0000, 0x0010,
                                  {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// {05589F81-C356-11CE-BF01-00AA0055595A}
constexpr GUID WMFORMAT_WaveFormatEx{0x05589F81, 0xC356, 0x11CE,
                                     {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

// The system audio profiles the writer offers: Windows Media Audio 2 in ASF
// at 64, 96 and 128 kbit/s.
// {4820B3F7-CBEC-41DC-9391-78598714C8E5}
constexpr GUID WMProfile_V40_64Audio{0x4820B3F7, 0xCBEC, 0x41DC,
                                     {0x93, 0x91, 0x78, 0x59, 0x87, 0x14, 0xC8, 0xE5}};
// {0EFA0EE3-9E64-41E2-837F-3C0038F327BA}
constexpr GUID WMProfile_V40_96Audio{0x0EFA0EE3, 0x9E64, 0x41E2,
                                     {0x83, 0x7F, 0x3C, 0x00, 0x38, 0xF3, 0x27, 0xBA}};
// {93DDBE12-13DC-4E32-A35E-40378E34279A}
constexpr GUID WMProfile_V40_128Audio{0x93DDBE12, 0x13DC, 0x4E32,
                                      {0xA3, 0x5E, 0x40, 0x37, 0x8E, 0x34, 0x27, 0x9A}};

enum WMT_STATUS : DWORD {
  WMT_ERROR = 0,
  WMT_OPENED = 1,
  WMT_EOF = 4,
};

enum WMT_ATTR_DATATYPE : DWORD {
  WMT_TYPE_DWORD = 0,
  WMT_TYPE_STRING = 1,
  WMT_TYPE_BINARY = 2,
  WMT_TYPE_BOOL = 3,
  WMT_TYPE_QWORD = 4,
  WMT_TYPE_WORD = 5,
  WMT_TYPE_GUID = 6,
};

// A call that the object's state does not allow (reading before an open,
// changing the input while writing).
constexpr HRESULT NS_E_INVALID_REQUEST = MakeHResult(0xC00D002B);
// An attribute that the header does not hold, and a caller buffer that is
// too small for one.
constexpr HRESULT kMediaAttributeNotFound = HResultFromWin32(1168 /* ERROR_NOT_FOUND */);
constexpr HRESULT kMediaBufferTooSmall = HResultFromWin32(ERROR_INSUFFICIENT_BUFFER);
// A file that is not ASF at all; one whose header or data are damaged; a
// file that ends before its header says it does; a stream whose codec the
// layer cannot decode.
constexpr HRESULT kMediaNotAsf = HResultFromWin32(ERROR_BAD_FORMAT);
constexpr HRESULT kMediaInvalidData = HResultFromWin32(ERROR_INVALID_DATA);
constexpr HRESULT kMediaCutShort = HResultFromWin32(ERROR_HANDLE_EOF);
constexpr HRESULT kMediaUnsupported = HResultFromWin32(ERROR_NOT_SUPPORTED);
