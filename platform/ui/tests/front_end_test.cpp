// The front-end, offscreen: windows mirrored into widgets at their size,
// a person's clicks on the widgets reaching the windows as Windows'
// notifications, changes of the windows showing in the widgets, and a list
// of a hundred thousand rows scrolled to its end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

#include <cstring>
#include <set>
#include <string>

#include "platform/testing/scratch.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/ole.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/core/window.h"
#include "platform/ui/qt/mirror.h"
#include "platform/ui/tests/ui_test_support.h"
#include "platform/ui/user32.h"

namespace {

ui::qt::FrontEnd* g_frontEnd = nullptr;

// Lets both the window system and Qt handle what waits for them.
void Settle() {
  for (int round = 0; round < 3; ++round) {
    ui::testing::Pump();
    QCoreApplication::processEvents();
  }
}

template <typename Widget>
Widget* Find(HWND window, const QString& text) {
  ui::qt::Mirror* mirror = g_frontEnd->MirrorOf(window);
  if (mirror == nullptr) return nullptr;
  for (Widget* widget : mirror->Widget()->findChildren<Widget*>()) {
    if (widget->text() == text) return widget;
  }
  return nullptr;
}

void ClickAt(QWidget* widget, QPoint point) {
  QMouseEvent press(QEvent::MouseButtonPress, point, widget->mapToGlobal(point), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, point, widget->mapToGlobal(point), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QCoreApplication::sendEvent(widget, &release);
}

std::vector<WORD> g_clicked;

INT_PTR RecordClicks(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) g_clicked.push_back(LOWORD(wParam));
  return message == WM_INITDIALOG;
}

DialogTemplate TestDialog() {
  DialogTemplate dialog;
  dialog.caption = "Conversion test";
  dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | WS_VISIBLE;
  dialog.cx = 200;
  dialog.cy = 100;
  dialog.fontFace = "MS Sans Serif";
  dialog.pointSize = 8;
  dialog.items = {
      {WC_STATIC, -1, "Convert to:", WS_VISIBLE | SS_LEFT, 0, 7, 7, 60, 8, {}},
      {WC_BUTTON, 1, "Convert", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 140, 7, 50, 14, {}},
      {WC_BUTTON, 20, "Use TMP folder", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 7, 30, 80, 10, {}},
      {WC_EDIT, 10, "abc", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 7, 50, 100, 12, {}},
      {PROGRESS_CLASSA, 12, "", WS_VISIBLE, 0, 7, 80, 180, 10, {}},
  };
  return dialog;
}

class FrontEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_frontEnd = new ui::qt::FrontEnd(true);
    std::string error;
    ASSERT_TRUE(g_frontEnd->Start(&error)) << error;
  }
};

TEST_F(FrontEndTest, ADialogIsShownAtItsTemplatesSizeWithItsTextsAndCanBePictured) {
  DialogTemplate dialog = TestDialog();
  HWND window = CreateDialogIndirectParamA(nullptr, &dialog, nullptr, RecordClicks, 0);
  ASSERT_NE(window, nullptr);
  Settle();
  ui::qt::Mirror* mirror = g_frontEnd->MirrorOf(window);
  ASSERT_NE(mirror, nullptr);
  EXPECT_EQ(mirror->Widget()->windowTitle(), "Conversion test");
  ASSERT_NE(Find<QPushButton>(window, "Convert"), nullptr);
  EXPECT_TRUE(Find<QPushButton>(window, "Convert")->isDefault());
  EXPECT_NE(Find<QCheckBox>(window, "Use TMP folder"), nullptr);
  EXPECT_NE(Find<QLabel>(window, "Convert to:"), nullptr);

  qap::testing::ScratchDir scratch;
  std::string file = scratch.File("dialog.png");
  std::string error;
  ASSERT_TRUE(g_frontEnd->Screenshot(window, file, &error)) << error;
  QImage picture(QString::fromStdString(file));
  RECT client;
  GetClientRect(window, &client);
  // 200 by 100 dialog units of MS Sans Serif 8 are 300 by 163 pixels.
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 163);
  EXPECT_EQ(picture.width(), client.right);
  EXPECT_EQ(picture.height(), client.bottom);
  std::set<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 3) {
    for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 4u) << "the picture is blank";
  DestroyWindow(window);
  Settle();
  EXPECT_EQ(g_frontEnd->MirrorOf(window), nullptr);
}

