// The first start on an empty registry and the second load in the same
// process. A program of its own: the version stamp and the shell
// notification come with the first load of a process only.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>

#include "options/tests/options_test_util.h"
#include "platform/shell/shell_notify.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::options::testing;

// Everything a first load writes under the settings' root, in the order it
// is written; the scheduler's times and the year are those of the day.
const char* const kFirstRunSettings = R"([HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP]
"Start"=dword:00000001
"Version"="RELEASE:07.00"

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\AdvancedJukemind]
"ThemesCount"=dword:0000000d
"Theme_000_Val"=dword:00000000
"Theme_000_Name"="Angry Women:Assertive females with agendas"
"Theme_000_Description"="rock, R&B, pop, country selections"
"Theme_001_Val"=dword:00000000
"Theme_001_Name"="Classic Rock: need we say more?"
"Theme_001_Description"="the biggest hits of the '60 and '70s"
"Theme_002_Val"=dword:00000000
"Theme_002_Name"="Cool Job: high tech workplace wallpaper"
"Theme_002_Description"="mostly instrumental! House, dub, trance, trip hop etc."
"Theme_003_Val"=dword:00000000
"Theme_003_Name"="Dad's Choice: beautiful soothing sounds to relax by"
"Theme_003_Description"="jazz and classical as well as A/C, mood music, new age, muzak and kitsch"
"Theme_004_Val"=dword:00000000
"Theme_004_Name"="Doom & Gloom: indulge that morbid obsession"
"Theme_004_Description"="goth, black meta;, horror-industrial"
"Theme_005_Val"=dword:00000000
"Theme_005_Name"="Driving tunes: Take the neighbor for a ride"
"Theme_005_Description"="idealy a place where rock, hip hop and electronica meet"
"Theme_006_Val"=dword:00000000
"Theme_006_Name"="Mondo, the bizarre: deranged and uncategorizable"
"Theme_006_Description"="may incorporate experimental/avant-garde, punk, noise, spoken word, surreptitious phone recordings and albums made by politicians or actors"
"Theme_007_Val"=dword:00000000
"Theme_007_Name"="Motivate: get up and go tunes for the action-packed life"
"Theme_007_Description"="get up and go tunes for the action-packed life – proactive themes from \"Whip It\" to \"That's Life\" to \"There's No Business Like Show Business\""
"Theme_008_Val"=dword:00000000
"Theme_008_Name"="Party On: Let the good times roll"
"Theme_008_Description"="club music, upbeat electronic sounds, pop/dance hits"
"Theme_009_Val"=dword:00000000
"Theme_009_Name"="Pretty Boys: take them at face value"
"Theme_009_Description"="boy bands, pop metal, alterna-poseurs"
"Theme_010_Val"=dword:00000000
"Theme_010_Name"="Romantic: music for snogging"
"Theme_010_Description"="barry White to Primal Scream"
"Theme_011_Val"=dword:00000000
"Theme_011_Name"="Sexy Girls:  Nicely packaged and danceable"
"Theme_011_Description"="pop, rock, R&B, hip-ho"
"Theme_012_Val"=dword:00000000
"Theme_012_Name"="Xtreme: fuel injected sonic aggression for high speed use"
"Theme_012_Description"="metal, thrash, punk, pain jazz"

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\CDDB]
"BehindProxy"=dword:00000000
"UseCDDB"=dword:00000001
"FirstCheckInCDDB"=dword:00000000
"SubmitCDDB"=dword:00000000
"GetSupplementaryInfo"=dword:00000000
"Host"=""
"Port"=dword:00000000
"UserName"=""
"Password"=""

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\FileTypes]
"RegisterAtStartup"=dword:00000000
"AssociateWithCD"=dword:00000000

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\General]
"XWndStartPosition"=dword:000000a2
"YWndStartPosition"=dword:00000052
"StartPlayingAfterAdd"=dword:00000001

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\Jukemind]
"GENRES_COUNT"=dword:0000000c
"Genre_000_ID"=dword:00000001
"Genre_000_Name"="Rock/Pop"
"Genre_000_Value"=dword:00000032
"Genre_001_ID"=dword:00000002
"Genre_001_Name"="Soul/R&B"
"Genre_001_Value"=dword:00000032
"Genre_002_ID"=dword:00000003
"Genre_002_Name"="Rap/Hip-hop"
"Genre_002_Value"=dword:00000032
"Genre_003_ID"=dword:00000004
"Genre_003_Name"="Alternative"
"Genre_003_Value"=dword:00000032
"Genre_004_ID"=dword:00000005
"Genre_004_Name"="Dance"
"Genre_004_Value"=dword:00000032
"Genre_005_ID"=dword:00000006
"Genre_005_Name"="Country"
"Genre_005_Value"=dword:00000032
"Genre_006_ID"=dword:00000007
"Genre_006_Name"="Reggae/Ska"
"Genre_006_Value"=dword:00000032
"Genre_007_ID"=dword:00000008
"Genre_007_Name"="Blues"
"Genre_007_Value"=dword:00000032
"Genre_008_ID"=dword:00000009
"Genre_008_Name"="Jazz"
"Genre_008_Value"=dword:00000032
"Genre_009_ID"=dword:0000000a
"Genre_009_Name"="Classical"
"Genre_009_Value"=dword:00000032
"Genre_010_ID"=dword:0000000b
"Genre_010_Name"="World"
"Genre_010_Value"=dword:00000032
"Genre_011_ID"=dword:0000000c
"Genre_011_Name"="Soundtracks"
"Genre_011_Value"=dword:00000032
"TENDtoPREFER"=dword:00000000

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\MiniBrowser]
"DefaultIndex"=dword:00000000
"DownloadParam"=dword:00000000
"URL_00"="http://www.zelvar.com/zelvar_backoffice"
"URL_01"="C:/Program Files/Zelvar/QAP/WebPages/home/home.html"
"URL_02"=""

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\Recording]
"MediaCreationMode"=dword:00000000
"RecordingMode"=dword:00000000
"EraseBeforeRecording"=dword:00000000
"VBR"=dword:00000032
"CBR_KBPS"=dword:00000080
"DefaultRecorder"=""
"AllowDownmix"=dword:00000001
"AllowIntensity"=dword:00000000
"SoftwareSyncCD"=dword:00000000
"PlaySound"=dword:00000001
"EjectCD"=dword:00000001
"RippingSpeed"=dword:00000001
"BitRateType"=dword:00000000
"CodingQuality"=dword:00000032
"CodingScheme"=dword:00000000
"FadeInSec"=dword:00000000
"FadeOutSec"=dword:00000000
"Normalization"=dword:0000005f
"MusicFolder"="C:\\My Music"
"DefaultRecorderDevice"=dword:00000000
"UseAsDefault"=dword:00000000
"DefaultOutputFormat"=dword:00000001
"CodingSpeed"=dword:00000002
"BurningSpeed"=dword:00000002
"BurnWholeList"=dword:00000001
"WMA_KBPS"=dword:00000060
"LoudnessBalance"=dword:00000000
"BurnConvertUncompressedOnly"=dword:00000001
"PortableDeviceConvertUncompressedOnly"=dword:00000001

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\Scheduler]
"UsePlStartAtTime"=dword:00000000
"PlStartAtTime"="<time>"
"UsePlStopAfterTime"=dword:00000000
"PlStopAfterTime"="<time>"
"PlRepeatEveryDay"=dword:00000000
"UseRecStartAtTime"=dword:00000000
"RecStartAtTime"="<time>"
"UseRecStopAfterTime"=dword:00000000
"RecStopAfterTime"="<time>"

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\Skins]
"SkinPath"=""
"SkinsRoot"=""

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\SoundEffectsSettings]
"Quality"=dword:00000000

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\Tagging]
"Title"=""
"Artist"=""
"Album"=""
"Year"=<year>
"Auto"=dword:00000000

[HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP\VisualEffects]
"DefaultEffect"=""

)";

std::string Export(const char* key) {
  std::string text;
  std::string error;
  EXPECT_EQ(RegExportKeyToString(key, &text, &error), ERROR_SUCCESS) << error;
  return text;
}

// The times of day of the scheduler and the year as placeholders, once
// checked to be what they must be.
std::string WithoutTheDay(std::string text) {
  const std::regex time("\"([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]\"");
  text = std::regex_replace(text, time, "\"<time>\"");
  char year[32];
  std::snprintf(year, sizeof year, "\"Year\"=dword:%08x", CTime::GetCurrentTime().GetYear());
  const size_t at = text.find(year);
  if (at != std::string::npos) text.replace(at, std::strlen(year), "\"Year\"=<year>");
  return text;
}

void ExpectConstructorValues() {
  SCOPED_TRACE("before the first load");
  EXPECT_FALSE(IsFirstStart());
  EXPECT_EQ(GetIMiniBrowserOption().GetDefaultIndex(), 0xFFFFFFFFu);
  EXPECT_EQ(GetIMiniBrowserOption().GetURL(0), "http://www.zelvar.com/zelvar_backoffice");
  IRecordingOption& recording = GetIRecordingOption();
  EXPECT_FALSE(recording.GetPlaySound());
  EXPECT_FALSE(recording.GetBurnWholeList());
  EXPECT_EQ(recording.GetNormalization(), 0u);
  EXPECT_EQ(recording.GetMusicFolder(), "");
  EXPECT_TRUE(recording.GetAllowDownmix());
  EXPECT_EQ(recording.GetWMA_KBPS(), 96u);
  EXPECT_FALSE(GetICDDBOption().GetUseCDDB());
  EXPECT_TRUE(GetITaggingOption().GetAuto());
  EXPECT_EQ(GetITaggingOption().GetYear(), static_cast<DWORD>(CTime::GetCurrentTime().GetYear()));
  EXPECT_EQ(GetIGeneralOption().GetXWndStartPosition(), 162u);
  EXPECT_EQ(GetIGeneralOption().GetYWndStartPosition2(), 82u);
  EXPECT_EQ(GetIJukemindOption().GetGenresCount(), 12u);
  EXPECT_EQ(GetIJukemindOption().GetGenreID(11), 12u);
  EXPECT_EQ(GetIJukemindOption().GetGenreName(0), "Rock/Pop");
  EXPECT_EQ(GetIJukemindOption().GetGenreValue(5), 50u);
  EXPECT_EQ(GetIAdvancedJukemindOption().GetThemesCount(), 0u);
  EXPECT_EQ(GetIFileType().GetIconIndex(), 0);
  EXPECT_EQ(GetIFileType().GetSpareNumber(), 1u);
  const std::time_t now = CTime::GetCurrentTime().GetTime();
  EXPECT_LE(GetISchedulerOption().GetPlStartAtTime().GetTime(), now);
  EXPECT_GE(GetISchedulerOption().GetPlStartAtTime().GetTime(), now - 60);
}

