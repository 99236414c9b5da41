// The theme group: "ThemesCount", then per theme "Theme_000_Val",
// "Theme_000_Name" and "Theme_000_Description". Descriptions are read but
// never saved, and the two longest built-in ones never fit the read buffer,
// so every load writes them afresh from the table.
#include "options/advanced_jukemind_option.h"

#include <algorithm>
#include <cstdio>

#include "options/builtin_tables.h"
#include "options/version_stamp.h"

namespace qap::options {
namespace {

constexpr const char* kCountValue = "ThemesCount";
constexpr DWORD kThemeTextBuffer = 127;

std::string ThemeValueName(DWORD index, const char* part) {
  char name[40];
  std::snprintf(name, sizeof name, "Theme_%03u_%s", static_cast<unsigned>(index), part);
  return name;
}

}  // namespace

AdvancedJukemindOption::AdvancedJukemindOption() : OptionGroup("AdvancedJukemind", {}) {}

bool AdvancedJukemindOption::GetThemeVal(int index) {
  GroupLock lock(m_notifier.Lock());
  return m_selected.GetAt(index) != 0;
}

void AdvancedJukemindOption::SetThemeVal(int index, bool selected) {
  GroupLock lock(m_notifier.Lock());
  if (index < 0 || index >= m_selected.GetSize()) return;
  const bool differs = (m_selected.GetAt(index) != 0) != selected;
  m_selected.SetAt(index, selected ? 1 : 0);
  if (differs) m_notifier.Changed(Object(), kValBase + index, lock);
}

const CString& AdvancedJukemindOption::GetThemeName(int index) {
  GroupLock lock(m_notifier.Lock());
  m_nameBuffer = m_names.GetAt(index);
  return m_nameBuffer;
}

const CString& AdvancedJukemindOption::GetThemeDescription(int index) {
  GroupLock lock(m_notifier.Lock());
  m_descriptionBuffer = m_descriptions.GetAt(index);
  return m_descriptionBuffer;
}

void AdvancedJukemindOption::SetThemeName(int index, const CString& name) {
  SetText(m_names, index, name, kNameBase);
}

void AdvancedJukemindOption::SetThemeDescription(int index, const CString& description) {
  SetText(m_descriptions, index, description, kDescriptionBase);
}

void AdvancedJukemindOption::SetText(CStringArray& list, int index, const CString& text,
                                     DWORD valueIdBase) {
  try {
    GroupLock lock(m_notifier.Lock());
    if (index < 0 || index >= list.GetSize()) return;
    const bool differs = list.GetAt(index).Compare(text) != 0;
    list.SetAt(index, text);
    if (differs) m_notifier.Changed(Object(), valueIdBase + index, lock);
  } catch (...) {
    // Out of memory: the old text stays.
  }
}

void AdvancedJukemindOption::AddTheme(const CString& name) {
  try {
    GroupLock lock(m_notifier.Lock());
    m_selected.Add(0);
    m_names.Add(name);
    ++m_count;
  } catch (...) {
    // Out of memory: the theme is not added (the lists may end up apart in
    // length, which every reader of them allows).
  }
}

bool AdvancedJukemindOption::Load() {
  try {
    GroupLock lock(m_notifier.Lock());
    // Versions 1 to 4 kept themes this version does not understand.
    if (const auto major = StoredMajorVersion(); major && *major >= 1 && *major <= 4) {
      RegKey software;
      if (OpenSoftware(&software) == ERROR_SUCCESS) {
        RegDeleteTreeA(software.Get(), GroupKeyPath(m_keyName).c_str());
      }
    }
    RegKey key;
    if (!OpenGroupKey(m_keyName, true, &key)) return false;
    LoadThemes(key.Get());
    return true;
  } catch (...) {
    return false;
  }
}

void AdvancedJukemindOption::LoadThemes(HKEY key) {
  m_selected.RemoveAll();
  m_names.RemoveAll();
  m_descriptions.RemoveAll();
  DWORD count = 0;
  if (!ReadNumber(key, kCountValue, &count)) {
    count = kBuiltInThemeCount;
    WriteNumber(key, kCountValue, count);
  }
  count = std::min(count, kMaxListEntries);
  for (DWORD i = 0; i < count; ++i) {
    const std::string valName = ThemeValueName(i, "Val");
    DWORD selected = 0;
    if (!ReadNumber(key, valName.c_str(), &selected)) WriteNumber(key, valName.c_str(), 0);
    m_selected.Add(selected);

    const std::string nameName = ThemeValueName(i, "Name");
    CString name;
    if (!ReadText(key, nameName.c_str(), kThemeTextBuffer, &name)) {
      name = BuiltInThemeName(i);
      WriteText(key, nameName.c_str(), name);
    }
    m_names.Add(name);

    const std::string descriptionName = ThemeValueName(i, "Description");
    CString description;
    if (!ReadText(key, descriptionName.c_str(), kThemeTextBuffer, &description)) {
      description = BuiltInThemeDescription(i);
      WriteText(key, descriptionName.c_str(), description);
    }
    m_descriptions.Add(description);
  }
  m_count = count;
}

bool AdvancedJukemindOption::Save() {
  return SaveGroup(m_notifier, m_keyName, [this](HKEY key) {
    WriteNumber(key, kCountValue, m_count);
    for (int i = 0; i < m_selected.GetSize(); ++i) {
      WriteNumber(key, ThemeValueName(i, "Val").c_str(), m_selected.GetAt(i));
    }
    for (int i = 0; i < m_names.GetSize(); ++i) {
      WriteText(key, ThemeValueName(i, "Name").c_str(), m_names.GetAt(i));
    }
    return true;
  });
}

}  // namespace qap::options
