// The single values of the groups: defaults written back, ranges and their
// fallbacks, read buffers, stored types, times of day, the year, and the
// quirks stored settings rely on.
#include <gtest/gtest.h>

#include <filesystem>

#include "options/tests/options_test_util.h"
#include "platform/base/paths.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::options::testing;
using qap::registry::testing::SetBytes;

class OptionValues : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
};

const std::string kRecording = GroupKey("Recording");

TEST_F(OptionValues, AnOutOfRangeNumberIsReplacedInMemoryOnlyUntilTheNextSave) {
  struct Case {
    const char* name;
    DWORD stored;
    DWORD loaded;
    DWORD (IRecordingOption::*get)();
  };
  const Case cases[] = {
      {"CBR_KBPS", 400, 128, &IRecordingOption::GetCBR_KBPS},
      {"CBR_KBPS", 320, 320, &IRecordingOption::GetCBR_KBPS},
      {"WMA_KBPS", 63, 96, &IRecordingOption::GetWMA_KBPS},
      {"WMA_KBPS", 129, 96, &IRecordingOption::GetWMA_KBPS},
      {"WMA_KBPS", 64, 64, &IRecordingOption::GetWMA_KBPS},
      {"WMA_KBPS", 128, 128, &IRecordingOption::GetWMA_KBPS},
      {"FadeInSec", 5, 5, &IRecordingOption::GetFadeInSec},
      {"FadeInSec", 6, 0, &IRecordingOption::GetFadeInSec},
      {"FadeInSec", 0xFFFFFFFF, 0, &IRecordingOption::GetFadeInSec},  // -1 of another program
      {"Normalization", 101, 95, &IRecordingOption::GetNormalization},
      {"CodingSpeed", 3, 2, &IRecordingOption::GetCodingSpeed},
      {"MediaCreationMode", 2, 1, &IRecordingOption::GetMediaCreationMode},
      {"BurningSpeed", 0xFFFFFFFF, 0xFFFFFFFF, &IRecordingOption::GetBurningSpeed},  // no range
  };
  IRecordingOption& recording = GetIRecordingOption();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.stored));
    StoreNumber(HKEY_CURRENT_USER, kRecording, c.name, c.stored);
    ASSERT_TRUE(LoadOptions());
    EXPECT_EQ((recording.*c.get)(), c.loaded);
    EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kRecording, c.name), c.stored);
    ASSERT_TRUE(SaveOptions());
    EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kRecording, c.name), c.loaded);
  }
  StoreNumber(HKEY_CURRENT_USER, GroupKey("Jukemind"), "TENDtoPREFER", 11);
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(GetIJukemindOption().GetTENDtoPREFER(), 0u);
}

TEST_F(OptionValues, ATextThatDoesNotFitItsBufferIsReplacedByItsDefault) {
  const std::string browser = GroupKey("MiniBrowser");
  const std::string cddb = GroupKey("CDDB");
  StoreText(HKEY_CURRENT_USER, browser, "URL_00", std::string(258, 'a'));  // 259 with the NUL
  StoreText(HKEY_CURRENT_USER, browser, "URL_01", std::string(259, 'b'));
  StoreText(HKEY_CURRENT_USER, cddb, "Host", std::string(127, 'h'));  // 128-byte buffer
  StoreText(HKEY_CURRENT_USER, cddb, "UserName", std::string(128, 'u'));
  ASSERT_TRUE(LoadOptions());

  IMiniBrowserOption& miniBrowser = GetIMiniBrowserOption();
  EXPECT_EQ(miniBrowser.GetURL(0), std::string(258, 'a'));
  EXPECT_EQ(miniBrowser.GetURL(1), "C:/Program Files/Zelvar/QAP/WebPages/home/home.html");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, browser, "URL_01"),
            "C:/Program Files/Zelvar/QAP/WebPages/home/home.html");
  EXPECT_EQ(GetICDDBOption().GetHost(), std::string(127, 'h'));
  EXPECT_EQ(GetICDDBOption().GetUserName(), "");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, cddb, "UserName"), "");
  EXPECT_EQ(miniBrowser.GetURL(3), "");
  miniBrowser.SetURL(3, "ignored");
  EXPECT_EQ(miniBrowser.GetURLCount(), 3u);
}

