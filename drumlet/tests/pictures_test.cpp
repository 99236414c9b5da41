// The library's dialogs as a person sees them, rendered offscreen by the
// front-end: the destination dialog with a drive opened.
#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QTreeView>

#include <filesystem>
#include <set>
#include <vector>

#include "drumlet/destination_dialog.h"
#include "drumlet/tests/dialog_test_support.h"
#include "platform/base/paths.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/mirror.h"

namespace drumlet::testing {
namespace {

ui::qt::FrontEnd* g_frontEnd = nullptr;

template <typename Widget>
std::vector<Widget*> WidgetsOf(HWND window) {
  ui::qt::Mirror* mirror = g_frontEnd->MirrorOf(window);
  std::vector<Widget*> widgets;
  if (mirror != nullptr) {
    for (Widget* widget : mirror->Widget()->findChildren<Widget*>()) widgets.push_back(widget);
  }
  return widgets;
}

std::set<QString> ButtonTexts(HWND window) {
  std::set<QString> texts;
  for (QPushButton* button : WidgetsOf<QPushButton>(window)) {
    if (button->isVisible()) texts.insert(button->text());
  }
  return texts;
}

// A person who may take pictures through the front-end.
std::unique_ptr<ui::script::Runner> Photographer(ui::script::Script script) {
  ui::script::Services services;
  services.screenshot = [](HWND window, const std::string& file, std::string* error) {
    return g_frontEnd->Screenshot(window, file, error);
  };
  auto runner = std::make_unique<ui::script::Runner>(std::move(script), services);
  runner->Start();
  return runner;
}

class PicturesTest : public ::testing::Test, public SkinnedDialogTest {
 protected:
  static void SetUpTestSuite() {
    g_frontEnd = new ui::qt::FrontEnd(true);
    std::string error;
    ASSERT_TRUE(g_frontEnd->Start(&error)) << error;
  }

  // Pictures are kept for a person to look at when QAP_TEST_PICTURES names
  // a folder.
  std::string PictureFile(const std::string& name) const {
    const char* keep = std::getenv("QAP_TEST_PICTURES");
    return (keep != nullptr && *keep != '\0' ? std::string(keep) : m_scratch.Path()) + "/" + name;
  }

  qap::testing::ScratchDir m_scratch;
};

TEST_F(PicturesTest, TheDestinationDialogShowsTheTreeTheEditAndItsTwoButtons) {
  namespace fs = std::filesystem;
  for (const char* folder : {"Music", "Podcasts", "WINDOWS"}) {
    fs::create_directories(fs::path(m_scratch.Path()) / "drive" / folder);
  }
  ASSERT_TRUE(SetDriveMapping('C', m_scratch.File("drive"), DRIVE_FIXED));
  const std::string file = PictureFile("destination.png");
  ui::script::Script script;
  std::string error;
  ASSERT_TRUE(script.Add("wait window \"Select Destination Path\"\n"
                         "expand 4048 \"C:\"\n"
                         "select 4048 \"C:\\\\Music\"\n"
                         "screenshot \"" + file + "\"\n",
                         &error))
      << error;
  std::set<QString> buttons;
  RECT client{};
  int treeRows = 0;
  script.Then([&](HWND dialog) {
    buttons = ButtonTexts(dialog);
    GetClientRect(dialog, &client);
    for (QTreeView* tree : WidgetsOf<QTreeView>(dialog)) treeRows += tree->model()->rowCount();
  });
  ASSERT_TRUE(script.Add("click \"Cancel\"\n", &error)) << error;
  auto person = Photographer(std::move(script));
  std::string path;
  EXPECT_FALSE(SelectDestinationPath(nullptr, "", &path));
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();

  EXPECT_EQ(buttons, (std::set<QString>{"Cancel", "OK"}));
  EXPECT_GE(treeRows, 2) << "the drives and \"Look around\"";
  QImage picture(QString::fromStdString(file));
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.width(), client.right);
  EXPECT_EQ(picture.height(), client.bottom);
  std::set<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 3) {
    for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 8u) << "the picture is blank";
}

}  // namespace
}  // namespace drumlet::testing
