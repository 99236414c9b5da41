// The change-callback protocol every group shares: who is told, when, with
// what, and what a callback may do.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "options/tests/options_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::options::testing;

class Callbacks : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadOptions()); }

  qap::testing::ScratchHive m_hive;
};

TEST_F(Callbacks, OnlyARealChangeIsReportedWithTheGroupTheValueIdAndTheUserData) {
  ISkinOption& skin = GetISkinOption();
  skin.SetSkinsRoot("C:\\Skins");
  CallbackRecorder recorder(skin);

  skin.SetSkinsRoot("C:\\Skins");  // the same text
  skin.SetSkinsRoot("c:\\skins");  // only the letter case differs: a change
  skin.SetSkinPath("Blue");
  ASSERT_EQ(recorder.Calls().size(), 2u);
  EXPECT_EQ(recorder.Calls()[0].object, static_cast<void*>(&skin));
  EXPECT_EQ(recorder.Calls()[0].reserved, 0u);
  EXPECT_EQ(recorder.Calls()[0].userData, recorder.Token());
  EXPECT_EQ(recorder.ValueIds(), (std::vector<DWORD>{1, 0}));
}

TEST_F(Callbacks, NumbersFlagsAndTimesAreComparedAsValues) {
  IRecordingOption& recording = GetIRecordingOption();
  ISchedulerOption& scheduler = GetISchedulerOption();
  const CTime at = scheduler.GetRecStartAtTime();
  CallbackRecorder recordingCalls(recording);
  CallbackRecorder schedulerCalls(scheduler);

  recording.SetVBR(recording.GetVBR());
  recording.SetEjectCD(recording.GetEjectCD());
  recording.SetCBR_KBPS(recording.GetCBR_KBPS() + 1);
  recording.SetPortableDeviceConvertUncompressedOnly(
      !recording.GetPortableDeviceConvertUncompressedOnly());
  recording.SetMediaCreationMode(recording.GetMediaCreationMode() + 1);
  scheduler.SetRecStartAtTime(at);
  scheduler.SetRecStartAtTime(CTime(at.GetTime() + 1));
  EXPECT_EQ(recordingCalls.ValueIds(), (std::vector<DWORD>{3, 28, 26}));
  EXPECT_EQ(schedulerCalls.ValueIds(), (std::vector<DWORD>{6}));
}

TEST_F(Callbacks, ACallbackMayChangeItsOwnGroupWithoutBeingCalledAgain) {
  IMiniBrowserOption& browser = GetIMiniBrowserOption();
  CallbackRecorder recorder(browser, [&](const CallbackCall&) {
    browser.SetDefaultIndex(7);
    browser.SetURL(2, "http://example.org/");
  });

  browser.SetDownloadParam(!browser.GetDownloadParam());
  EXPECT_EQ(recorder.ValueIds(), (std::vector<DWORD>{0}));
  EXPECT_EQ(browser.GetDefaultIndex(), 7u);
  EXPECT_EQ(browser.GetURL(2), "http://example.org/");

  // Once the callback has returned, changes are reported again.
  browser.SetURL(1, "about:blank");
  EXPECT_EQ(recorder.ValueIds(), (std::vector<DWORD>{0, 1001}));
}

TEST_F(Callbacks, TheCallbackRunsWithoutTheGroupLockAndOtherThreadsChangesMeanwhileAreNotReported) {
  ISoundEffectOption& sound = GetISoundEffectOption();
  std::thread other;
  std::atomic<bool> otherDone{false};
  CallbackRecorder recorder(sound, [&](const CallbackCall&) {
    if (other.joinable()) return;
    other = std::thread([&] {
      sound.SetQuality(42);  // needs the group's lock
      otherDone = true;
    });
    EXPECT_TRUE(qap::testing::WaitFor([&] { return otherDone.load(); }));
  });

  sound.SetQuality(sound.GetQuality() + 1);
  other.join();
  EXPECT_EQ(sound.GetQuality(), 42u);
  EXPECT_EQ(recorder.Calls().size(), 1u);
}

