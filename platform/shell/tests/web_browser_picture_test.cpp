// The web browser control as the front-end shows it, offscreen: the page's
// heading and text where the control laid them out, and the live list its
// OBJECT element embeds between them. The picture is kept in the build's
// test-pictures folder, for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTableView>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/shell/tests/web_browser_test_support.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/mirror.h"
#include "platform/ui/tests/ui_test_support.h"
#include "platform/ui/user32.h"

namespace {

void Settle() {
  for (int round = 0; round < 3; ++round) {
    ui::testing::Pump();
    QCoreApplication::processEvents();
  }
}

TEST(WebBrowserPicture, ThePageShowsItsTextAroundTheLiveListItEmbeds) {
  qap::testing::ScratchHive hive;
  shell::testing::RegisterTestList();
  ui::qt::FrontEnd frontEnd(true);
  std::string error;
  ASSERT_TRUE(frontEnd.Start(&error)) << error;
  {
    shell::testing::BrowserPage page(
        "<html><body><h2>QAP Music Jukebox: Play Lists</h2>\n"
        "<p>The songs of the folder, sorted as the list was left.</p>\n"
        "<object classid=\"clsid:" +
        shell::testing::TestListClassId() +
        "\" width=\"100%\" height=\"60%\"></object>\n"
        "<p>Double-click a song to play it.</p></body></html>");
    ASSERT_TRUE(page.Complete());
    Settle();

    ui::qt::Mirror* mirror = frontEnd.MirrorOf(page.Window());
    ASSERT_NE(mirror, nullptr);
    QLabel* heading = nullptr;
    QLabel* below = nullptr;
    for (QLabel* label : mirror->Widget()->findChildren<QLabel*>()) {
      if (label->text() == "QAP Music Jukebox: Play Lists") heading = label;
      if (label->text() == "Double-click a song to play it.") below = label;
    }
    ASSERT_NE(heading, nullptr);
    ASSERT_NE(below, nullptr);
    QTableView* list = mirror->Widget()->findChild<QTableView*>();
    ASSERT_NE(list, nullptr) << "the embedded list's own mirror\n" << ui::driver::Describe(page.TopWindow());
    EXPECT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "Dancing Queen");
    const QRect listArea(list->mapTo(mirror->Widget(), QPoint(0, 0)), list->size());
    EXPECT_LE(heading->geometry().bottom(), listArea.top()) << "the heading above the list";
    EXPECT_GE(below->geometry().top(), listArea.bottom()) << "the last line below it";
    EXPECT_LE(heading->heightForWidth(heading->width()), heading->height()) << "the heading is not cut";

    const std::filesystem::path folder =
        std::filesystem::path(std::getenv("QAP_BIN_DIR")).parent_path() / "test-pictures";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "web_browser_page.png").string();
    ASSERT_TRUE(frontEnd.Screenshot(page.TopWindow(), file, &error)) << error;
    QImage picture(QString::fromStdString(file));
    EXPECT_EQ(picture.width(), 600);
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3) {
      for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 4u) << "the page is not blank";
  }
  Settle();
}

}  // namespace
