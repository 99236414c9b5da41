// What Drumlet calls of the suite's transfer layer (Quadrin) and tag library
// (Hobrin): the records they exchange, the communication object with its
// command and notification codes, and the flat exports of both libraries.
// Records and slot orders are contracts: never reorder, resize or insert.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/base/export.h"
#include "platform/base/win_types.h"
#include "platform/registry/reg_key.h"

// The Options library's recording group; opaque here.
class IRecordingOption;

constexpr size_t kModuleIdSize = 50;          // a module short ID with its NUL
constexpr size_t kModuleDescriptionSize = 256;
constexpr size_t kExtensionListSize = 1000;   // "wav\wma", no dots
constexpr size_t kTrackPathSize = 1000;
constexpr size_t kTrackNameSize = 256;
constexpr size_t kDeviceNameSize = 256;
constexpr size_t kMaxModules = 50;            // slots of EnumRegisteredModules
constexpr size_t kSelectionFlagCount = 100;

// The kinds of a module (command 6, registry value "style").
using ModuleStyle = DWORD;
constexpr ModuleStyle kStyleReader = 1;
constexpr ModuleStyle kStyleWriter = 2;
constexpr ModuleStyle kStyleDevice = 16;
// Ours: the recorder, which is neither a converter nor a device.
constexpr ModuleStyle kStyleRecorder = 32;

// Flags of TrackEntry::flags.
constexpr DWORD kTrackDeleted = 2;
constexpr DWORD kTrackPrepared = 4;
constexpr DWORD kTrackOnDevice = 8;
constexpr DWORD kTrackTagsRead = 0x40;

// Bits of TagBlock::presence, one per string in order.
constexpr DWORD kTagTitle = 1;
constexpr DWORD kTagArtist = 2;
constexpr DWORD kTagAlbum = 4;
constexpr DWORD kTagYear = 8;
constexpr DWORD kTagGenre = 0x10;

#pragma pack(push, 1)

struct TagBlock {
  char title[256];
  char artist[256];
  char album[256];
  char year[50];
  char genre[50];
  DWORD presence;
};
static_assert(offsetof(TagBlock, title) == 0);
static_assert(offsetof(TagBlock, artist) == 256);
static_assert(offsetof(TagBlock, album) == 512);
static_assert(offsetof(TagBlock, year) == 768);
static_assert(offsetof(TagBlock, genre) == 818);
static_assert(offsetof(TagBlock, presence) == 868);
static_assert(sizeof(TagBlock) == 872);

struct TrackEntry {
  char sourcePath[kTrackPathSize];
  char readerId[kModuleIdSize];
  DWORD size;      // file size; the prepared size once prepared
  DWORD reserved;  // zero
  DWORD position;  // in the list it was prepared from
  char name[kTrackNameSize];
  char destination[256];
  TagBlock tags;
  DWORD flags;
};
static_assert(offsetof(TrackEntry, sourcePath) == 0);
static_assert(offsetof(TrackEntry, readerId) == 1000);
static_assert(offsetof(TrackEntry, size) == 1050);
static_assert(offsetof(TrackEntry, reserved) == 1054);
static_assert(offsetof(TrackEntry, position) == 1058);
static_assert(offsetof(TrackEntry, name) == 1062);
static_assert(offsetof(TrackEntry, destination) == 1318);
static_assert(offsetof(TrackEntry, tags) == 1574);
static_assert(offsetof(TrackEntry, flags) == 2446);
static_assert(sizeof(TrackEntry) == 2450);

struct DeviceInfo {
  char moduleId[52];
  DWORD index;
  char name[kDeviceNameSize];
};
static_assert(offsetof(DeviceInfo, moduleId) == 0);
static_assert(offsetof(DeviceInfo, index) == 52);
static_assert(offsetof(DeviceInfo, name) == 56);
static_assert(sizeof(DeviceInfo) == 312);

struct ModuleInfo {
  char shortId[kModuleIdSize];
  char description[kModuleDescriptionSize];
  ModuleStyle style;
  char extensions[kExtensionListSize];
};
static_assert(offsetof(ModuleInfo, shortId) == 0);
static_assert(offsetof(ModuleInfo, description) == 50);
static_assert(offsetof(ModuleInfo, style) == 306);
static_assert(offsetof(ModuleInfo, extensions) == 310);
static_assert(sizeof(ModuleInfo) == 1310);

