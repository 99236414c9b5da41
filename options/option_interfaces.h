// The exported option interfaces: one abstract class per settings group.
// The order of the pure virtual members is the dispatch-table order that
// clients are compiled against; never reorder, insert or remove a member.
// Objects are the library's own: clients receive references from the
// accessors of options.h and never construct, copy or free them.
#pragma once

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/base/ctime.h"
#include "platform/base/export.h"
#include "platform/base/win_types.h"

// Called after a value of a group changed: the group's interface pointer, a
// reserved word (always 0), the value id and the user data given to
// SetCallback.
using OptionChangeCallback = void (*)(void* object, DWORD reserved, DWORD valueId, DWORD userData);

class QAP_EXPORT IMiniBrowserOption {
 public:
  IMiniBrowserOption();
  IMiniBrowserOption(const IMiniBrowserOption& other);
  IMiniBrowserOption& operator=(const IMiniBrowserOption& other);

  virtual bool GetDownloadParam() = 0;
  virtual void SetDownloadParam(bool value) = 0;
  virtual DWORD GetDefaultIndex() = 0;
  virtual void SetDefaultIndex(DWORD value) = 0;
  virtual DWORD GetURLCount() = 0;
  // One buffer shared by all calls: the next GetURL overwrites it.
  virtual const CString& GetURL(int index) = 0;
  virtual void SetURL(int index, const CString& url) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~IMiniBrowserOption() = default;
};

class QAP_EXPORT IVisualEffectOption {
 public:
  IVisualEffectOption();
  IVisualEffectOption(const IVisualEffectOption& other);
  IVisualEffectOption& operator=(const IVisualEffectOption& other);

  virtual const CString& GetDefaultEffect() = 0;
  virtual void SetDefaultEffect(const CString& value) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~IVisualEffectOption() = default;
};

class QAP_EXPORT IRecordingOption {
 public:
  IRecordingOption();
  IRecordingOption(const IRecordingOption& other);
  IRecordingOption& operator=(const IRecordingOption& other);

  virtual DWORD GetRecordingMode() = 0;
  virtual void SetRecordingMode(DWORD value) = 0;
  virtual bool GetEraseBeforeRecording() = 0;
  virtual void SetEraseBeforeRecording(bool value) = 0;
  virtual DWORD GetVBR() = 0;
  virtual void SetVBR(DWORD value) = 0;
  virtual DWORD GetCBR_KBPS() = 0;
  virtual void SetCBR_KBPS(DWORD value) = 0;
  virtual const CString& GetDefaultRecorder() = 0;
  virtual void SetDefaultRecorder(const CString& value) = 0;
  virtual bool GetAllowDownmix() = 0;
  virtual void SetAllowDownmix(bool value) = 0;
  virtual bool GetAllowIntensity() = 0;
  virtual void SetAllowIntensity(bool value) = 0;
  virtual bool GetSoftwareSyncCD() = 0;
  virtual void SetSoftwareSyncCD(bool value) = 0;
  virtual bool GetPlaySound() = 0;
  virtual void SetPlaySound(bool value) = 0;
  virtual bool GetEjectCD() = 0;
  virtual void SetEjectCD(bool value) = 0;
  virtual DWORD GetRippingSpeed() = 0;
  virtual void SetRippingSpeed(DWORD value) = 0;
  virtual bool GetBitRateType() = 0;
  virtual void SetBitRateType(bool value) = 0;
  virtual DWORD GetCodingQuality() = 0;
  virtual void SetCodingQuality(DWORD value) = 0;
  virtual DWORD GetCodingScheme() = 0;
  virtual void SetCodingScheme(DWORD value) = 0;
  virtual DWORD GetFadeInSec() = 0;
  virtual void SetFadeInSec(DWORD value) = 0;
  virtual DWORD GetFadeOutSec() = 0;
  virtual void SetFadeOutSec(DWORD value) = 0;
  virtual DWORD GetNormalization() = 0;
  virtual void SetNormalization(DWORD value) = 0;
  virtual const CString& GetMusicFolder() = 0;
  virtual void SetMusicFolder(const CString& value) = 0;
  virtual DWORD GetDefaultRecorderDevice() = 0;
  virtual void SetDefaultRecorderDevice(DWORD value) = 0;
  virtual bool GetUseAsDefault() = 0;
  virtual void SetUseAsDefault(bool value) = 0;
  virtual DWORD GetDefaultOutputFormat() = 0;
  virtual void SetDefaultOutputFormat(DWORD value) = 0;
  virtual DWORD GetCodingSpeed() = 0;
  virtual void SetCodingSpeed(DWORD value) = 0;
  virtual DWORD GetBurningSpeed() = 0;
  virtual void SetBurningSpeed(DWORD value) = 0;
  virtual bool GetBurnWholeList() = 0;
  virtual void SetBurnWholeList(bool value) = 0;
  virtual DWORD GetWMA_KBPS() = 0;
  virtual void SetWMA_KBPS(DWORD value) = 0;
  virtual bool GetLoudnessBalance() = 0;
  virtual void SetLoudnessBalance(bool value) = 0;
  virtual DWORD GetMediaCreationMode() = 0;
  virtual void SetMediaCreationMode(DWORD value) = 0;
  virtual bool GetBurnConvertUncompressedOnly() = 0;
  virtual void SetBurnConvertUncompressedOnly(bool value) = 0;
  virtual bool GetPortableDeviceConvertUncompressedOnly() = 0;
  virtual void SetPortableDeviceConvertUncompressedOnly(bool value) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;
  virtual bool Save() = 0;

