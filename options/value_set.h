// The single values of an option group (numbers, flags, texts, times), told
// by a table: registry name, value id, defaults, range, read buffer. The set
// stores them, applies the setter protocol and loads and saves them in the
// table's order.
#pragma once

#include <atomic>
#include <ctime>
#include <span>
#include <vector>

#include "options/change_notifier.h"
#include "platform/registry/registry.h"

namespace qap::options {

enum class ValueKind : BYTE { kNumber, kFlag, kText, kTime };

constexpr DWORD kNoLimit = 0xFFFFFFFF;
// Times are read into a buffer of this size.
constexpr DWORD kTimeBuffer = 256;

struct ValueRow {
  const char* name = nullptr;  // the registry value name
  ValueKind kind = ValueKind::kNumber;
  DWORD id = 0;  // the value id reported to the callback
  // Numbers and flags (0/1): written when the value is missing, held then,
  // and held before the first load.
  DWORD written = 0;
  DWORD used = 0;
  DWORD initial = 0;
  // A stored number outside min..max (compared unsigned) is held as the
  // fallback; the registry keeps it until the next save.
  DWORD min = 0;
  DWORD max = kNoLimit;
  DWORD fallback = 0;
  DWORD textBuffer = 0;   // bytes, terminator included
  bool required = false;  // a failed write ends the save with false
  // Run-time defaults: a number written, held when missing and held before
  // the first load; the rule for a stored number; a text default.
  DWORD (*numberDefault)() = nullptr;
  DWORD (*bound)(DWORD stored) = nullptr;
  CString (*textDefault)() = nullptr;
  // Called with a text once it is loaded, stored or default.
  void (*textLoaded)(const CString& text) = nullptr;

  constexpr ValueRow Range(DWORD maximum, DWORD fallbackValue) const {
    return Range(0, maximum, fallbackValue);
  }
  constexpr ValueRow Range(DWORD minimum, DWORD maximum, DWORD fallbackValue) const {
    ValueRow row = *this;
    row.min = minimum;
    row.max = maximum;
    row.fallback = fallbackValue;
    return row;
  }
  constexpr ValueRow Before(DWORD value) const {
    ValueRow row = *this;
    row.initial = value;
    return row;
  }
  constexpr ValueRow UsedWhenMissing(DWORD value) const {
    ValueRow row = *this;
    row.used = value;
    return row;
  }
  constexpr ValueRow Required() const {
    ValueRow row = *this;
    row.required = true;
    return row;
  }
  constexpr ValueRow ComputedDefault(DWORD (*compute)()) const {
    ValueRow row = *this;
    row.numberDefault = compute;
    return row;
  }
  constexpr ValueRow Bound(DWORD (*rule)(DWORD stored)) const {
    ValueRow row = *this;
    row.bound = rule;
    return row;
  }
  constexpr ValueRow ComputedDefault(CString (*compute)()) const {
    ValueRow row = *this;
    row.textDefault = compute;
    return row;
  }
  constexpr ValueRow WhenLoaded(void (*loaded)(const CString& text)) const {
    ValueRow row = *this;
    row.textLoaded = loaded;
    return row;
  }
};

constexpr ValueRow Number(const char* name, DWORD id, DWORD value) {
  ValueRow row;
  row.name = name;
  row.id = id;
  row.written = row.used = row.initial = value;
  return row;
}

constexpr ValueRow Flag(const char* name, DWORD id, bool value) {
  ValueRow row = Number(name, id, value ? 1 : 0);
  row.kind = ValueKind::kFlag;
  return row;
}

// Empty by default and before the first load.
constexpr ValueRow Text(const char* name, DWORD id, DWORD bufferSize) {
  ValueRow row;
  row.name = name;
  row.kind = ValueKind::kText;
  row.id = id;
  row.textBuffer = bufferSize;
  return row;
}

// Stored as the time of day "HH:MM:SS"; the current time when missing and
// the time the set was made before the first load.
constexpr ValueRow Time(const char* name, DWORD id) {
  ValueRow row;
  row.name = name;
  row.kind = ValueKind::kTime;
  row.id = id;
  row.textBuffer = kTimeBuffer;
  return row;
}

class ValueSet {
 public:
  // object: the interface pointer handed to the callback.
  ValueSet(ChangeNotifier& notifier, void* object, std::span<const ValueRow> rows);
  ValueSet(const ValueSet&) = delete;
  ValueSet& operator=(const ValueSet&) = delete;

  // Numbers, flags and times are single words, read without the lock. A
  // text is copied under the lock, since a setter on another thread may be
  // replacing it meanwhile.
  DWORD Number(DWORD id) const { return m_slots[id].number.load(std::memory_order_relaxed); }
  bool Flag(DWORD id) const { return Number(id) != 0; }
  CString Text(DWORD id) const;
  // For the interfaces' getters, which hand out a reference: the calling
  // thread's own copy of the text, good until that thread reads the same
  // value again.
  const CString& TextForCaller(DWORD id) const;
  CTime Time(DWORD id) const { return CTime(m_slots[id].time.load(std::memory_order_relaxed)); }

  void SetNumber(DWORD id, DWORD value);
  void SetFlag(DWORD id, bool value) { SetNumber(id, value ? 1 : 0); }
  void SetText(DWORD id, const CString& value);
  void SetTime(DWORD id, CTime value);

  // Both with the group's lock held and its key open, in the table's order.
  void Load(HKEY key);
  // False as soon as a required value fails to write.
  bool Save(HKEY key) const;

 private:
  struct Slot {
    std::atomic<DWORD> number{0};
    std::atomic<std::time_t> time{0};
    CString text;
  };

  void LoadOne(HKEY key, const ValueRow& row);

  ChangeNotifier& m_notifier;
  void* m_object;
  std::span<const ValueRow> m_rows;
  std::vector<Slot> m_slots;  // indexed by value id
};

// "HH:MM:SS" of the local time; and back to today's date at that time.
CString FormatTimeOfDay(CTime time);
CTime ParseTimeOfDay(const CString& text);

}  // namespace qap::options
