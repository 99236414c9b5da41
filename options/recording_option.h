// The recording group (key "Recording"): ripping, encoding and burning
// settings. Value ids follow the interface's slot order; the load and save
// order differs only in "MediaCreationMode", which comes first.
#pragma once

#include "options/option_group.h"

namespace qap::options {

class RecordingOption final : public OptionGroup<IRecordingOption> {
 public:
  RecordingOption();

  DWORD GetRecordingMode() override { return m_values.Number(kRecordingMode); }
  void SetRecordingMode(DWORD value) override { m_values.SetNumber(kRecordingMode, value); }
  bool GetEraseBeforeRecording() override { return m_values.Flag(kEraseBeforeRecording); }
  void SetEraseBeforeRecording(bool value) override { m_values.SetFlag(kEraseBeforeRecording, value); }
  DWORD GetVBR() override { return m_values.Number(kVbr); }
  void SetVBR(DWORD value) override { m_values.SetNumber(kVbr, value); }
  DWORD GetCBR_KBPS() override { return m_values.Number(kCbrKbps); }
  void SetCBR_KBPS(DWORD value) override { m_values.SetNumber(kCbrKbps, value); }
  const CString& GetDefaultRecorder() override { return m_values.TextForCaller(kDefaultRecorder); }
  void SetDefaultRecorder(const CString& value) override { m_values.SetText(kDefaultRecorder, value); }
  bool GetAllowDownmix() override { return m_values.Flag(kAllowDownmix); }
  void SetAllowDownmix(bool value) override { m_values.SetFlag(kAllowDownmix, value); }
  bool GetAllowIntensity() override { return m_values.Flag(kAllowIntensity); }
  void SetAllowIntensity(bool value) override { m_values.SetFlag(kAllowIntensity, value); }
  bool GetSoftwareSyncCD() override { return m_values.Flag(kSoftwareSyncCd); }
  void SetSoftwareSyncCD(bool value) override { m_values.SetFlag(kSoftwareSyncCd, value); }
  bool GetPlaySound() override { return m_values.Flag(kPlaySound); }
  void SetPlaySound(bool value) override { m_values.SetFlag(kPlaySound, value); }
  bool GetEjectCD() override { return m_values.Flag(kEjectCd); }
  void SetEjectCD(bool value) override { m_values.SetFlag(kEjectCd, value); }
  DWORD GetRippingSpeed() override { return m_values.Number(kRippingSpeed); }
  void SetRippingSpeed(DWORD value) override { m_values.SetNumber(kRippingSpeed, value); }
  bool GetBitRateType() override { return m_values.Flag(kBitRateType); }
  void SetBitRateType(bool value) override { m_values.SetFlag(kBitRateType, value); }
  DWORD GetCodingQuality() override { return m_values.Number(kCodingQuality); }
  void SetCodingQuality(DWORD value) override { m_values.SetNumber(kCodingQuality, value); }
  DWORD GetCodingScheme() override { return m_values.Number(kCodingScheme); }
  void SetCodingScheme(DWORD value) override { m_values.SetNumber(kCodingScheme, value); }
  DWORD GetFadeInSec() override { return m_values.Number(kFadeInSec); }
  void SetFadeInSec(DWORD value) override { m_values.SetNumber(kFadeInSec, value); }
  DWORD GetFadeOutSec() override { return m_values.Number(kFadeOutSec); }
  void SetFadeOutSec(DWORD value) override { m_values.SetNumber(kFadeOutSec, value); }
  DWORD GetNormalization() override { return m_values.Number(kNormalization); }
  void SetNormalization(DWORD value) override { m_values.SetNumber(kNormalization, value); }
  const CString& GetMusicFolder() override { return m_values.TextForCaller(kMusicFolder); }
  void SetMusicFolder(const CString& value) override { m_values.SetText(kMusicFolder, value); }
  DWORD GetDefaultRecorderDevice() override { return m_values.Number(kDefaultRecorderDevice); }
  void SetDefaultRecorderDevice(DWORD value) override {
    m_values.SetNumber(kDefaultRecorderDevice, value);
  }
  bool GetUseAsDefault() override { return m_values.Flag(kUseAsDefault); }
  void SetUseAsDefault(bool value) override { m_values.SetFlag(kUseAsDefault, value); }
  DWORD GetDefaultOutputFormat() override { return m_values.Number(kDefaultOutputFormat); }
  void SetDefaultOutputFormat(DWORD value) override {
    m_values.SetNumber(kDefaultOutputFormat, value);
  }
  DWORD GetCodingSpeed() override { return m_values.Number(kCodingSpeed); }
  void SetCodingSpeed(DWORD value) override { m_values.SetNumber(kCodingSpeed, value); }
  DWORD GetBurningSpeed() override { return m_values.Number(kBurningSpeed); }
  void SetBurningSpeed(DWORD value) override { m_values.SetNumber(kBurningSpeed, value); }
  bool GetBurnWholeList() override { return m_values.Flag(kBurnWholeList); }
  void SetBurnWholeList(bool value) override { m_values.SetFlag(kBurnWholeList, value); }
  DWORD GetWMA_KBPS() override { return m_values.Number(kWmaKbps); }
  void SetWMA_KBPS(DWORD value) override { m_values.SetNumber(kWmaKbps, value); }
  bool GetLoudnessBalance() override { return m_values.Flag(kLoudnessBalance); }
  void SetLoudnessBalance(bool value) override { m_values.SetFlag(kLoudnessBalance, value); }
  DWORD GetMediaCreationMode() override { return m_values.Number(kMediaCreationMode); }
  void SetMediaCreationMode(DWORD value) override { m_values.SetNumber(kMediaCreationMode, value); }
  bool GetBurnConvertUncompressedOnly() override {
    return m_values.Flag(kBurnConvertUncompressedOnly);
  }
  void SetBurnConvertUncompressedOnly(bool value) override {
    m_values.SetFlag(kBurnConvertUncompressedOnly, value);
  }
  bool GetPortableDeviceConvertUncompressedOnly() override {
    return m_values.Flag(kPortableDeviceConvertUncompressedOnly);
  }
  void SetPortableDeviceConvertUncompressedOnly(bool value) override {
    m_values.SetFlag(kPortableDeviceConvertUncompressedOnly, value);
  }
  bool Save() override { return SaveValues(); }

  bool Load() { return LoadValues(); }

 private:
  enum : DWORD {
    kRecordingMode = 0,
    kEraseBeforeRecording = 1,
    kVbr = 2,
    kCbrKbps = 3,
    kDefaultRecorder = 4,
    kAllowDownmix = 5,
    kAllowIntensity = 6,
    kSoftwareSyncCd = 7,
    kPlaySound = 8,
    kEjectCd = 9,
    kRippingSpeed = 10,
    kBitRateType = 11,
    kCodingQuality = 12,
    kCodingScheme = 13,
    kFadeInSec = 14,
    kFadeOutSec = 15,
    kNormalization = 16,
    kMusicFolder = 17,
    kDefaultRecorderDevice = 18,
    kUseAsDefault = 19,
    kDefaultOutputFormat = 20,
    kCodingSpeed = 21,
    kBurningSpeed = 22,
    kBurnWholeList = 23,
    kWmaKbps = 24,
    kLoudnessBalance = 25,
    kMediaCreationMode = 26,
    kBurnConvertUncompressedOnly = 27,
    kPortableDeviceConvertUncompressedOnly = 28,
  };
};

}  // namespace qap::options
