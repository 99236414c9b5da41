// The music folder's views as the front-end shows them, offscreen, in the
// shell browser: the classic list with its columns and rows, the web page
// with the folder's name above the same live list, and a context menu; and
// what reaches the list from the desktop: files dropped from its file
// manager and the suite's own data on its clipboard. The pictures are kept
// in the build's test-pictures folder, for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QTableView>
#include <QUrl>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/mirror.h"
#include "platform/ui/user32.h"
#include "platform/ui/ole/clipboard.h"
#include "shellfolder/tests/view_test_support.h"
#include "shellfolder/transfer_block.h"
#include "shellfolder/view_resources.h"
#include "suite/musicdb/tests/music_db_test_support.h"

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

// Files dragged from the desktop's file manager and let go over point of
// the list.
void DropFromDesktop(QTableView* list, QPoint point, const std::string& file) {
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
  QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                        Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &enter);
  QDropEvent drop(QPointF(point), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                  Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &drop);
}

constexpr char kPrivateMime[] = "application/x-qap-Cobrell";

TEST_F(ViewPictures, FilesAndCopiesFromTheDesktopReachThePlaylistsAndTheContextMenuShows) {
  qap::testing::ScratchDir files;
  const std::string tune = files.File("Tune.mp3");
  ASSERT_TRUE(qap::musicdb::testing::MakeMusicFile(tune, {"Tune"}, 1));
  AddToPlaylist(AddPlaylist("Alpha"), {AddTimedSong("Xray", "Abba", 60)});
  ui::qt::FrontEnd frontEnd(true);
  std::string error;
  ASSERT_TRUE(frontEnd.Start(&error)) << error;

  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([&](HWND browser) {
    QTableView* list = ListWidget(frontEnd, browser);
    ASSERT_NE(list, nullptr);
    // Below the rows: Play Lists itself takes the file in a new playlist.
    DropFromDesktop(list, QPoint(10, list->viewport()->height() - 10), tune);
  });
  // The drop is carried out once the desktop's event has been handled.
  script.Then([&](HWND browser) {
    EXPECT_EQ(PlaylistNames(), (std::vector<std::string>{"Alpha", "Playlist 1"}));
    QTableView* list = ListWidget(frontEnd, browser);
    ASSERT_EQ(list->model()->rowCount(), 2);
    // On Alpha's row: Alpha takes it.
    DropFromDesktop(list, list->visualRect(list->model()->index(0, 0)).center(), tune);
  });
  script.Then([&](HWND browser) {
    QTableView* list = ListWidget(frontEnd, browser);
    EXPECT_EQ(list->model()->index(0, 1).data().toString(), "2") << "Alpha holds two songs";
  });
  script.Add("doubleclick 1 \"Alpha\"\n"
             "wait window \"Exploring - Alpha\"\n"
             "rightclick 1 \"Xray\"\n"
             "wait class \"#32768\"\n", nullptr);
  // The menu is drawn as the desktop draws menus, at a size of its own.
  script.Then([&](HWND menu) {
    const std::string file = PictureFile("music_context_menu.png");
    ASSERT_TRUE(frontEnd.Screenshot(menu, file, &error)) << error;
    QImage picture(QString::fromStdString(file));
    EXPECT_GT(picture.height(), 4 * 12) << "four items";
  });
  script.Add("menu \"Copy\"\n", nullptr);
  // The copy is on the desktop's clipboard under the suite's own type; as
  // if another program of the suite had put it there, it pastes here.
  script.Then([&](HWND) {
    const QMimeData* desktop = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(desktop, nullptr);
    const QByteArray bytes = desktop->data(kPrivateMime);
    const auto block = DecodeTransferBlock(reinterpret_cast<const BYTE*>(bytes.constData()),
                                           static_cast<size_t>(bytes.size()));
    ASSERT_TRUE(block);
    EXPECT_EQ(block->paths, std::vector<std::u16string>{u"/music/Xray.mp3"});
    auto* other = new QMimeData;
    other->setData(kPrivateMime, bytes);
    QGuiApplication::clipboard()->setMimeData(other);
    QCoreApplication::processEvents();
  });
  script.Add("use \"Exploring - Alpha\"\n"
             "key Back\n"
             "wait window \"Exploring - Play Lists\"\n"
             "doubleclick 1 \"Playlist 1\"\n"
             "wait window \"Exploring - Playlist 1\"\n"
             "key ctrl+V\n", nullptr);
  script.Then([&](HWND browser) {
    QTableView* list = ListWidget(frontEnd, browser);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model()->rowCount(), 2) << "the dropped tune and the pasted song";
    ExpectPicture(frontEnd, browser, PictureFile("music_pasted.png"));
    OleSetClipboard(nullptr);
  });
  Browse("QAP Music Jukebox\\Play Lists", std::move(script));
}

}  // namespace
}  // namespace cobrell::testing
