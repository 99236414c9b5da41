// The theme group (key "AdvancedJukemind"): themes the user may select for
// the player's automatic track selection. The count and the three lists are
// kept apart: AddTheme appends no description, and the count is what a save
// writes as "ThemesCount".
#pragma once

#include "options/option_group.h"

namespace qap::options {

class AdvancedJukemindOption final : public OptionGroup<IAdvancedJukemindOption> {
 public:
  AdvancedJukemindOption();

  DWORD GetThemesCount() override { return m_count.load(std::memory_order_relaxed); }
  bool GetThemeVal(int index) override;
  void SetThemeVal(int index, bool selected) override;
  const CString& GetThemeName(int index) override;
  void SetThemeName(int index, const CString& name) override;
  const CString& GetThemeDescription(int index) override;
  void SetThemeDescription(int index, const CString& description) override;
  void AddTheme(const CString& name) override;

  bool Load();
  bool Save();

 private:
  enum : DWORD { kValBase = 1000, kNameBase = 2000, kDescriptionBase = 3000 };

  void SetText(CStringArray& list, int index, const CString& text, DWORD valueIdBase);
  void LoadThemes(HKEY key);

  std::atomic<DWORD> m_count{0};
  CDWordArray m_selected;
  CStringArray m_names;
  CStringArray m_descriptions;
  CString m_nameBuffer;         // what GetThemeName hands out
  CString m_descriptionBuffer;  // what GetThemeDescription hands out
};

}  // namespace qap::options