// The descriptor CreateCommunicationObject fills.
struct ModuleDescriptor {
  char shortId[kModuleIdSize];
  char description[kModuleDescriptionSize];
};
static_assert(offsetof(ModuleDescriptor, description) == 50);
static_assert(sizeof(ModuleDescriptor) == 306);

// The layer's options (command 9). The layer reads the bit rate and the
// temporary folder; the other words are the host's defaults, carried as they
// are.
struct TQuadrinInitStruct {
  DWORD reserved0[10];
  DWORD value40;        // default 10000
  DWORD value44;        // default 10000
  DWORD reserved48[2];
  DWORD value56;        // default 2
  DWORD bitRateKbps;    // writers' output bit rate in kbit/s ("WMA_KBPS")
  DWORD value64;        // default 16
  DWORD mp3BitRateKbps;  // MP3 writers' bit rate ("CBR_KBPS"); 0: bitRateKbps
  DWORD value72;        // default 0
  DWORD value76;        // default 0
  DWORD value80;        // default 1
  DWORD reserved84[2];
  char tempFolder[MAX_PATH];  // where prepared tracks are made
  char filterName[52];        // default "FakeFilter"
  WORD trailer;
};
static_assert(offsetof(TQuadrinInitStruct, value40) == 40);
static_assert(offsetof(TQuadrinInitStruct, value44) == 44);
static_assert(offsetof(TQuadrinInitStruct, value56) == 56);
static_assert(offsetof(TQuadrinInitStruct, bitRateKbps) == 60);
static_assert(offsetof(TQuadrinInitStruct, value64) == 64);
static_assert(offsetof(TQuadrinInitStruct, mp3BitRateKbps) == 68);
static_assert(offsetof(TQuadrinInitStruct, value72) == 72);
static_assert(offsetof(TQuadrinInitStruct, value76) == 76);
static_assert(offsetof(TQuadrinInitStruct, value80) == 80);
static_assert(offsetof(TQuadrinInitStruct, tempFolder) == 92);
static_assert(offsetof(TQuadrinInitStruct, filterName) == 352);
static_assert(offsetof(TQuadrinInitStruct, trailer) == 404);
static_assert(sizeof(TQuadrinInitStruct) == 406);

// Device command 3009: the index in, the name out behind it.
struct DeviceNameQuery {
  DWORD index;
  char name[kDeviceNameSize];
};
static_assert(offsetof(DeviceNameQuery, name) == 4);
static_assert(sizeof(DeviceNameQuery) == 260);

// Device command 3014: 1 = burn the prepared track at that index (prepared
// tracks in list order).
struct SelectionFlags {
  BYTE burn[kSelectionFlagCount];
};
static_assert(sizeof(SelectionFlags) == 100);

// Notification 106: the count, then that many entries.
struct PreparedTrackList {
  DWORD count;
  TrackEntry entries[1];
};
static_assert(offsetof(PreparedTrackList, entries) == 4);

#pragma pack(pop)

// Device command 3010.
struct OpenParams {
  DWORD deviceIndex;
  DWORD reserved;         // zero
  const char* imagePath;  // the disc image of a disc-image device, or null
  TQuadrinInitStruct init;
};
static_assert(offsetof(OpenParams, deviceIndex) == 0);
static_assert(offsetof(OpenParams, reserved) == 4);
static_assert(offsetof(OpenParams, imagePath) == 8);
static_assert(offsetof(OpenParams, init) == 16);
static_assert(sizeof(OpenParams) == 424);

// Notification 1 of a reader: the second word is the amount done, in
// milliseconds of audio.
struct ReaderProgress {
  DWORD blockBytes;
  DWORD doneMs;
  DWORD totalMs;
};
static_assert(offsetof(ReaderProgress, doneMs) == 4);
static_assert(sizeof(ReaderProgress) == 12);

// Notifications 100 and 101 of the recorder.
struct RecorderProgress {
  DWORD converting;  // 100: 1 while preparing, 0 while burning; 101: 0
  DWORD index;       // 100: the track's index among the recorder's tracks
  DWORD percent;
};
static_assert(offsetof(RecorderProgress, percent) == 8);
static_assert(sizeof(RecorderProgress) == 12);

