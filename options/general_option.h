// The general group (key "General"): the main window's start position and
// whether adding songs starts playing.
#pragma once

#include "options/option_group.h"

namespace qap::options {

class GeneralOption final : public OptionGroup<IGeneralOption> {
 public:
  GeneralOption();

  DWORD GetXWndStartPosition() override { return m_values.Number(kX); }
  void SetXWndStartPosition(DWORD value) override { m_values.SetNumber(kX, value); }
  DWORD GetYWndStartPosition() override { return m_values.Number(kY); }
  void SetYWndStartPosition(DWORD value) override { m_values.SetNumber(kY, value); }
  bool GetStartPlayingAfterAdd() override { return m_values.Flag(kStartPlayingAfterAdd); }
  void SetStartPlayingAfterAdd(bool value) override {
    m_values.SetFlag(kStartPlayingAfterAdd, value);
  }
  DWORD GetXWndStartPosition2() override { return m_values.Number(kSecondX); }
  void SetXWndStartPosition2(DWORD value) override { m_values.SetNumber(kSecondX, value); }
  DWORD GetYWndStartPosition2() override { return m_values.Number(kSecondY); }
  void SetYWndStartPosition2(DWORD value) override { m_values.SetNumber(kSecondY, value); }
  bool Load() override { return LoadValues(); }
  bool Save() override { return SaveValues(); }

 private:
  enum : DWORD { kX = 0, kY = 1, kStartPlayingAfterAdd = 2, kSecondX = 3, kSecondY = 4 };
};

}  // namespace qap::options