TEST(FirstRun, AnEmptyRegistryIsFilledWithEveryDefaultAndTheShellIsToldOnce) {
  qap::testing::ScratchHive hive;
  int notifications = 0;
  ShellChangeSubscription shell([&](const ShellChange& change) {
    EXPECT_EQ(change.eventId, SHCNE_ASSOCCHANGED);
    EXPECT_EQ(change.flags, 0u);
    EXPECT_EQ(change.item1, nullptr);
    EXPECT_EQ(change.item2, nullptr);
    ++notifications;
  });
  ExpectConstructorValues();

  ASSERT_TRUE(LoadOptions());
  EXPECT_TRUE(IsFirstStart());
  EXPECT_EQ(notifications, 1);
  const std::string settings = Export("HKEY_CURRENT_USER\\SOFTWARE\\ZelVar\\QAP");
  EXPECT_EQ(WithoutTheDay(settings), std::string("Windows Registry Editor Version 5.00\n\n") +
                                         kFirstRunSettings);

  // The file class names the player beside the library.
  const std::string player =
      (std::filesystem::canonical(std::getenv("QAP_BIN_DIR")) / "ZelvarQAP.exe").string();
  EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, "ZelVar.File\\command", ""), player);
  EXPECT_FALSE(StoredText(HKEY_CLASSES_ROOT, "ZelVar.File", "").has_value());

  ASSERT_TRUE(LoadOptions());
  EXPECT_FALSE(IsFirstStart());
  EXPECT_EQ(notifications, 1);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, GroupKey(""), "Start"), 1u);
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, GroupKey(""), "Version"), "RELEASE:07.00");
  CString name;
  DWORD major = 0;
  DWORD minor = 9;
  ASSERT_TRUE(GetOptVersion(name, major, minor));
  EXPECT_EQ(name, "RELEASE");
  EXPECT_EQ(major, 7u);
  EXPECT_EQ(minor, 0u);
}

}  // namespace
