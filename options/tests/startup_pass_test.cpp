// The start-up association pass: with "RegisterAtStartup" set, the first
// load of a process hands the extensions the user chose back to the player,
// and later loads in the same process do not. A program of its own, as the
// pass runs once per process.
#include <gtest/gtest.h>

#include "options/tests/options_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::options::testing;

TEST(StartupPass, RunsAtTheFirstLoadOfTheProcessOnly) {
  qap::testing::ScratchHive hive;
  const std::string userKey = GroupKey("FileTypes");
  StoreNumber(HKEY_CURRENT_USER, userKey, "RegisterAtStartup", 1);
  StoreNumber(HKEY_CURRENT_USER, userKey, ".MP3", 1);
  StoreNumber(HKEY_CURRENT_USER, userKey, ".WMA", 1);
  StoreNumber(HKEY_CURRENT_USER, userKey, ".WAV", 0);
  StoreText(HKEY_CLASSES_ROOT, ".MP3", "", "Winamp.File");
  StoreText(HKEY_CLASSES_ROOT, ".WAV", "", "SoundRec");
  StoreText(HKEY_CLASSES_ROOT, "ZelVar.File\\shell\\play\\command", "", "old.exe %1");

  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, ".MP3", ""), "ZelVar.File");
  EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, ".MP3", "ZelVarBackup"), "Winamp.File");
  EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, ".WMA", ""), "ZelVar.File");
  EXPECT_FALSE(StoredText(HKEY_CLASSES_ROOT, ".WMA", "ZelVarBackup").has_value());
  EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, ".WAV", ""), "SoundRec");
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ZelVar.File\\shell"));
  CStringArray& associated = GetIFileType().GetAssociatedExtensions();
  ASSERT_EQ(associated.GetSize(), 2);
  EXPECT_EQ(associated[0], ".MP3");
  EXPECT_EQ(associated[1], ".WMA");

  // Another program takes .MP3 back; a second load leaves it there.
  StoreText(HKEY_CLASSES_ROOT, ".MP3", "", "Winamp.File");
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, ".MP3", ""), "Winamp.File");
  EXPECT_FALSE(StoredText(HKEY_CLASSES_ROOT, ".MP3", "ZelVarBackup").has_value());
  ASSERT_EQ(associated.GetSize(), 1);
  EXPECT_EQ(associated[0], ".WMA");
}

}  // namespace
