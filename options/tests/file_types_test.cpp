// The file-types group against the class registry: the player's file
// class, taking extensions over and giving them back, the icon number and
// the Audio CD entries.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "options/tests/options_test_util.h"
#include "platform/shell/shell_notify.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::options::testing;

const char* const kExtensions[] = {".AS",  ".CDA", ".MID", ".MTM", ".MPEG", ".ASF",
                                   ".AVI", ".MP3", ".MP2", ".MP1", ".WAV",  ".M3U",
                                   ".WMA", ".PLS", ".ZPL", ".ASX", ".RMI",  ".LBY"};
const std::string kUserKey = GroupKey("FileTypes");
const char* const kCdCommand = "AudioCD\\shell\\play\\command";

std::string PlayerPath() {
  return (std::filesystem::canonical(std::getenv("QAP_BIN_DIR")) / "ZelvarQAP.exe").string();
}

std::optional<std::string> ClassText(const std::string& key, const char* name = "") {
  return StoredText(HKEY_CLASSES_ROOT, key, name);
}

class FileTypesTest : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
  IFileTypes& m_types = GetIFileType();
  int m_notifications = 0;
  ShellChangeSubscription m_shell{[this](const ShellChange& change) {
    if (change.eventId == SHCNE_ASSOCCHANGED) ++m_notifications;
  }};
};

TEST_F(FileTypesTest, ALoadRegistersTheFileClassAndAKeyForEveryExtension) {
  StoreText(HKEY_CLASSES_ROOT, "ZelVar.File", "", "stale");
  StoreText(HKEY_CLASSES_ROOT, "ZelVar.File\\shell\\open\\command", "", "old.exe %1");
  ASSERT_TRUE(LoadOptions());

  EXPECT_FALSE(ClassText("ZelVar.File").has_value());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ZelVar.File\\shell"));
  EXPECT_EQ(ClassText("ZelVar.File\\command"), PlayerPath());
  EXPECT_EQ(ClassText("ZelVar.File\\shellex\\ContextMenuHandlers\\ZelVarHandler"),
            "{BB055A52-07CC-11D4-A1BE-D0054AC10000}");
  for (const char* extension : kExtensions) {
    SCOPED_TRACE(extension);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, extension));
    EXPECT_FALSE(ClassText(extension).has_value());
  }
  EXPECT_EQ(m_types.GetAssociatedExtensions().GetSize(), 0);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kUserKey, "RegisterAtStartup"), 0u);
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kUserKey, "AssociateWithCD"), 0u);
  ASSERT_EQ(m_types.GetExtensionCount(), 18u);
  EXPECT_EQ(m_types.GetExtensionTable()[0], ".AS");
  EXPECT_EQ(m_types.GetExtensionTable()[17], ".LBY");
}

TEST_F(FileTypesTest, ASaveTakesListedExtensionsOverAndGivesThemBackWhenUnlisted) {
  StoreText(HKEY_CLASSES_ROOT, ".WAV", "", "SoundRec");
  ASSERT_TRUE(LoadOptions());
  m_types.GetAssociatedExtensions().Add(".WAV");
  const int before = m_notifications;
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(m_notifications, before + 1);

  EXPECT_EQ(ClassText(".WAV"), "ZelVar.File");
  EXPECT_EQ(ClassText(".WAV", "ZelVarBackup"), "SoundRec");
  for (const char* extension : kExtensions) {
    SCOPED_TRACE(extension);
    EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kUserKey, extension),
              std::string(extension) == ".WAV" ? 1u : 0u);
  }
  // Saving again keeps the real backup.
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(ClassText(".WAV", "ZelVarBackup"), "SoundRec");
  ASSERT_TRUE(LoadOptions());
  ASSERT_EQ(m_types.GetAssociatedExtensions().GetSize(), 1);
  EXPECT_EQ(m_types.GetAssociatedExtensions()[0], ".WAV");

  m_types.GetAssociatedExtensions().RemoveAll();
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(ClassText(".WAV"), "SoundRec");
  EXPECT_FALSE(ClassText(".WAV", "ZelVarBackup").has_value());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kUserKey, ".WAV"), 0u);
}

TEST_F(FileTypesTest, AnExtensionWithoutAUsableBackupIsGivenBackEmpty) {
  StoreText(HKEY_CLASSES_ROOT, ".MP3", "", "ZelVar.File");
  StoreText(HKEY_CLASSES_ROOT, ".MP2", "", "ZelVar.File");
  StoreText(HKEY_CLASSES_ROOT, ".MP2", "ZelVarBackup", "ZelVar.File");
  ASSERT_TRUE(LoadOptions());
  m_types.GetAssociatedExtensions().RemoveAll();
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(ClassText(".MP3"), "");
  EXPECT_EQ(ClassText(".MP2"), "");
}

TEST_F(FileTypesTest, AnExtensionAnotherProgramTookOverDropsOutWithItsStaleBackup) {
  StoreText(HKEY_CLASSES_ROOT, ".MP3", "", "ZelVar.File");
  ASSERT_TRUE(LoadOptions());
  m_types.GetAssociatedExtensions().RemoveAll();
  m_types.GetAssociatedExtensions().Add(".MP3");
  ASSERT_TRUE(SaveOptions());
  StoreText(HKEY_CLASSES_ROOT, ".MP3", "", "Winamp.File");
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(m_types.GetAssociatedExtensions().GetSize(), 0);
  EXPECT_FALSE(ClassText(".MP3", "ZelVarBackup").has_value());
  EXPECT_EQ(ClassText(".MP3"), "Winamp.File");
}