// Command codes (object: meaning).
constexpr DWORD kCmdOpen = 1;               // reader: TrackEntry; writer: destination path
constexpr DWORD kCmdConnect = 2;            // reader: writer object; recorder: device object
constexpr DWORD kCmdIsOpen = 3;             // writer: 0 = output open
constexpr DWORD kCmdSetInputFormat = 4;     // writer: the reader's format block
constexpr DWORD kCmdGetStyle = 6;           // any: out ModuleStyle
constexpr DWORD kCmdStart = 7;              // reader: convert; recorder: burn
constexpr DWORD kCmdAbort = 8;              // reader, recorder
constexpr DWORD kCmdSetOptions = 9;         // any: TQuadrinInitStruct
constexpr DWORD kCmdGetStorageName = 102;   // device: out text, kDeviceNameSize bytes
constexpr DWORD kCmdSetTags = 106;          // writer: TagBlock; non-zero = not taken
constexpr DWORD kCmdGetFormat = 1003;       // reader: out format block
constexpr DWORD kCmdGetLength = 1004;       // reader: out milliseconds
constexpr DWORD kCmdQueueTrack = 2000;      // recorder: TrackEntry; 0 = accepted
constexpr DWORD kCmdEraseMedium = 2003;     // recorder
constexpr DWORD kCmdPrepare = 2005;         // recorder
constexpr DWORD kCmdFormatMedium = 3005;    // device
constexpr DWORD kCmdGetDeviceCount = 3008;  // device module: out DWORD
constexpr DWORD kCmdDescribeDevice = 3009;  // device module: DeviceNameQuery
constexpr DWORD kCmdOpenDevice = 3010;      // device: OpenParams
constexpr DWORD kCmdCloseDevice = 3011;     // device: 0 or 1 as the data word
constexpr DWORD kCmdBeginTrackList = 3012;  // device
constexpr DWORD kCmdNextTrack = 3013;       // device: out TrackEntry; non-zero = no more
constexpr DWORD kCmdSelectTracks = 3014;    // device: SelectionFlags
constexpr DWORD kCmdGetCapacity = 3015;     // device: out 32-bit signed bytes
constexpr DWORD kCmdGetFreeSpace = 3016;    // device: out 32-bit signed bytes

// Results of Command.
constexpr std::int32_t kQuadrinOk = 0;
constexpr std::int32_t kQuadrinFailed = -1;
constexpr std::int32_t kQuadrinNotSupported = 4352;

// Notification codes.
constexpr DWORD kNotifyProgress = 1;         // reader: ReaderProgress
// reader: the value is a TransferResult; the data is null, or for a failed
// run a NUL-terminated text saying why ("No space left on device")
constexpr DWORD kNotifyEnd = 2;
constexpr DWORD kNotifyTrackProgress = 100;  // recorder: RecorderProgress
constexpr DWORD kNotifyEraseProgress = 101;  // recorder: RecorderProgress
constexpr DWORD kNotifyEraseDone = 103;      // recorder: null; value TransferResult
constexpr DWORD kNotifyBurnDone = 104;       // recorder: null; value TransferResult
constexpr DWORD kNotifyPrepared = 106;       // recorder: PreparedTrackList; value TransferResult
// recorder, and a device that cannot be opened or read: NUL-terminated text
constexpr DWORD kNotifyText = 108;

// The value word of the end notifications. Every started conversion,
// preparation, burn and erase ends with exactly one of them.
using TransferResult = DWORD;
constexpr TransferResult kTransferCompleted = 0;
constexpr TransferResult kTransferAborted = 1;
constexpr TransferResult kTransferFailed = 2;

// Called on the layer's own threads (a reader's delivery thread, the
// recorder's thread) or, for the end of an abort, on the aborting thread.
// Returns 0. A callback must not destroy the object that calls it.
using NotifyCallback = DWORD (*)(DWORD value, DWORD code, void* data, void* context);

// A reader, writer, device or recorder of Quadrin. Ends through
// DestroyCommunicationObject (or Destroy), never through delete.
class ICommunication {
 public:
  virtual std::int32_t Destroy(DWORD reserved) = 0;
  virtual std::int32_t Command(DWORD code, void* data) = 0;
  // Reader: the most recent block. Others: 0, nothing done.
  virtual std::int32_t Read(void* destination, DWORD* length) = 0;
  // Writer: one block of PCM in the input format, once started. Others: 0.
  virtual std::int32_t Write(const void* source, const DWORD* length) = 0;
  // Replaces any earlier callback; null silences the object.
  virtual std::int32_t SetNotifyCallback(NotifyCallback callback, void* context) = 0;

