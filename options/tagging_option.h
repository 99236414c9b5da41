// The tagging group (key "Tagging"): the tags offered for new recordings.
#pragma once

#include "options/option_group.h"

namespace qap::options {

class TaggingOption final : public OptionGroup<ITaggingOption> {
 public:
  TaggingOption();

  const CString& GetTitle() override { return m_values.TextForCaller(kTitle); }
  void SetTitle(const CString& value) override { m_values.SetText(kTitle, value); }
  const CString& GetArtist() override { return m_values.TextForCaller(kArtist); }
  void SetArtist(const CString& value) override { m_values.SetText(kArtist, value); }
  const CString& GetAlbum() override { return m_values.TextForCaller(kAlbum); }
  void SetAlbum(const CString& value) override { m_values.SetText(kAlbum, value); }
  DWORD GetYear() override { return m_values.Number(kYear); }
  void SetYear(DWORD value) override { m_values.SetNumber(kYear, value); }
  bool GetAuto() override { return m_values.Flag(kAuto); }
  void SetAuto(bool value) override { m_values.SetFlag(kAuto, value); }

  bool Load() { return LoadValues(); }
  bool Save() { return SaveValues(); }

 private:
  enum : DWORD { kTitle = 0, kArtist = 1, kAlbum = 2, kYear = 3, kAuto = 4 };
};

}  // namespace qap::options