TEST_F(FileTypesTest, RepeatedEmptyOrPathLikeListEntriesCannotSpoilBackupsOrOtherKeys) {
  StoreText(HKEY_CLASSES_ROOT, ".WAV", "", "SoundRec");
  ASSERT_TRUE(LoadOptions());
  CStringArray& list = m_types.GetAssociatedExtensions();
  list.Add(".WAV");
  list.Add(".wav");
  list.Add("");
  list.Add("AudioCD\\shell");
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(ClassText(".WAV", "ZelVarBackup"), "SoundRec");
  EXPECT_FALSE(ClassText("").has_value());
  EXPECT_FALSE(ClassText("AudioCD\\shell").has_value());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kUserKey, ".WAV"), 1u);
  EXPECT_FALSE(StoredNumber(HKEY_CURRENT_USER, kUserKey, "").has_value());
}

TEST_F(FileTypesTest, TheIconNumberIsHeldPlusOneAndReadFromTheIconTextsLastDigit) {
  ASSERT_TRUE(LoadOptions());
  m_types.SetIconIndex(0);  // the number is not kept in the user key
  CallbackRecorder calls(m_types);
  m_types.SetIconIndex(2);
  m_types.SetIconIndex(2);
  m_types.SetSpareNumber(5);
  EXPECT_EQ(calls.ValueIds(), (std::vector<DWORD>{0, 1}));
  ASSERT_TRUE(m_types.Save());
  EXPECT_EQ(ClassText("ZelVar.File\\DefaultIcon"), PlayerPath() + ",3");

  struct Case {
    const char* text;
    int index;
  };
  for (const Case& c : {Case{"x.exe,7", 2}, Case{"x.exe,1", 0}, Case{"x.exe,icon", -1},
                        Case{"", -1}}) {
    SCOPED_TRACE(c.text);
    StoreText(HKEY_CLASSES_ROOT, "ZelVar.File\\DefaultIcon", "", c.text);
    ASSERT_TRUE(m_types.Load());
    EXPECT_EQ(m_types.GetIconIndex(), c.index);
  }
  m_types.SetIconIndex(2147483647);  // held as the lowest number, without overflow
  EXPECT_EQ(m_types.GetIconIndex(), 2147483647);
}

TEST_F(FileTypesTest, AudioCdOnKeepsTheOldEntriesUpperCasedAndOffGivesThemBack) {
  StoreText(HKEY_CLASSES_ROOT, kCdCommand, "", "c:\\cd\\play.exe %1");
  StoreText(HKEY_CLASSES_ROOT, "AudioCD\\DefaultIcon", "", "c:\\cd\\play.exe,0");
  ASSERT_TRUE(LoadOptions());
  m_types.SetIconIndex(0);
  m_types.SetAssociateWithCD(true);
  ASSERT_TRUE(m_types.Save());
  EXPECT_EQ(ClassText(kCdCommand), PlayerPath() + " /CDAudio %1");
  EXPECT_EQ(ClassText(kCdCommand, "ZelVarBackup"), "C:\\CD\\PLAY.EXE %1");
  EXPECT_EQ(ClassText("AudioCD\\DefaultIcon"), PlayerPath() + ",1");
  EXPECT_EQ(ClassText("AudioCD\\DefaultIcon", "ZelVarBackup"), "C:\\CD\\PLAY.EXE,0");
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kUserKey, "AssociateWithCD"), 1u);

  m_types.SetAssociateWithCD(false);
  ASSERT_TRUE(m_types.Save());
  EXPECT_EQ(ClassText(kCdCommand), "C:\\CD\\PLAY.EXE %1");
  EXPECT_FALSE(ClassText(kCdCommand, "ZelVarBackup").has_value());
  EXPECT_EQ(ClassText("AudioCD\\DefaultIcon"), "C:\\CD\\PLAY.EXE,0");
}

TEST_F(FileTypesTest, AudioCdSavedTwiceKeepsTheOldCommand) {
  StoreText(HKEY_CLASSES_ROOT, kCdCommand, "", "c:\\cd\\play.exe %1");
  ASSERT_TRUE(LoadOptions());
  m_types.SetAssociateWithCD(true);
  ASSERT_TRUE(m_types.Save());
  ASSERT_TRUE(m_types.Save());
  ASSERT_TRUE(m_types.Load());
  EXPECT_EQ(ClassText(kCdCommand, "ZelVarBackup"), "C:\\CD\\PLAY.EXE %1");
  m_types.SetAssociateWithCD(false);
  ASSERT_TRUE(m_types.Save());
  EXPECT_EQ(ClassText(kCdCommand), "C:\\CD\\PLAY.EXE %1");
}

TEST_F(FileTypesTest, AudioCdOffLeavesAnotherProgramsEntriesAloneWhenThePlayerNeverHadThem) {
  StoreText(HKEY_CLASSES_ROOT, kCdCommand, "", "wmplayer.exe /cd %1");
  StoreText(HKEY_CLASSES_ROOT, "AudioCD\\DefaultIcon", "", "/opt/zelvarqap.exe,1");
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(ClassText(kCdCommand), "wmplayer.exe /cd %1");
  EXPECT_EQ(ClassText("AudioCD\\DefaultIcon"), "");  // the player's own, without a backup
}

TEST_F(FileTypesTest, VersionsOneToThreeLeaveAnOldClassThatIsDeleted) {
  for (const char* stamp : {"RELEASE:03.00", "RELEASE:04.00"}) {
    SCOPED_TRACE(stamp);
    StoreVersion(stamp);
    StoreText(HKEY_CLASSES_ROOT, "ZelVarVarVar.File\\command", "", "old.exe");
    ASSERT_TRUE(LoadOptions());
    EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, "ZelVarVarVar.File"),
              std::string(stamp) == "RELEASE:04.00");
  }
}

}  // namespace
