// The class framework's time value: seconds since 1970, read as local time.
#pragma once

#include <compare>
#include <ctime>

#include "platform/base/cstring.h"
#include "platform/base/export.h"

class QAP_EXPORT CTime {
 public:
  CTime() = default;
  explicit CTime(std::time_t time) : m_time(time) {}
  // Local date and time; dst -1 leaves daylight saving to the system. Fields
  // out of range are normalised as mktime does; a time that cannot be
  // represented gives GetTime() == -1.
  CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);

  static CTime GetCurrentTime();

  std::time_t GetTime() const { return m_time; }
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday
  // strftime of the local time.
  CString Format(const char* format) const;

  friend bool operator==(const CTime& a, const CTime& b) { return a.m_time == b.m_time; }
  friend auto operator<=>(const CTime& a, const CTime& b) { return a.m_time <=> b.m_time; }

 private:
  std::tm Local() const;

  std::time_t m_time = 0;
};
