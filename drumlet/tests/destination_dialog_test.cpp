// "Select Destination Path" as a person uses it: drives and folders opened
// in the path picker, names shown as the picker shows them, a selection
// giving its path to the edit box, OK and Cancel; and the network, whose
// servers and shares come from the share table, listed completely however
// many there are.
#include "drumlet/destination_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "drumlet/tests/dialog_test_support.h"
#include "platform/base/paths.h"
#include "platform/ui/driver.h"

namespace drumlet::testing {
namespace {

constexpr int kTree = 4048;
constexpr int kPathEdit = 4049;

struct Shown {
  int image = -1;
  int selectedImage = -1;
  bool hasChildren = false;
};

// The tree's items below the item at path ("" for the roots) by text.
std::map<std::string, Shown> ItemsBelow(HWND dialog, const std::vector<std::string>& path) {
  std::map<std::string, Shown> items;
  auto* tree = ui::driver::Model<ui::driver::TreeViewModel>(GetDlgItem(dialog, kTree));
  if (tree == nullptr) return items;
  HTREEITEM parent = nullptr;
  for (const std::string& part : path) {
    HTREEITEM match = nullptr;
    for (HTREEITEM item : tree->ChildItems(parent)) {
      ui::driver::TreeItemInfo info;
      if (tree->Item(item, &info) && info.text == part) match = item;
    }
    if (match == nullptr) return items;
    parent = match;
  }
  for (HTREEITEM item : tree->ChildItems(parent)) {
    ui::driver::TreeItemInfo info;
    if (tree->Item(item, &info)) {
      items[info.text] = {info.image, info.selectedImage, info.hasChildren};
    }
  }
  return items;
}

std::vector<std::string> Names(const std::map<std::string, Shown>& items) {
  std::vector<std::string> names;
  for (const auto& [name, shown] : items) names.push_back(name);
  return names;
}

class DestinationDialogTest : public ::testing::Test, public SkinnedDialogTest {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    for (const char* folder : {"WINDOWS/System", "Music/Rock", "Empty", "mixed CASE"}) {
      fs::create_directories(fs::path(m_drive.Path()) / folder);
    }
    m_drive.Write("Music/notes.txt", "not a folder");
    ASSERT_TRUE(SetDriveMapping('C', m_drive.Path(), DRIVE_FIXED));
    ASSERT_TRUE(SetDriveMapping('D', m_drive.File("Music"), DRIVE_CDROM));
    ASSERT_TRUE(SetDriveMapping('Z', "", DRIVE_FIXED));
  }

