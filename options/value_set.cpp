// Storage, setters, load and save of a group's single values.
#include "options/value_set.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "options/registry_values.h"

namespace qap::options {

namespace {

size_t SlotCount(std::span<const ValueRow> rows) {
  DWORD slots = 0;
  for (const ValueRow& row : rows) slots = std::max(slots, row.id + 1);
  return slots;
}

}  // namespace

ValueSet::ValueSet(ChangeNotifier& notifier, void* object, std::span<const ValueRow> rows)
    : m_notifier(notifier), m_object(object), m_rows(rows), m_slots(SlotCount(rows)) {
  const std::time_t now = CTime::GetCurrentTime().GetTime();
  for (const ValueRow& row : rows) {
    Slot& slot = m_slots[row.id];
    slot.number = row.numberDefault != nullptr ? row.numberDefault() : row.initial;
    slot.time = now;
  }
}

CString ValueSet::Text(DWORD id) const {
  GroupLock lock(m_notifier.Lock());
  return m_slots[id].text;
}

const CString& ValueSet::TextForCaller(DWORD id) const {
  thread_local std::unordered_map<const void*, CString> copies;
  CString& copy = copies[&m_slots[id]];
  copy = Text(id);
  return copy;
}

void ValueSet::SetNumber(DWORD id, DWORD value) {
  GroupLock lock(m_notifier.Lock());
  if (m_slots[id].number.exchange(value) != value) m_notifier.Changed(m_object, id, lock);
}

void ValueSet::SetText(DWORD id, const CString& value) {
  try {
    GroupLock lock(m_notifier.Lock());
    CString& text = m_slots[id].text;
    // The compare is the case-sensitive one of the system code page: a
    // change of letter case is a change.
    const bool differs = text.Compare(value) != 0;
    text = value;
    if (differs) m_notifier.Changed(m_object, id, lock);
  } catch (...) {
    // Out of memory: the old text stays.
  }
}

void ValueSet::SetTime(DWORD id, CTime value) {
  GroupLock lock(m_notifier.Lock());
  if (m_slots[id].time.exchange(value.GetTime()) != value.GetTime()) {
    m_notifier.Changed(m_object, id, lock);
  }
}

void ValueSet::Load(HKEY key) {
  for (const ValueRow& row : m_rows) LoadOne(key, row);
}

void ValueSet::LoadOne(HKEY key, const ValueRow& row) {
  Slot& slot = m_slots[row.id];
  switch (row.kind) {
    case ValueKind::kNumber:
    case ValueKind::kFlag: {
      DWORD stored = 0;
      if (!ReadNumber(key, row.name, &stored)) {
        const DWORD computed = row.numberDefault != nullptr ? row.numberDefault() : 0;
        WriteNumber(key, row.name, row.numberDefault != nullptr ? computed : row.written);
        slot.number = row.numberDefault != nullptr ? computed : row.used;
      } else if (row.kind == ValueKind::kFlag) {
        slot.number = stored != 0 ? 1 : 0;
      } else if (row.bound != nullptr) {
        slot.number = row.bound(stored);
      } else {
        slot.number = stored < row.min || stored > row.max ? row.fallback : stored;
      }
      break;
    }
    case ValueKind::kText: {
      CString text;
      if (!ReadText(key, row.name, row.textBuffer, &text)) {
        if (row.textDefault != nullptr) text = row.textDefault();
        WriteText(key, row.name, text);
      }
      if (row.textLoaded != nullptr) row.textLoaded(text);
      slot.text = text;
      break;
    }
    case ValueKind::kTime: {
      CString text;
      if (ReadText(key, row.name, row.textBuffer, &text)) {
        slot.time = ParseTimeOfDay(text).GetTime();
      } else {
        const CTime now = CTime::GetCurrentTime();
        WriteText(key, row.name, FormatTimeOfDay(now));
        slot.time = now.GetTime();
      }
      break;
    }
  }
}

bool ValueSet::Save(HKEY key) const {
  for (const ValueRow& row : m_rows) {
    const Slot& slot = m_slots[row.id];
    bool written = false;
    switch (row.kind) {
      case ValueKind::kNumber:
      case ValueKind::kFlag:
        written = WriteNumber(key, row.name, slot.number);
        break;
      case ValueKind::kText:
        written = WriteText(key, row.name, slot.text);
        break;
      case ValueKind::kTime:
        written = WriteText(key, row.name, FormatTimeOfDay(CTime(slot.time)));
        break;
    }
    if (!written && row.required) return false;
  }
  return true;
}

CString FormatTimeOfDay(CTime time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(time.GetHour()),
                static_cast<unsigned>(time.GetMinute()), static_cast<unsigned>(time.GetSecond()));
  return text;
}

CTime ParseTimeOfDay(const CString& text) {
  // Cut after the hours and the minutes. The buffer starts zeroed, so a
  // text shorter than "HH:MM:SS" reads as zeros where its parts are missing.
  char buffer[kTimeBuffer] = {};
  std::memcpy(buffer, text.c_str(), std::min<size_t>(text.GetLength(), sizeof buffer - 1));
  buffer[2] = '\0';
  buffer[5] = '\0';
  const int hours = DecimalValue(buffer);
  const int minutes = DecimalValue(buffer + 3);
  const int seconds = DecimalValue(buffer + 6);
  const CTime now = CTime::GetCurrentTime();
  // Daylight saving is left to the system; fields out of range roll over
  // as mktime does.
  const CTime time(now.GetYear(), now.GetMonth(), now.GetDay(), hours, minutes, seconds);
  return time.GetTime() == -1 ? now : time;
}

}  // namespace qap::options