TEST_F(OptionValues, NumbersReadFourBytesWhateverTheirTypeAndTextsMustBeTexts) {
  {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kRecording.c_str()), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key.Get(), "VBR", REG_SZ, std::string("5\0", 2)), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key.Get(), "CodingQuality", REG_BINARY, std::string(8, '\1')),
              ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key.Get(), "DefaultRecorder", REG_DWORD, std::string("abc\0", 4)),
              ERROR_SUCCESS);
  }
  ASSERT_TRUE(LoadOptions());
  IRecordingOption& recording = GetIRecordingOption();
  EXPECT_EQ(recording.GetVBR(), 0x35u);             // the bytes "5\0", held as they read
  EXPECT_EQ(recording.GetCodingQuality(), 50u);     // eight bytes do not read as a number
  EXPECT_EQ(recording.GetDefaultRecorder(), "");    // a number where a text belongs is missing
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kRecording, "CodingQuality"), 50u);
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kRecording, "DefaultRecorder"), "");
}

TEST_F(OptionValues, SchedulerTimesAreStoredAsTheirTimeOfDayAndReadBackAsToday) {
  const std::string key = GroupKey("Scheduler");
  StoreText(HKEY_CURRENT_USER, key, "PlStartAtTime", "07:30:00");
  StoreText(HKEY_CURRENT_USER, key, "PlStopAfterTime", "23:5");  // short: no seconds
  const CTime before = CTime::GetCurrentTime();
  ASSERT_TRUE(LoadOptions());

  ISchedulerOption& scheduler = GetISchedulerOption();
  const CTime start = scheduler.GetPlStartAtTime();
  const CTime today = CTime::GetCurrentTime();
  EXPECT_EQ(start.GetTime(), CTime(today.GetYear(), today.GetMonth(), today.GetDay(), 7, 30, 0).GetTime());
  const CTime stop = scheduler.GetPlStopAfterTime();
  EXPECT_EQ(stop.GetHour(), 23);
  EXPECT_EQ(stop.GetMinute(), 5);
  EXPECT_EQ(stop.GetSecond(), 0);
  EXPECT_EQ(stop.GetDay(), today.GetDay());
  // Missing times are now, written as such.
  const auto written = StoredText(HKEY_CURRENT_USER, key, "RecStartAtTime");
  ASSERT_TRUE(written.has_value());
  ASSERT_EQ(written->size(), 8u);
  EXPECT_EQ((*written)[2], ':');
  EXPECT_GE(scheduler.GetRecStartAtTime().GetTime(), before.GetTime());

  // Another day's date does not matter: only the time of day is written.
  scheduler.SetRecStopAfterTime(CTime(2001, 2, 3, 22, 15, 9));
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, key, "RecStopAfterTime"), "22:15:09");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, key, "PlStartAtTime"), "07:30:00");
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(scheduler.GetRecStopAfterTime().Format("%H:%M:%S"), "22:15:09");
  EXPECT_EQ(scheduler.GetRecStopAfterTime().GetDay(), CTime::GetCurrentTime().GetDay());
}

TEST_F(OptionValues, TheYearIsOneThatHasBegunAndAutoIsWrittenAsZeroButHeldTrue) {
  const std::string key = GroupKey("Tagging");
  const DWORD thisYear = static_cast<DWORD>(CTime::GetCurrentTime().GetYear());
  ITaggingOption& tagging = GetITaggingOption();

  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(tagging.GetYear(), thisYear);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "Year"), thisYear);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "Auto"), 0u);
  EXPECT_TRUE(tagging.GetAuto());
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "Auto"), 1u);

  for (DWORD stored : {DWORD{0}, thisYear + 1}) {
    StoreNumber(HKEY_CURRENT_USER, key, "Year", stored);
    ASSERT_TRUE(LoadOptions());
    EXPECT_EQ(tagging.GetYear(), thisYear);
    EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "Year"), stored);
  }
  StoreNumber(HKEY_CURRENT_USER, key, "Year", 1999);
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(tagging.GetYear(), 1999u);
}

