// CTime over the C library's local-time functions (thread-safe variants).
#include "platform/base/ctime.h"

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int dst) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  parts.tm_isdst = dst < 0 ? -1 : (dst > 0 ? 1 : 0);
  m_time = std::mktime(&parts);
}

CTime CTime::GetCurrentTime() { return CTime(std::time(nullptr)); }

std::tm CTime::Local() const {
  std::tm parts{};
  localtime_r(&m_time, &parts);
  return parts;
}

int CTime::GetYear() const { return Local().tm_year + 1900; }
int CTime::GetMonth() const { return Local().tm_mon + 1; }
int CTime::GetDay() const { return Local().tm_mday; }
int CTime::GetHour() const { return Local().tm_hour; }
int CTime::GetMinute() const { return Local().tm_min; }
int CTime::GetSecond() const { return Local().tm_sec; }
int CTime::GetDayOfWeek() const { return Local().tm_wday + 1; }

CString CTime::Format(const char* format) const {
  if (format == nullptr || *format == '\0') return CString();
  std::tm parts = Local();
  char buffer[512];
  size_t length = std::strftime(buffer, sizeof buffer, format, &parts);
  return CString(buffer, static_cast<int>(length));
}
