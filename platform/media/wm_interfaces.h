// The Windows Media Format SDK's reader and writer objects, shaped like the
// SDK's interfaces (the methods the suite uses, in the SDK's slot order) and
// backed by FFmpeg. Objects end through Release; nothing here throws.
//
// Reader: Open is asynchronous and always ends in exactly one WMT_OPENED
// status, success or failure (kMediaNotAsf for a file that is not ASF,
// kMediaInvalidData for a damaged header). Each audio or video stream of the
// ASF file is one output; the header's pictures (album art) are not. An
// audio output delivers interleaved PCM at the stream's own rate and channel
// count (16-bit for compressed audio, the stream's own 8-bit or 16-bit
// container for uncompressed audio). Start delivers the audio on a delivery
// thread through OnSample, in samples of several codec frames (about a
// quarter of a second) with 100-ns times, and ends with WMT_EOF, whose
// result is S_OK for a whole file and otherwise says what cut it short
// (kMediaCutShort, kMediaInvalidData, a read error); Stop ends delivery
// before it returns and sends no WMT_EOF. The header attributes are
// "Title", "Author", "Description" (strings) and "Duration" (QWORD, 100-ns
// units, as the header declares it).
//
// The reader ends its file when its last reference goes; its threads end
// before that Release returns, so it must not come from inside a callback.
//
// Writer: the three WMProfile_V40_*Audio profiles, Windows Media Audio 2 in
// ASF at the input's own rate and channel count. Samples are encoded in the
// order written; a sample stamped later than the audio written so far is
// preceded by silence up to its time. "Title", "Author" and "Description"
// end up in the file's content description.
#pragma once

#include "platform/base/export.h"
#include "platform/media/wm_types.h"

// {96406BDA-2B2B-11D3-B36B-00C04F6108FF}
constexpr IID IID_IWMHeaderInfo{0x96406BDA, 0x2B2B, 0x11D3,
                                {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};

class INSSBuffer : public IUnknown {
 public:
  virtual HRESULT GetBufferAndLength(BYTE** buffer, DWORD* length) = 0;
};

class IWMMediaProps : public IUnknown {
 public:
  // With type null, *size receives the bytes needed: the record and its
  // format block, which is copied right behind the record.
  virtual HRESULT GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) = 0;
  virtual HRESULT SetMediaType(const WM_MEDIA_TYPE* type) = 0;
};

class IWMOutputMediaProps : public IWMMediaProps {};
class IWMInputMediaProps : public IWMMediaProps {};

class IWMHeaderInfo : public IUnknown {
 public:
  // *length is the buffer's size in; the value's size out. A null value asks
  // for the size only. Stream 0 is the file itself.
  virtual HRESULT GetAttributeByName(WORD* streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                                     BYTE* value, WORD* length) = 0;
  virtual HRESULT SetAttribute(WORD streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE type,
                               const BYTE* value, WORD length) = 0;
};

class IWMStatusCallback : public IUnknown {
 public:
  virtual HRESULT OnStatus(WMT_STATUS status, HRESULT result, WMT_ATTR_DATATYPE type,
                           BYTE* value, void* context) = 0;
};

class IWMReaderCallback : public IWMStatusCallback {
 public:
  virtual HRESULT OnSample(DWORD outputNumber, QWORD sampleTime, QWORD sampleDuration,
                           DWORD flags, INSSBuffer* sample, void* context) = 0;
};

class IWMReader : public IUnknown {
 public:
  virtual HRESULT Open(LPCWSTR url, IWMReaderCallback* callback, void* context) = 0;
  virtual HRESULT GetOutputCount(DWORD* outputs) = 0;
  virtual HRESULT GetOutputProps(DWORD outputNumber, IWMOutputMediaProps** output) = 0;
  // Delivery always begins at the start of the file (start 0) and runs to
  // its end (duration 0) at rate 1.0.
  virtual HRESULT Start(QWORD start, QWORD duration, float rate, void* context) = 0;
  virtual HRESULT Stop() = 0;
};

class IWMWriter : public IUnknown {
 public:
  virtual HRESULT SetProfileByID(REFGUID profile) = 0;
  virtual HRESULT SetOutputFilename(LPCWSTR fileName) = 0;
  virtual HRESULT GetInputProps(DWORD inputNumber, IWMInputMediaProps** input) = 0;
  virtual HRESULT SetInputProps(DWORD inputNumber, IWMInputMediaProps* input) = 0;
  virtual HRESULT BeginWriting() = 0;
  virtual HRESULT EndWriting() = 0;
  virtual HRESULT AllocateSample(DWORD size, INSSBuffer** sample) = 0;
  virtual HRESULT WriteSample(DWORD inputNumber, QWORD sampleTime, DWORD flags,
                              INSSBuffer* sample) = 0;
  // Whole frames reach the file as they fill; the last partial frame waits
  // for EndWriting, so there is nothing more to push out here.
  virtual HRESULT Flush() = 0;
};

// The SDK's private creation entries: a new reader or writer with one
// reference for the caller.
extern "C" {
QAP_EXPORT HRESULT WMCreateReaderPriv(IWMReader** reader);
QAP_EXPORT HRESULT WMCreateWriterPriv(IWMWriter** writer);
}