TEST_F(OptionValues, BothWindowPositionPairsShareOneRegistryPair) {
  const std::string key = GroupKey("General");
  IGeneralOption& general = GetIGeneralOption();
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "XWndStartPosition"), 162u);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "YWndStartPosition"), 82u);
  // Missing positions are held as 0; the second pair then finds the
  // numbers the first has just written.
  EXPECT_EQ(general.GetXWndStartPosition(), 0u);
  EXPECT_EQ(general.GetYWndStartPosition(), 0u);
  EXPECT_EQ(general.GetXWndStartPosition2(), 162u);
  EXPECT_EQ(general.GetYWndStartPosition2(), 82u);
  EXPECT_TRUE(general.GetStartPlayingAfterAdd());

  general.SetXWndStartPosition(10);
  general.SetYWndStartPosition(20);
  general.SetXWndStartPosition2(30);
  general.SetYWndStartPosition2(40);
  ASSERT_TRUE(general.Save());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "XWndStartPosition"), 30u);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "YWndStartPosition"), 40u);
  ASSERT_TRUE(general.Load());
  EXPECT_EQ(general.GetXWndStartPosition(), 30u);
  EXPECT_EQ(general.GetYWndStartPosition(), 40u);
}

TEST_F(OptionValues, TheMusicFolderIsMyMusicOnTheLibrarysDriveAndIsMadeAtEveryLoad) {
  qap::testing::ScratchDir drive;
  ASSERT_TRUE(SetDriveMapping('C', drive.Path(), DRIVE_FIXED));
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(GetIRecordingOption().GetMusicFolder(), "C:\\My Music");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kRecording, "MusicFolder"), "C:\\My Music");
  EXPECT_TRUE(std::filesystem::is_directory(drive.File("My Music")));

  StoreText(HKEY_CURRENT_USER, kRecording, "MusicFolder", "C:\\Rips");
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(GetIRecordingOption().GetMusicFolder(), "C:\\Rips");
  EXPECT_TRUE(std::filesystem::is_directory(drive.File("Rips")));

  // A folder that cannot be made is still the setting.
  StoreText(HKEY_CURRENT_USER, kRecording, "MusicFolder", "Q:\\Nowhere");
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(GetIRecordingOption().GetMusicFolder(), "Q:\\Nowhere");
}

TEST_F(OptionValues, AnExposedSaveFailsWhenItsGroupKeyIsGoneAndDoesNotMakeIt) {
  ASSERT_TRUE(LoadOptions());
  ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, kRecording.c_str()), ERROR_SUCCESS);
  EXPECT_FALSE(GetIRecordingOption().Save());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kRecording));
  EXPECT_TRUE(SaveOptions());  // the group's failure is not the store's
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kRecording));
  EXPECT_TRUE(GetIGeneralOption().Save());
}

TEST_F(OptionValues, VersionsOneAndTwoLeaveAMiniBrowserPageNameThatIsDropped) {
  const std::string key = GroupKey("MiniBrowser");
  for (const char* stamp : {"RELEASE:02.05", "RELEASE:03.00"}) {
    SCOPED_TRACE(stamp);
    StoreVersion(stamp);
    StoreText(HKEY_CURRENT_USER, key, "DefaultPage", "old");
    ASSERT_TRUE(LoadOptions());
    EXPECT_EQ(StoredText(HKEY_CURRENT_USER, key, "DefaultPage").has_value(),
              std::string(stamp) == "RELEASE:03.00");
  }
}

}  // namespace
