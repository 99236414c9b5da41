// The CD-database group (key "CDDB"): whether and how album data is looked
// up, and the proxy the lookup goes through.
#pragma once

#include "options/option_group.h"

namespace qap::options {

class CddbOption final : public OptionGroup<ICDDBOption> {
 public:
  CddbOption();

  bool GetBehindProxy() override { return m_values.Flag(kBehindProxy); }
  void SetBehindProxy(bool value) override { m_values.SetFlag(kBehindProxy, value); }
  bool GetUseCDDB() override { return m_values.Flag(kUseCddb); }
  void SetUseCDDB(bool value) override { m_values.SetFlag(kUseCddb, value); }
  bool GetFirstCheckInCDDB() override { return m_values.Flag(kFirstCheckInCddb); }
  void SetFirstCheckInCDDB(bool value) override { m_values.SetFlag(kFirstCheckInCddb, value); }
  bool GetSubmitCDDB() override { return m_values.Flag(kSubmitCddb); }
  void SetSubmitCDDB(bool value) override { m_values.SetFlag(kSubmitCddb, value); }
  bool GetGetSupplementaryInfo() override { return m_values.Flag(kGetSupplementaryInfo); }
  void SetGetSupplementaryInfo(bool value) override {
    m_values.SetFlag(kGetSupplementaryInfo, value);
  }
  const CString& GetHost() override { return m_values.TextForCaller(kHost); }
  void SetHost(const CString& value) override { m_values.SetText(kHost, value); }
  DWORD GetPort() override { return m_values.Number(kPort); }
  void SetPort(DWORD value) override { m_values.SetNumber(kPort, value); }
  const CString& GetUserName() override { return m_values.TextForCaller(kUserName); }
  void SetUserName(const CString& value) override { m_values.SetText(kUserName, value); }
  const CString& GetPassword() override { return m_values.TextForCaller(kPassword); }
  void SetPassword(const CString& value) override { m_values.SetText(kPassword, value); }

  bool Load() { return LoadValues(); }
  bool Save() { return SaveValues(); }

 private:
  enum : DWORD {
    kBehindProxy = 0,
    kUseCddb = 1,
    kFirstCheckInCddb = 2,
    kSubmitCddb = 3,
    kGetSupplementaryInfo = 4,
    kHost = 5,
    kPort = 6,
    kUserName = 7,
    kPassword = 8,
  };
};

}  // namespace qap::options