// A getter's text is read while another thread sets it: what the getter
// hands out is always one whole value, never one being replaced.
TEST_F(Callbacks, ATextReadWhileAnotherThreadSetsItIsOneWholeValue) {
  ISkinOption& skin = GetISkinOption();
  // Of one length, so that a copy taken while the other is written over it
  // would hold some of each.
  const CString first(std::string(64 * 1024, 'a').c_str());
  const CString second(std::string(64 * 1024, 'b').c_str());
  skin.SetSkinPath(first);
  std::atomic<bool> done{false};
  std::thread setter([&] {
    for (int i = 0; i < 2000; ++i) skin.SetSkinPath(i % 2 == 0 ? second : first);
    done = true;
  });
  int torn = 0;
  while (!done) {
    const CString read = skin.GetSkinPath();
    if (read != first && read != second) ++torn;
  }
  setter.join();
  EXPECT_EQ(torn, 0);
}

TEST_F(Callbacks, AnExceptionThrownByTheCallbackStaysInTheLibrary) {
  ITaggingOption& tagging = GetITaggingOption();
  CallbackRecorder recorder(tagging, [](const CallbackCall&) { throw std::runtime_error("client"); });

  EXPECT_NO_THROW(tagging.SetTitle("One"));
  EXPECT_NO_THROW(tagging.SetTitle("Two"));
  EXPECT_EQ(tagging.GetTitle(), "Two");
  EXPECT_EQ(recorder.Calls().size(), 2u);
}

void IgnoreChange(void*, DWORD, DWORD, DWORD) {}

TEST_F(Callbacks, AGroupTakesOneCallbackUntilItIsRemoved) {
  ICDDBOption& cddb = GetICDDBOption();
  {
    CallbackRecorder first(cddb);
    EXPECT_FALSE(cddb.SetCallback(&IgnoreChange, 1));
    cddb.SetPort(8080);
    EXPECT_EQ(first.Calls().size(), 1u);  // the first one stays installed
  }
  EXPECT_TRUE(cddb.SetCallback(&IgnoreChange, 1));
  EXPECT_TRUE(cddb.SetCallback(nullptr, 0));
  CallbackRecorder second(cddb);
  cddb.SetPort(8081);
  EXPECT_EQ(second.Calls().size(), 1u);
}

TEST_F(Callbacks, LoadsReportNothingAndSettersReachTheRegistryOnlyWhenSaved) {
  IRecordingOption& recording = GetIRecordingOption();
  const std::string key = GroupKey("Recording");
  CallbackRecorder recorder(recording);

  StoreNumber(HKEY_CURRENT_USER, key, "VBR", 70);
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(recording.GetVBR(), 70u);
  EXPECT_TRUE(recorder.Calls().empty());

  recording.SetVBR(80);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "VBR"), 70u);
  EXPECT_TRUE(SaveOptions());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, key, "VBR"), 80u);
}

TEST_F(Callbacks, TheVersionStampReadsAsNameMajorAndMinor) {
  struct Case {
    const char* stamp;
    bool ok;
    const char* name;
    DWORD major;
    DWORD minor;
  };
  const Case cases[] = {
      {"RELEASE:02.05", true, "RELEASE", 2, 5},
      {"RELEASE:07.00", true, "RELEASE", 7, 0},
      {"BETA:x.9", true, "BETA", 0, 9},
      {"A.5:3", true, "A", 3, 5},  // cut at both marks, whichever comes first
      {"RELEASE:99999999999.1", true, "RELEASE", 2147483647, 1},
      {"RELEASE", false, "", 0, 0},
      {"RELEASE:02", false, "", 0, 0},
      {"RELEASE.02", false, "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stamp);
    StoreVersion(c.stamp);
    CString name = "untouched";
    DWORD major = 91;
    DWORD minor = 92;
    ASSERT_EQ(GetOptVersion(name, major, minor), c.ok);
    EXPECT_EQ(name, c.ok ? c.name : "untouched");
    EXPECT_EQ(major, c.ok ? c.major : 91u);
    EXPECT_EQ(minor, c.ok ? c.minor : 92u);
  }
  StoreNumber(HKEY_CURRENT_USER, GroupKey(""), "Version", 7);
  CString name;
  DWORD major = 0;
  DWORD minor = 0;
  EXPECT_FALSE(GetOptVersion(name, major, minor));
}

}  // namespace