  qap::testing::ScratchDir m_drive;
};

TEST_F(DestinationDialogTest, APersonOpensFoldersSelectsOneAndOkGivesItsPath) {
  ui::script::Script script;
  std::string error;
  std::map<std::string, Shown> roots, onC, inEmpty;
  script.When("Select Destination Path", [&](HWND dialog) { roots = ItemsBelow(dialog, {}); });
  ASSERT_TRUE(script.Add("expand 4048 \"C:\"\n"
                         "expect text 4049 \"C:\\\\\"\n"
                         "expand 4048 \"C:\\\\Empty\"\n",
                         &error))
      << error;
  script.Then([&](HWND dialog) {
    onC = ItemsBelow(dialog, {"C:"});
    inEmpty = ItemsBelow(dialog, {"C:", "Empty"});
  });
  ASSERT_TRUE(script.Add("select 4048 \"C:\\\\Windows\"\n"
                         "expect text 4049 \"C:\\\\Windows\\\\\"\n"
                         "expand 4048 \"C:\\\\Music\"\n"
                         "select 4048 \"C:\\\\Music\\\\Rock\"\n"
                         "expect text 4049 \"C:\\\\Music\\\\Rock\\\\\"\n"
                         "click \"OK\"\n",
                         &error))
      << error;
  auto person = Person(std::move(script));
  std::string path = "C:\\Before\\";
  EXPECT_TRUE(SelectDestinationPath(nullptr, "", &path));
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
  EXPECT_EQ(path, "C:\\Music\\Rock\\");

  EXPECT_EQ(Names(roots), (std::vector<std::string>{"C:", "D:", "Look around"}))
      << "no root for a letter without a drive";
  EXPECT_EQ(roots["C:"].image, DRIVE_FIXED);
  EXPECT_EQ(roots["D:"].image, DRIVE_CDROM);
  EXPECT_EQ(roots["Look around"].image, 7);
  EXPECT_EQ(Names(onC), (std::vector<std::string>{"Empty", "Music", "Windows", "mixed CASE"}))
      << "a name in capitals shows an initial capital only; a mixed one is unchanged";
  EXPECT_EQ(onC["Music"].image, 1);
  EXPECT_EQ(onC["Music"].selectedImage, 0);
  EXPECT_TRUE(onC["Music"].hasChildren) << "until it is expanded";
  EXPECT_TRUE(inEmpty.empty());
  EXPECT_FALSE(onC["Empty"].hasChildren) << "an empty folder loses its expand button";
}

TEST_F(DestinationDialogTest, AnEditedPathIsWhatOkGivesAndCancelGivesNothing) {
  auto editing = Person("wait window \"Select Destination Path\"\n"
                        "expect text 4049 \"C:\\\\Before\\\\\"\n"
                        "settext 4049 \"C:\\\\Music\\\\New\\\\\"\n"
                        "key Enter\n");
  std::string path = "C:\\Before\\";
  EXPECT_TRUE(SelectDestinationPath(nullptr, "", &path));
  EXPECT_TRUE(editing->Finished() && !editing->Failed()) << editing->Failure();
  EXPECT_EQ(path, "C:\\Music\\New\\");

  auto cancelling = Person("wait window \"Select Destination Path\"\n"
                           "select 4048 \"C:\"\n"
                           "click \"Cancel\"\n");
  EXPECT_FALSE(SelectDestinationPath(nullptr, "", &path));
  EXPECT_TRUE(cancelling->Finished() && !cancelling->Failed()) << cancelling->Failure();
  EXPECT_EQ(path, "C:\\Music\\New\\");
}

TEST_F(DestinationDialogTest, TheNetworkListsEveryServerAndShareEvenBeyondOneBuffer) {
  // Far more shares than one 16 KB buffer of records holds.
  constexpr int kShares = 400;
  for (int i = 0; i < kShares; ++i) {
    char share[16];
    std::snprintf(share, sizeof share, "share%03d", i);
    ASSERT_TRUE(SetShareMapping("NAS", share, m_drive.Path()));
  }
  ASSERT_TRUE(SetShareMapping("backup", "Music", m_drive.File("Music")));
  ui::script::Script script;
  std::string error;
  std::map<std::string, Shown> servers, shares, inShare;
  ASSERT_TRUE(script.Add("wait window \"Select Destination Path\"\n"
                         "expand 4048 \"Look around\"\n"
                         "expand 4048 \"Look around\\\\Nas\"\n"
                         "expand 4048 \"Look around\\\\backup\"\n"
                         "expand 4048 \"Look around\\\\backup\\\\Music\"\n",
                         &error))
      << error;
  script.Then([&](HWND dialog) {
    servers = ItemsBelow(dialog, {"Look around"});
    shares = ItemsBelow(dialog, {"Look around", "Nas"});
    inShare = ItemsBelow(dialog, {"Look around", "backup", "Music"});
  });
  ASSERT_TRUE(script.Add("select 4048 \"Look around\\\\Nas\\\\share399\"\n"
                         "expect text 4049 \"\\\\\\\\NAS\\\\share399\\\\\"\n"
                         "select 4048 \"Look around\\\\backup\\\\Music\\\\Rock\"\n"
                         "expect text 4049 \"\\\\\\\\backup\\\\Music\\\\Rock\\\\\"\n"
                         "click \"OK\"\n",
                         &error))
      << error;
  auto person = Person(std::move(script));
  std::string path;
  EXPECT_TRUE(SelectDestinationPath(nullptr, "", &path));
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
  EXPECT_EQ(path, "\\\\backup\\Music\\Rock\\");

  EXPECT_EQ(Names(servers), (std::vector<std::string>{"Nas", "backup"}))
      << "a server named in capitals is shown like a folder so named";
  EXPECT_EQ(servers["Nas"].image, 7 + 2) << "a server's display type + 7";
  ASSERT_EQ(shares.size(), static_cast<size_t>(kShares));
  EXPECT_EQ(shares["share000"].image, 1);
  EXPECT_EQ(shares["share000"].selectedImage, 0);
  EXPECT_EQ(Names(inShare), std::vector<std::string>{"Rock"});
}

}  // namespace
}  // namespace drumlet::testing
