// The music folder's views as the front-end shows them, offscreen, in the
// shell browser: the classic list with its columns and rows, and the web
// page with the folder's name above the same live list. The pictures are
// kept in the build's test-pictures folder, for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QTableView>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/mirror.h"
#include "platform/ui/user32.h"
#include "shellfolder/tests/view_test_support.h"
#include "shellfolder/view_resources.h"

namespace cobrell::testing {
namespace {

using ui::script::Script;

std::string PictureFile(const char* name) {
  const std::filesystem::path folder =
      std::filesystem::path(std::getenv("QAP_BIN_DIR")).parent_path() / "test-pictures";
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

// The picture has the window's size and is not blank.
void ExpectPicture(ui::qt::FrontEnd& frontEnd, HWND window, const std::string& file) {
  std::string error;
  ASSERT_TRUE(frontEnd.Screenshot(window, file, &error)) << error;
  QImage picture(QString::fromStdString(file));
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(picture.width(), rect.right - rect.left);
  std::set<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 3) {
    for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 4u) << "the picture is blank";
}

QTableView* ListWidget(ui::qt::FrontEnd& frontEnd, HWND browser) {
  ui::qt::Mirror* mirror = frontEnd.MirrorOf(MusicList(browser));
  return mirror != nullptr ? qobject_cast<QTableView*>(mirror->Widget()) : nullptr;
}

using ViewPictures = ViewTest;

TEST_F(ViewPictures, TheClassicListAndTheWebPageAroundItAsAPersonSeesThem) {
  AddTimedSong("Northern Lights", "Aurora Lane", 3600);
  AddTimedSong("Drift", "Aurora Lane", 75);
  AddTimedSong("Tea Time", "The Copper Kettles", 200);
  ui::qt::FrontEnd frontEnd(true);
  std::string error;
  ASSERT_TRUE(frontEnd.Start(&error)) << error;

  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([&](HWND browser) {
    QTableView* list = ListWidget(frontEnd, browser);
    ASSERT_NE(list, nullptr) << ui::driver::Describe(browser);
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "Drift");
    EXPECT_EQ(list->model()->index(1, 1).data().toString(), "1:00:00");
    EXPECT_EQ(list->model()->headerData(5, Qt::Horizontal).toString(), "Location");
    ExpectPicture(frontEnd, browser, PictureFile("music_classic_view.png"));
    ui::driver::ChooseMenuItem(browser, kCommandWebView);
  });
  script.Then([&](HWND browser) {
    QCoreApplication::processEvents();
    ui::qt::Mirror* page = frontEnd.MirrorOf(
        FindWindowExA(FindWindowExA(ViewHost(browser), nullptr, "Mp3Db Web View", nullptr),
                      nullptr, "Shell Embedding", nullptr));
    ASSERT_NE(page, nullptr) << ui::driver::Describe(browser);
    QLabel* heading = nullptr;
    for (QLabel* label : page->Widget()->findChildren<QLabel*>()) {
      if (label->text() == "Songs") heading = label;
    }
    ASSERT_NE(heading, nullptr) << "the folder's name as the page's heading";
    QTableView* list = ListWidget(frontEnd, browser);
    ASSERT_NE(list, nullptr) << "the live list in the page";
    EXPECT_EQ(list->model()->rowCount(), 3);
    const QRect listArea(list->mapTo(page->Widget(), QPoint(0, 0)), list->size());
    EXPECT_LE(heading->geometry().bottom(), listArea.top()) << "the heading above the list";
    EXPECT_GT(listArea.height(), 100) << "the list has room for its rows";
    ExpectPicture(frontEnd, browser, PictureFile("music_web_view.png"));
  });
  Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
}

}  // namespace
}  // namespace cobrell::testing
