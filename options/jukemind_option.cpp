// The genre-preference group: a list of genres stored as numbered values
// ("Genre_000_ID", "Genre_000_Name", "Genre_000_Value", ...) after their
// count, then "TENDtoPREFER".
#include "options/jukemind_option.h"

#include <algorithm>
#include <cstdio>

#include "options/builtin_tables.h"
#include "options/version_stamp.h"

namespace qap::options {
namespace {

constexpr const char* kCountValue = "GENRES_COUNT";
constexpr const char* kVersionValue = "Version";
constexpr DWORD kGroupVersion = 1;
constexpr DWORD kGenreNameBuffer = 127;
constexpr DWORD kDefaultGenreValue = 50;

constexpr ValueRow kValues[] = {
    Number("TENDtoPREFER", 0, 0).Range(10, 0),
};

std::string GenreValueName(DWORD index, const char* part) {
  char name[40];
  std::snprintf(name, sizeof name, "Genre_%03u_%s", static_cast<unsigned>(index), part);
  return name;
}

}  // namespace

JukemindOption::JukemindOption()
    : OptionGroup("Jukemind", kValues), m_count(kBuiltInGenreCount) {
  for (DWORD i = 0; i < kBuiltInGenreCount; ++i) {
    m_genres.push_back({i + 1, BuiltInGenreName(i), kDefaultGenreValue});
  }
}

DWORD JukemindOption::GetGenreID(int index) {
  GroupLock lock(m_notifier.Lock());
  return InList(index) ? m_genres[index].id : 0;
}

DWORD JukemindOption::GetGenreValue(int index) {
  GroupLock lock(m_notifier.Lock());
  return InList(index) ? m_genres[index].value : 0;
}

const CString& JukemindOption::GetGenreName(int index) {
  GroupLock lock(m_notifier.Lock());
  m_nameBuffer = InList(index) ? m_genres[index].name : CString();
  return m_nameBuffer;
}

void JukemindOption::SetGenreID(int index, DWORD id) { SetNumber(index, &Genre::id, id, kIdBase); }

void JukemindOption::SetGenreValue(int index, DWORD value) {
  SetNumber(index, &Genre::value, value, kValueBase);
}

void JukemindOption::SetNumber(int index, DWORD Genre::*member, DWORD value, DWORD valueIdBase) {
  GroupLock lock(m_notifier.Lock());
  if (!InList(index)) return;
  DWORD& field = m_genres[index].*member;
  const bool differs = field != value;
  field = value;
  if (differs) m_notifier.Changed(Object(), valueIdBase + index, lock);
}

void JukemindOption::SetGenreName(int index, const CString& name) {
  try {
    GroupLock lock(m_notifier.Lock());
    if (!InList(index)) return;
    CString& field = m_genres[index].name;
    const bool differs = field.Compare(name) != 0;
    field = name;
    if (differs) m_notifier.Changed(Object(), kNameBase + index, lock);
  } catch (...) {
    // Out of memory: the old name stays.
  }
}

bool JukemindOption::StampVersion() {
  try {
    GroupLock lock(m_notifier.Lock());
    RegKey software;
    if (OpenSoftware(&software) != ERROR_SUCCESS) return false;
    RegKey key;
    if (OpenOrCreateKey(software.Get(), GroupKeyPath(m_keyName).c_str(), &key) == ERROR_SUCCESS) {
      DWORD stored = 0;
      if (!ReadNumber(key.Get(), kVersionValue, &stored) || stored != kGroupVersion) {
        WriteNumber(key.Get(), kVersionValue, kGroupVersion);
      }
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool JukemindOption::Load() {
  try {
    GroupLock lock(m_notifier.Lock());
    // Versions 1 to 6 kept genres this version does not understand: the
    // key starts afresh from the built-in table.
    if (const auto major = StoredMajorVersion(); major && *major >= 1 && *major <= 6) {
      RegKey software;
      if (OpenSoftware(&software) == ERROR_SUCCESS) {
        RegDeleteTreeA(software.Get(), GroupKeyPath(m_keyName).c_str());
      }
    }
    RegKey key;
    if (!OpenGroupKey(m_keyName, true, &key)) return false;
    LoadGenres(key.Get());
    m_values.Load(key.Get());
    return true;
  } catch (...) {
    return false;
  }
}

void JukemindOption::LoadGenres(HKEY key) {
  m_genres.clear();
  DWORD count = 0;
  if (!ReadNumber(key, kCountValue, &count)) {
    count = kBuiltInGenreCount;
    WriteNumber(key, kCountValue, count);
  }
  count = std::min(count, kMaxListEntries);
  for (DWORD i = 0; i < count; ++i) {
    Genre genre;
    const std::string idName = GenreValueName(i, "ID");
    if (!ReadNumber(key, idName.c_str(), &genre.id)) {
      genre.id = i + 1;
      WriteNumber(key, idName.c_str(), genre.id);
    }
    const std::string nameName = GenreValueName(i, "Name");
    if (!ReadText(key, nameName.c_str(), kGenreNameBuffer, &genre.name)) {
      genre.name = BuiltInGenreName(i);
      WriteText(key, nameName.c_str(), genre.name);
    }
    const std::string valueName = GenreValueName(i, "Value");
    if (!ReadNumber(key, valueName.c_str(), &genre.value)) {
      genre.value = kDefaultGenreValue;
      WriteNumber(key, valueName.c_str(), genre.value);
    }
    m_genres.push_back(std::move(genre));
  }
  m_count = count;
}

bool JukemindOption::Save() {
  return SaveGroup(m_notifier, m_keyName, [this](HKEY key) {
    WriteNumber(key, kCountValue, m_count);
    for (size_t i = 0; i < m_genres.size(); ++i) {
      const Genre& genre = m_genres[i];
      const DWORD index = static_cast<DWORD>(i);
      WriteNumber(key, GenreValueName(index, "ID").c_str(), genre.id);
      WriteText(key, GenreValueName(index, "Name").c_str(), genre.name);
      WriteNumber(key, GenreValueName(index, "Value").c_str(), genre.value);
    }
    return m_values.Save(key);
  });
}

}  // namespace qap::options