 protected:
  ~ICommunication() = default;
};

// Quadrin's exports.
extern "C" {

// Fills up to kMaxModules slots of slotSize bytes with the registered
// modules' short IDs. 0 = success.
QAP_EXPORT std::int32_t EnumRegisteredModules(char* buffer, DWORD slotSize, DWORD* count);
// 0 = made; descriptor (may be null) then holds the short ID and the
// description. Non-zero leaves *object null.
QAP_EXPORT std::int32_t CreateCommunicationObject(ICommunication** object, const char* shortId,
                                                  ModuleDescriptor* descriptor);
// Unknown pointers are ignored.
QAP_EXPORT void DestroyCommunicationObject(ICommunication* object, DWORD reserved);
// 0 = filled from the options (a null options object answers non-zero).
QAP_EXPORT std::int32_t ConvertOptionsToTQuadrinInitStruct(IRecordingOption* options,
                                                           TQuadrinInitStruct* init);

}  // extern "C"

// The registry view of the modules: key "Quadrin" with one subkey per short
// ID holding "style" (4 bytes), "extensions" (up to 1000 bytes, separated by
// '\') and "description" (up to 256 bytes).
class QAP_EXPORT CWMRegUtil {
 public:
  CWMRegUtil();
  ~CWMRegUtil();
  CWMRegUtil(const CWMRegUtil&) = delete;
  CWMRegUtil& operator=(const CWMRegUtil&) = delete;

  // Non-zero when the modules' root could be opened.
  BOOL Open();
  // Copies the subkey names of key into slots of itemSize bytes, at most
  // maxItems of them; names that do not fit a slot are left out. Returns
  // the count.
  int EnumSubItems(const char* key, char* buffer, int maxItems, int itemSize);
  // Makes key\subKey the key GetValue reads. Non-zero when it exists.
  BOOL SetPath(const char* key, const char* subKey);
  // Reads a value of the current key into buffer (text is cut to size and
  // terminated). Non-zero on success; the buffer is untouched otherwise.
  BOOL GetValue(const char* name, void* buffer, DWORD size);

 private:
  RegKey m_root;
  RegKey m_current;
};

// The tag object of one audio file. Strings are in the system code page;
// a getter's text stays valid until the next Read, setter or Destroy.
class TagObject {
 public:
  virtual void Destroy(DWORD reserved) = 0;
  // The presence bits (kTagTitle...) of the strings the last Read found.
  virtual DWORD GetPresence() = 0;
  // Non-zero when the file's tags were read.
  virtual BOOL Read() = 0;
  // Writes the strings that setters changed into the file; non-zero on
  // success.
  virtual BYTE Write() = 0;
  virtual const char* GetTitle() = 0;
  virtual const char* GetGenre() = 0;
  virtual const char* GetArtist() = 0;
  virtual const char* GetAlbum() = 0;
  virtual const char* GetYear() = 0;
  // The audio's length in milliseconds; 0 when unknown.
  virtual DWORD GetLengthMs() = 0;
  virtual void SetTitle(const char* text) = 0;
  virtual void SetGenre(const char* text) = 0;
  virtual void SetArtist(const char* text) = 0;
  virtual void SetAlbum(const char* text) = 0;
  virtual void SetYear(const char* text) = 0;

 protected:
  ~TagObject() = default;
};

// Hobrin's exports.
extern "C" {

// The tag object of an audio file, or null when the file is missing or not
// in a format the library reads.
QAP_EXPORT TagObject* CreateHobrin(const char* path);
QAP_EXPORT void DestroyHobrin(TagObject* object);

}  // extern "C"

// Owners of the two libraries' objects, which end through their libraries'
// destroy functions.
struct CommunicationCloser {
  void operator()(ICommunication* object) const { DestroyCommunicationObject(object, 0); }
};
using CommunicationPtr = std::unique_ptr<ICommunication, CommunicationCloser>;

struct TagObjectCloser {
  void operator()(TagObject* object) const { DestroyHobrin(object); }
};
using TagObjectPtr = std::unique_ptr<TagObject, TagObjectCloser>;
