// Path splitting, separators and the drive and share tables.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/base/paths.h"
#include "platform/testing/scratch.h"

namespace {

TEST(Paths, SplitAcceptsBothSeparatorsAndKeepsTheDotInTheExtension) {
  PathParts parts = SplitPath("C:\\Music/Rock\\song.final.mp3");
  EXPECT_EQ(parts.folder, "C:\\Music/Rock\\");
  EXPECT_EQ(parts.baseName, "song.final");
  EXPECT_EQ(parts.extension, ".mp3");
  parts = SplitPath("C:readme");
  EXPECT_EQ(parts.folder, "C:");
  EXPECT_EQ(parts.baseName, "readme");
  EXPECT_EQ(parts.extension, "");
  EXPECT_EQ(SplitPath("/home/u/.hidden").baseName, "");
  EXPECT_EQ(FileNameOf("\\\\server\\share\\a.wav"), "a.wav");
}

TEST(Paths, AppendSeparatorUsesThePathsOwnStyle) {
  EXPECT_EQ(AppendSeparator("C:\\Music"), "C:\\Music\\");
  EXPECT_EQ(AppendSeparator("/home/u/music"), "/home/u/music/");
  EXPECT_EQ(AppendSeparator("C:"), "C:\\");
  EXPECT_EQ(AppendSeparator("C:/Music"), "C:/Music/");
  EXPECT_EQ(AppendSeparator("C:\\Music\\"), "C:\\Music\\");
  EXPECT_EQ(AppendSeparator("Music"), "Music\\");
}

TEST(Paths, DriveLettersAreFoundOnlyInDrivePaths) {
  EXPECT_EQ(DriveLetterOf("c:\\x"), 'C');
  EXPECT_EQ(DriveLetterOf("Z:"), 'Z');
  EXPECT_EQ(DriveLetterOf("/home/u"), 0);
  EXPECT_EQ(DriveLetterOf("\\\\server\\share"), 0);
  EXPECT_EQ(DriveLetterOf("1:\\"), 0);
}

TEST(Paths, DefaultDrivesAreTheHomeFolderAndTheRoot) {
  qap::testing::ScratchHive hive;
  std::string home = getenv("HOME");
  EXPECT_EQ(ToHostPath("C:\\My Music\\a.mp3"), home + "/My Music/a.mp3");
  EXPECT_EQ(ToHostPath("c:/x"), home + "/x");
  EXPECT_EQ(ToHostPath("Z:\\etc\\hosts"), "/etc/hosts");
  EXPECT_EQ(ToHostPath("Z:\\"), "/");
  EXPECT_EQ(ToHostPath("/tmp/a b.wav"), "/tmp/a b.wav");
  EXPECT_EQ(ToHostPath("rel\\dir\\f"), "rel/dir/f");
  EXPECT_EQ(ToHostPath("Q:\\x"), "");
  EXPECT_EQ(GetDriveTypeA("C:\\"), DRIVE_FIXED);
  EXPECT_EQ(GetDriveTypeA("Q:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(GetDriveTypeA(nullptr), DRIVE_FIXED);
  EXPECT_EQ(GetLogicalDrives(), (1u << 2) | (1u << 25));
}

TEST(Paths, TheDriveTableCanAddRetypeAndRemoveDrives) {
  qap::testing::ScratchHive hive;
  ASSERT_TRUE(SetDriveMapping('e', "/media/stick/", DRIVE_REMOVABLE));
  ASSERT_TRUE(SetDriveMapping('D', "/srv/cd", DRIVE_CDROM));
  ASSERT_TRUE(SetDriveMapping('C', "", DRIVE_FIXED));
  EXPECT_EQ(ToHostPath("E:\\songs\\a.mp3"), "/media/stick/songs/a.mp3");
  EXPECT_EQ(GetDriveTypeA("E:"), DRIVE_REMOVABLE);
  EXPECT_EQ(GetDriveTypeA("d:/"), DRIVE_CDROM);
  EXPECT_EQ(GetDriveTypeA("C:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(ToHostPath("C:\\x"), "");
  EXPECT_EQ(GetDriveTypeA("E:\\songs"), DRIVE_NO_ROOT_DIR);  // not a root
  EXPECT_EQ(GetLogicalDrives(), (1u << 3) | (1u << 4) | (1u << 25));
  EXPECT_FALSE(SetDriveMapping('1', "/x", DRIVE_FIXED));
}

TEST(Paths, ProgramPathsInWindows1252BecomeUtf8HostNames) {
  qap::testing::ScratchHive hive;
  ASSERT_TRUE(SetDriveMapping('M', "/srv/m\xC3\xBAsica", DRIVE_FIXED));  // a host name, UTF-8
  setenv("QAP_ACP", "1252", 1);
  EXPECT_EQ(ToHostPath("M:\\Caf\xE9\\x.mp3"), "/srv/m\xC3\xBAsica/Caf\xC3\xA9/x.mp3");
  EXPECT_EQ(ToHostPath("/tmp/\xE9t\xE9"), "/tmp/\xC3\xA9t\xC3\xA9");
  unsetenv("QAP_ACP");
  EXPECT_EQ(ToHostPath("/tmp/\xC3\xA9t\xC3\xA9"), "/tmp/\xC3\xA9t\xC3\xA9");
}

TEST(Paths, UncPathsMapThroughTheShareTableOnly) {
  qap::testing::ScratchHive hive;
  EXPECT_EQ(ToHostPath("\\\\nas\\music\\a.mp3"), "");
  ASSERT_TRUE(SetShareMapping("nas", "music", "/mnt/nas-music"));
  EXPECT_EQ(ToHostPath("\\\\NAS\\Music\\rock\\a.mp3"), "/mnt/nas-music/rock/a.mp3");
  EXPECT_EQ(ToHostPath("//nas/music"), "/mnt/nas-music");
  EXPECT_EQ(ToHostPath("\\\\nas"), "");
  EXPECT_EQ(ToHostPath("\\\\nas\\other\\x"), "");
  EXPECT_FALSE(SetShareMapping("nas\\evil", "x", "/"));
}

}  // namespace
