// The converter component contract: what a host (the transfer layer, the
// qap command) and a reader or writer component exchange. A component is a
// loadable module with three extern "C" exports; everything else goes
// through the Converter object it makes. Self-contained apart from the Win32
// scalar types, so that every host and component can include it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/win_types.h"

class Converter;

// Event codes of the notification callback.
constexpr DWORD kConverterEventData = 1;  // data: a SampleInfo
constexpr DWORD kConverterEventEnd = 2;   // data: null, or a StreamDamage

// The host's word handed back with every event. Wide enough for a pointer,
// which is what hosts pass.
using ConverterUserData = std::uintptr_t;

// Plain function, called from the component's delivery thread.
using ConverterCallback = void (*)(Converter* converter, DWORD event, void* data,
                                   ConverterUserData userData);

// Valid only during the callback.
struct SampleInfo {
  DWORD length;      // bytes of PCM in the block
  DWORD time;        // presentation time in milliseconds
  const BYTE* data;  // the block's bytes
};
static_assert(offsetof(SampleInfo, length) == 0);
static_assert(offsetof(SampleInfo, time) == 4);
static_assert(offsetof(SampleInfo, data) == 8);
static_assert(sizeof(SampleInfo) == 16);

// The end event's data when the file's damage cut the stream short or broke
// it (null for a stream delivered whole, and for a stop): the host must not
// take what came for the whole. Valid only during the callback.
struct StreamDamage {
  DWORD error;        // Win32 code: ERROR_FILE_CORRUPT, or the failed read's
  DWORD stoppedAtMs;  // where in the stream the delivery ended
  DWORD deliveredMs;  // how much audio was delivered
  DWORD durationMs;   // what the file's header promises; 0 when unknown
};
static_assert(sizeof(StreamDamage) == 16);

// What a reader hands to its sample sink's Write as the length argument: the
// length is the record's first word, so a sink reads it as a plain length.
struct SinkRecord {
  DWORD length;      // all bits set, with null data, for the end of the stream
  const BYTE* data;
  DWORD time;        // milliseconds
  Converter* converter;
};
static_assert(offsetof(SinkRecord, length) == 0);
static_assert(offsetof(SinkRecord, data) == 8);
static_assert(offsetof(SinkRecord, time) == 16);
static_assert(offsetof(SinkRecord, converter) == 24);
static_assert(sizeof(SinkRecord) == 32);
constexpr DWORD kSinkEndOfStream = 0xFFFFFFFF;

// PCM format codes (reader command 1003, writer command 4).
struct PcmFormat {
  DWORD rateCode;     // 1 = 8000 Hz ... 7 = 48000 Hz
  DWORD sizeCode;     // 1 = 8 bits, 2 = 16 bits
  DWORD channelCode;  // 1 = stereo, 2 = mono
  DWORD flags;        // kPcmFormatFilled when a reader filled the record
};
static_assert(offsetof(PcmFormat, sizeCode) == 4);
static_assert(offsetof(PcmFormat, channelCode) == 8);
static_assert(offsetof(PcmFormat, flags) == 12);
static_assert(sizeof(PcmFormat) == 16);
constexpr DWORD kPcmFormatFilled = 1;

constexpr DWORD kPcmRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};

// Code to value; 0 for a code outside the list.
constexpr DWORD PcmRateOfCode(DWORD code) {
  return code >= 1 && code <= 7 ? kPcmRates[code - 1] : 0;
}
constexpr DWORD PcmBitsOfCode(DWORD code) { return code == 1 ? 8 : code == 2 ? 16 : 0; }
constexpr DWORD PcmChannelsOfCode(DWORD code) { return code == 1 ? 2 : code == 2 ? 1 : 0; }
// Value to code; 0 for a value outside the list.
constexpr DWORD PcmRateCode(DWORD rate) {
  for (DWORD code = 1; code <= 7; ++code) {
    if (kPcmRates[code - 1] == rate) return code;
  }
  return 0;
}
constexpr DWORD PcmBitsCode(DWORD bits) { return bits == 8 ? 1 : bits == 16 ? 2 : 0; }
constexpr DWORD PcmChannelsCode(DWORD channels) {
  return channels == 2 ? 1 : channels == 1 ? 2 : 0;
}

// Texts in the system code page (writer command 106).
constexpr size_t kTagTextSize = 256;
struct TagRecord {
  char title[kTagTextSize];
  char author[kTagTextSize];
  char description[kTagTextSize];
};
static_assert(offsetof(TagRecord, author) == 256);
static_assert(offsetof(TagRecord, description) == 512);
static_assert(sizeof(TagRecord) == 768);

// What GetDescription returns: one static record per component.
constexpr size_t kShortNameSize = 50;
constexpr size_t kDescriptionSize = 256;
struct ConverterDescription {
  char shortName[kShortNameSize];
  char description[kDescriptionSize];
};
static_assert(offsetof(ConverterDescription, description) == 50);
static_assert(sizeof(ConverterDescription) == 306);

// Module kinds (command 6), the component's ModuleStyle bit.
constexpr DWORD kModuleStyleReader = 1;
constexpr DWORD kModuleStyleWriter = 2;

// The conversion settings record of command 9 belongs to the transfer layer;
// a writer reads only the bit rate in kbit/s, a 32-bit word at this offset.
constexpr size_t kSettingsBitRateOffset = 60;

enum ConverterCommand : DWORD {
  ConvOpen = 1,
  ConvSetSink = 2,
  ConvIsOpen = 3,
  ConvSetInputFormat = 4,
  ConvGetKind = 6,
  ConvStart = 7,
  ConvStop = 8,
  ConvSetBitRate = 9,
  ConvGetTitle = 100,
  ConvGetAuthor = 101,
  ConvGetDescription = 102,
  ConvSetTags = 106,
  ConvGetFormat = 1003,
  ConvGetDuration = 1004,
};

// Results of the converter's operations.
constexpr std::int32_t kConvSuccess = 0;
constexpr std::int32_t kConvFailure = -1;
constexpr std::int32_t kConvArgumentMissing = 0x1002;  // 4098
constexpr std::int32_t kConvNotSupported = 0x1100;     // 4352

// The converter object. The slot order is the contract; an object ends
// through Destroy, never through delete.
class Converter {
 public:
  // Releases everything and frees the object; the word is ignored. A writer
  // whose output could not be completed answers -1 (and leaves no output);
  // the reason is then in the calling thread's last error.
  virtual std::int32_t Destroy(DWORD ignored) = 0;
  virtual std::int32_t Command(DWORD code, void* argument) = 0;
  // The most recent block into destination (the caller provides room).
  virtual std::int32_t Read(void* destination, DWORD* length) = 0;
  // One block of PCM; *length bytes from source. A writer that cannot take
  // it (a full disk) answers -1 with the reason in the thread's last error.
  virtual std::int32_t Write(const void* source, const DWORD* length) = 0;
  // Replaces any earlier callback.
  virtual std::int32_t SetNotifyCallback(ConverterCallback callback,
                                         ConverterUserData userData) = 0;
};

// The three exports of every component module.
extern "C" {
using CreateObjectFunction = std::int32_t (*)(Converter** object);
using GetDescriptionFunction = const ConverterDescription* (*)();
using GetExtensionsFunction = const char* (*)();
}
constexpr const char* kCreateObjectExport = "CreateObject";
constexpr const char* kGetDescriptionExport = "GetDescription";
constexpr const char* kGetExtensionsExport = "GetExtensions";