 protected:
  ~IRecordingOption() = default;
};

class QAP_EXPORT ISkinOption {
 public:
  ISkinOption();
  ISkinOption(const ISkinOption& other);
  ISkinOption& operator=(const ISkinOption& other);

  virtual const CString& GetSkinPath() = 0;
  virtual void SetSkinPath(const CString& value) = 0;
  virtual const CString& GetSkinsRoot() = 0;
  virtual void SetSkinsRoot(const CString& value) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~ISkinOption() = default;
};

// The times keep only their time of day in the registry.
class QAP_EXPORT ISchedulerOption {
 public:
  ISchedulerOption();
  ISchedulerOption(const ISchedulerOption& other);
  ISchedulerOption& operator=(const ISchedulerOption& other);

  virtual bool GetUsePlStartAtTime() = 0;
  virtual void SetUsePlStartAtTime(bool value) = 0;
  virtual CTime GetPlStartAtTime() = 0;
  virtual void SetPlStartAtTime(CTime value) = 0;
  virtual bool GetUsePlStopAfterTime() = 0;
  virtual void SetUsePlStopAfterTime(bool value) = 0;
  virtual CTime GetPlStopAfterTime() = 0;
  virtual void SetPlStopAfterTime(CTime value) = 0;
  virtual bool GetPlRepeatEveryDay() = 0;
  virtual void SetPlRepeatEveryDay(bool value) = 0;
  virtual bool GetUseRecStartAtTime() = 0;
  virtual void SetUseRecStartAtTime(bool value) = 0;
  virtual CTime GetRecStartAtTime() = 0;
  virtual void SetRecStartAtTime(CTime value) = 0;
  virtual bool GetUseRecStopAfterTime() = 0;
  virtual void SetUseRecStopAfterTime(bool value) = 0;
  virtual CTime GetRecStopAfterTime() = 0;
  virtual void SetRecStopAfterTime(CTime value) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~ISchedulerOption() = default;
};

class QAP_EXPORT ITaggingOption {
 public:
  ITaggingOption();
  ITaggingOption(const ITaggingOption& other);
  ITaggingOption& operator=(const ITaggingOption& other);

  virtual const CString& GetTitle() = 0;
  virtual void SetTitle(const CString& value) = 0;
  virtual const CString& GetArtist() = 0;
  virtual void SetArtist(const CString& value) = 0;
  virtual const CString& GetAlbum() = 0;
  virtual void SetAlbum(const CString& value) = 0;
  virtual DWORD GetYear() = 0;
  virtual void SetYear(DWORD value) = 0;
  virtual bool GetAuto() = 0;
  virtual void SetAuto(bool value) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~ITaggingOption() = default;
};

// Which media file types and whether audio CDs open with the player; its
// Load and Save also write the file-class registry.
class QAP_EXPORT IFileTypes {
 public:
  IFileTypes();
  IFileTypes(const IFileTypes& other);
  IFileTypes& operator=(const IFileTypes& other);

  virtual int GetIconIndex() = 0;
  virtual void SetIconIndex(int index) = 0;
  virtual DWORD GetSpareNumber() = 0;
  virtual void SetSpareNumber(DWORD value) = 0;
  virtual bool GetAssociateWithCD() = 0;
  virtual void SetAssociateWithCD(bool value) = 0;
  virtual bool GetRegisterAtStartup() = 0;
  virtual void SetRegisterAtStartup(bool value) = 0;
  // The list itself: clients edit it directly (no notification); the next
  // Save associates exactly the extensions it holds.
  virtual CStringArray& GetAssociatedExtensions() = 0;
  // The first of GetExtensionCount() entries (".AS" ... ".LBY").
  virtual const CString* GetExtensionTable() = 0;
  virtual DWORD GetExtensionCount() = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;
  virtual bool Load() = 0;
  virtual bool Save() = 0;