TEST_F(FrontEndTest, AClickOnTheWidgetReachesTheDialogAsButtonClickedAndChangesShow) {
  DialogTemplate dialog = TestDialog();
  HWND window = CreateDialogIndirectParamA(nullptr, &dialog, nullptr, RecordClicks, 0);
  Settle();
  g_clicked.clear();
  QPushButton* convert = Find<QPushButton>(window, "Convert");
  ASSERT_NE(convert, nullptr);
  ClickAt(convert, convert->rect().center());
  Settle();
  EXPECT_EQ(g_clicked, std::vector<WORD>{1});

  QCheckBox* check = Find<QCheckBox>(window, "Use TMP folder");
  ClickAt(check, check->rect().center());
  Settle();
  EXPECT_EQ(IsDlgButtonChecked(window, 20), BST_CHECKED);
  EXPECT_TRUE(check->isChecked());

  SetDlgItemTextA(window, 1, "Stop");
  EnableWindow(GetDlgItem(window, 20), FALSE);
  Settle();
  EXPECT_NE(Find<QPushButton>(window, "Stop"), nullptr);
  EXPECT_FALSE(check->isEnabled());
  DestroyWindow(window);
  Settle();
}

HWND MakeList(HWND parent, int rows) {
  HWND list = ui::testing::MakeControl(parent, WC_LISTVIEW, LVS_REPORT | LVS_SHOWSELALWAYS, 4026, 400, 300);
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 150;
  column.pszText = const_cast<char*>("Track Name");
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  column.pszText = const_cast<char*>("Last Checked Status");
  SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (int row = 0; row < rows; ++row) {
    std::string text = "track " + std::to_string(row);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = text.data();
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  return list;
}

TEST_F(FrontEndTest, AClickOnATableRowSelectsItThroughTheListAndNewRowsShow) {
  ui::testing::RecordingParent parent;
  HWND list = MakeList(parent.Window(), 3);
  Settle();
  auto* table = dynamic_cast<QTableView*>(g_frontEnd->MirrorOf(list)->Widget());
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->model()->rowCount(), 3);
  parent.Clear();
  QRect row = table->visualRect(table->model()->index(1, 0));
  ClickAt(table->viewport(), row.center());
  Settle();
  bool changed = false;
  for (const auto& notice : parent.Notices()) changed = changed || notice.code == LVN_ITEMCHANGED;
  EXPECT_TRUE(changed);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
  EXPECT_TRUE(table->selectionModel()->isRowSelected(1, {}));

  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = 3;
  item.pszText = const_cast<char*>("added");
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  Settle();
  ASSERT_EQ(table->model()->rowCount(), 4);
  EXPECT_EQ(table->model()->index(3, 0).data().toString(), "added");
}

TEST_F(FrontEndTest, AHundredThousandRowsScrollToTheirEnd) {
  ui::testing::RecordingParent parent;
  HWND list = MakeList(parent.Window(), 100000);
  Settle();
  auto* table = dynamic_cast<QTableView*>(g_frontEnd->MirrorOf(list)->Widget());
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->model()->rowCount(), 100000);
  table->scrollToBottom();
  QCoreApplication::processEvents();
  QModelIndex last = table->indexAt(QPoint(5, table->viewport()->height() - 3));
  ASSERT_TRUE(last.isValid());
  EXPECT_GT(last.row(), 99980);
  EXPECT_EQ(last.data().toString(), QString("track %1").arg(last.row()));
}

