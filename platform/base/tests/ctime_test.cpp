// CTime: local time built from parts, with daylight saving left to the
// system.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include "platform/base/ctime.h"

namespace {

// A zone with daylight saving, given as a POSIX rule so that no time zone
// database is needed.
class CentralEuropeanTime : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = getenv("TZ")) m_previous = tz;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
  }
  void TearDown() override {
    if (m_previous.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", m_previous.c_str(), 1);
    }
    tzset();
  }

 private:
  std::string m_previous;
};

TEST_F(CentralEuropeanTime, PartsReadBackInSummerAndWinter) {
  CTime summer(2024, 7, 14, 18, 30, 5);
  EXPECT_EQ(summer.GetYear(), 2024);
  EXPECT_EQ(summer.GetMonth(), 7);
  EXPECT_EQ(summer.GetDay(), 14);
  EXPECT_EQ(summer.GetHour(), 18);
  EXPECT_EQ(summer.GetMinute(), 30);
  EXPECT_EQ(summer.GetSecond(), 5);
  CTime winter(2024, 1, 14, 18, 30, 5);
  EXPECT_EQ(winter.GetHour(), 18);
  // Summer time is one hour ahead of UTC+1 at the same wall clock.
  EXPECT_EQ(CTime(2024, 7, 1, 12, 0, 0).GetTime() % 86400, 10 * 3600);
  EXPECT_EQ(CTime(2024, 1, 1, 12, 0, 0).GetTime() % 86400, 11 * 3600);
  EXPECT_STREQ(summer.Format("%H:%M:%S"), "18:30:05");
}

TEST_F(CentralEuropeanTime, ComparisonAndCurrentTime) {
  CTime earlier(2020, 2, 29, 0, 0, 0);
  CTime later(2020, 3, 1, 0, 0, 0);
  EXPECT_LT(earlier, later);
  EXPECT_EQ(later.GetTime() - earlier.GetTime(), 86400);
  EXPECT_EQ(earlier, CTime(2020, 2, 28, 24, 0, 0));  // normalised like mktime
  CTime now = CTime::GetCurrentTime();
  EXPECT_GE(now.GetYear(), 2024);
  EXPECT_LE(now.GetTime(), time(nullptr));
}

}  // namespace