 protected:
  ~IFileTypes() = default;
};

// Genre preferences. An index outside the list reads as 0 or empty text and
// is ignored by the setters.
class QAP_EXPORT IJukemindOption {
 public:
  IJukemindOption();
  IJukemindOption(const IJukemindOption& other);
  IJukemindOption& operator=(const IJukemindOption& other);

  virtual DWORD GetGenresCount() = 0;
  virtual DWORD GetGenreID(int index) = 0;
  virtual void SetGenreID(int index, DWORD id) = 0;
  // One buffer shared by all calls.
  virtual const CString& GetGenreName(int index) = 0;
  virtual void SetGenreName(int index, const CString& name) = 0;
  virtual DWORD GetGenreValue(int index) = 0;
  virtual void SetGenreValue(int index, DWORD value) = 0;
  virtual DWORD GetTENDtoPREFER() = 0;
  virtual void SetTENDtoPREFER(DWORD value) = 0;
  virtual bool StampVersion() = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~IJukemindOption() = default;
};

// Themes. An index outside the list reads as false or empty text and is
// ignored by the setters.
class QAP_EXPORT IAdvancedJukemindOption {
 public:
  IAdvancedJukemindOption();
  IAdvancedJukemindOption(const IAdvancedJukemindOption& other);
  IAdvancedJukemindOption& operator=(const IAdvancedJukemindOption& other);

  virtual DWORD GetThemesCount() = 0;
  virtual bool GetThemeVal(int index) = 0;
  virtual void SetThemeVal(int index, bool selected) = 0;
  // One buffer shared by all name calls.
  virtual const CString& GetThemeName(int index) = 0;
  virtual void SetThemeName(int index, const CString& name) = 0;
  // One buffer shared by all description calls.
  virtual const CString& GetThemeDescription(int index) = 0;
  virtual void SetThemeDescription(int index, const CString& description) = 0;
  virtual void AddTheme(const CString& name) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~IAdvancedJukemindOption() = default;
};

class QAP_EXPORT ICDDBOption {
 public:
  ICDDBOption();
  ICDDBOption(const ICDDBOption& other);
  ICDDBOption& operator=(const ICDDBOption& other);

  virtual bool GetBehindProxy() = 0;
  virtual void SetBehindProxy(bool value) = 0;
  virtual bool GetUseCDDB() = 0;
  virtual void SetUseCDDB(bool value) = 0;
  virtual bool GetFirstCheckInCDDB() = 0;
  virtual void SetFirstCheckInCDDB(bool value) = 0;
  virtual bool GetSubmitCDDB() = 0;
  virtual void SetSubmitCDDB(bool value) = 0;
  virtual bool GetGetSupplementaryInfo() = 0;
  virtual void SetGetSupplementaryInfo(bool value) = 0;
  virtual const CString& GetHost() = 0;
  virtual void SetHost(const CString& value) = 0;
  virtual DWORD GetPort() = 0;
  virtual void SetPort(DWORD value) = 0;
  virtual const CString& GetUserName() = 0;
  virtual void SetUserName(const CString& value) = 0;
  virtual const CString& GetPassword() = 0;
  virtual void SetPassword(const CString& value) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~ICDDBOption() = default;
};

// Both window positions are kept under the same two registry values; the
// second pair is the one a save leaves there.
class QAP_EXPORT IGeneralOption {
 public:
  IGeneralOption();
  IGeneralOption(const IGeneralOption& other);
  IGeneralOption& operator=(const IGeneralOption& other);

  virtual DWORD GetXWndStartPosition() = 0;
  virtual void SetXWndStartPosition(DWORD value) = 0;
  virtual DWORD GetYWndStartPosition() = 0;
  virtual void SetYWndStartPosition(DWORD value) = 0;
  virtual bool GetStartPlayingAfterAdd() = 0;
  virtual void SetStartPlayingAfterAdd(bool value) = 0;
  virtual DWORD GetXWndStartPosition2() = 0;
  virtual void SetXWndStartPosition2(DWORD value) = 0;
  virtual DWORD GetYWndStartPosition2() = 0;
  virtual void SetYWndStartPosition2(DWORD value) = 0;
  virtual bool Load() = 0;
  virtual bool Save() = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~IGeneralOption() = default;
};

class QAP_EXPORT ISoundEffectOption {
 public:
  ISoundEffectOption();
  ISoundEffectOption(const ISoundEffectOption& other);
  ISoundEffectOption& operator=(const ISoundEffectOption& other);

  virtual DWORD GetQuality() = 0;
  virtual void SetQuality(DWORD value) = 0;
  virtual bool SetCallback(OptionChangeCallback callback, DWORD userData) = 0;

 protected:
  ~ISoundEffectOption() = default;
};