TEST_F(FrontEndTest, TheClipboardTravelsOnTheDesktopsAndFilesDropFromIt) {
  UINT format = RegisterClipboardFormatA("QapTestFormat");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(block), "abc", 3);
  GlobalUnlock(block);
  SetClipboardData(format, block);
  CloseClipboard();
  Settle();
  const QMimeData* desktop = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(desktop->data("application/x-qap-QapTestFormat"), QByteArray("abc"));

  QGuiApplication::clipboard()->setText("from the desktop");
  Settle();
  EXPECT_FALSE(IsClipboardFormatAvailable(format));
  ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE text = GetClipboardData(CF_TEXT);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(text)), "from the desktop");
  GlobalUnlock(text);
  CloseClipboard();

  ui::testing::RecordingParent parent;
  DragAcceptFiles(parent.Window(), TRUE);
  std::vector<std::string> dropped;
  parent.onOther = [&](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message != WM_DROPFILES) return 0;
    auto drop = reinterpret_cast<HDROP>(wParam);
    char name[512];
    for (UINT index = 0; index < DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); ++index) {
      DragQueryFileA(drop, index, name, sizeof name);
      dropped.push_back(name);
    }
    DragFinish(drop);
    return 1;
  };
  HWND list = MakeList(parent.Window(), 2);
  Settle();
  auto* table = dynamic_cast<QTableView*>(g_frontEnd->MirrorOf(list)->Widget());
  ASSERT_NE(table, nullptr);
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile("/music/a.mp3"), QUrl::fromLocalFile("/music/b c.wav")});
  QPoint at = table->visualRect(table->model()->index(1, 0)).center();
  QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(table->viewport(), &enter);
  QDropEvent drop(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(table->viewport(), &drop);
  Settle();
  EXPECT_EQ(dropped, (std::vector<std::string>{"/music/a.mp3", "/music/b c.wav"}));
}

// A window of a program's own class that lays out a page of two blocks.
class TwoBlockPage final : public ui::core::ControlState, public ui::driver::PageModel {
 public:
  void* QueryModel(const std::type_info& type) override {
    return ui::core::QueryModels<TwoBlockPage, ui::driver::PageModel>(this, type);
  }
  std::vector<ui::driver::PageBlock> Blocks() const override {
    return {{{8, 8, 292, 40}, "Play Lists", "MS Sans Serif", 14, true},
            {{8, 100, 292, 130}, "Below the list", "MS Sans Serif", 10, false}};
  }
};

// The page embeds its button as it is made, as a control host makes its
// control: the child is announced before the page.
LRESULT PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) ui::core::SetControlState(window, std::make_unique<TwoBlockPage>());
  if (message == WM_CREATE && GetParent(window) != nullptr)
    CreateWindowExA(0, WC_BUTTON, "Embedded", WS_CHILD | WS_VISIBLE, 8, 48, 200, 40, window, nullptr,
                    nullptr, nullptr);
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(FrontEndTest, APageShowsEachBlockWhereItsWindowLaidItOutBeneathWhatItEmbeds) {
  WNDCLASSA pageClass{};
  pageClass.lpfnWndProc = PageProc;
  pageClass.lpszClassName = "FrontEndTestPage";
  ASSERT_NE(RegisterClassA(&pageClass), 0);
  HWND top = CreateWindowExA(0, "FrontEndTestPage", "Page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             300, 200, nullptr, nullptr, nullptr, nullptr);
  HWND page = CreateWindowExA(0, "FrontEndTestPage", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, top,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(page, nullptr);
  Settle();
  QLabel* heading = Find<QLabel>(page, "Play Lists");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->geometry(), QRect(8, 8, 284, 32));
  EXPECT_TRUE(heading->font().bold());
  ASSERT_NE(Find<QLabel>(page, "Below the list"), nullptr);
  QWidget* button = Find<QPushButton>(page, "Embedded");
  ASSERT_NE(button, nullptr) << "a child made in its parent's WM_CREATE is shown too";
  EXPECT_EQ(heading->parentWidget(), button->parentWidget());
  const QObjectList& order = button->parentWidget()->children();
  EXPECT_LT(order.indexOf(heading), order.indexOf(button)) << "the embedded control is on top";
  DestroyWindow(top);
}

}  // namespace
