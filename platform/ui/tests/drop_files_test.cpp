// Files dropped from outside: onto a drop target as CF_HDROP, onto a window
// that accepts files as WM_DROPFILES, an empty list refused, and blocks
// that lie about themselves read only as far as they hold.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "platform/ui/tests/ole_test_support.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::DragLog;
using ui::testing::RecordingDropTarget;
using ui::testing::RecordingParent;

const std::vector<std::string> kFiles = {"/music/Intro.mp3", "/music/Zwölf Lieder.wma"};

std::vector<std::string> NamesIn(HDROP drop) {
  std::vector<std::string> names;
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string name(DragQueryFileA(drop, i, nullptr, 0), '\0');
    EXPECT_EQ(DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size() + 1)),
              name.size());
    names.push_back(name);
  }
  return names;
}

HDROP BlockOf(const std::vector<BYTE>& bytes) {
  return reinterpret_cast<HDROP>(ui::ole::GlobalFromBytes(bytes.data(), bytes.size()));
}

TEST(DropFiles, FilesDroppedOnADropTargetArriveAsAFileListWithTheKeysAndThePoint) {
  RecordingParent window;
  HWND list = ui::testing::MakeRowList(window.Window(), 5, 20, 30, 200, 100);
  DragLog log;
  std::vector<std::string> dropped;
  POINT droppedAt{};
  auto onDrop = [&](IDataObject* data) {
    FORMATETC wanted = ui::ole::HGlobalFormat(CF_HDROP);
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&wanted, &medium), S_OK);
    auto drop = reinterpret_cast<HDROP>(medium.hGlobal);
    dropped = NamesIn(drop);
    EXPECT_TRUE(DragQueryPoint(drop, &droppedAt));
    ReleaseStgMedium(&medium);
  };
  ASSERT_EQ(
      RegisterDragDrop(window.Window(), RecordingDropTarget::Make(
                                            &log, [](DWORD) { return DROPEFFECT_COPY; }, onDrop)
                                            .Get()),
      S_OK);

  ui::driver::DropFiles(list, kFiles, 2, nullptr, MK_CONTROL);
  ui::testing::Pump();
  // Row 2 of the list lies at (10, 40) in it, and the list at (20, 30).
  const std::string at = "at=30,70";
  EXPECT_EQ(log, (DragLog{"enter keys=9 " + at + " allowed=7 -> 1",
                          "over keys=9 " + at + " allowed=7 -> 1",
                          "drop keys=8 " + at + " allowed=7 -> 1"}));
  EXPECT_EQ(dropped, kFiles);
  EXPECT_EQ(droppedAt.x, 30);
  EXPECT_EQ(droppedAt.y, 70);

  log.clear();
  ui::driver::DropFiles(list, {}, 2, nullptr, 0);
  ui::driver::DropFiles(list, {"", ""}, 2, nullptr, 0);
  ui::testing::Pump();
  EXPECT_TRUE(log.empty()) << "an empty list is no drop";
  RevokeDragDrop(window.Window());
}

TEST(DropFiles, AWindowThatAcceptsFilesGetsWmDropFilesAlsoThroughItsChildren) {
  RecordingParent window;
  HWND list = ui::testing::MakeRowList(window.Window(), 5, 20, 30, 200, 100);
  std::vector<HDROP> drops;
  window.onOther = [&](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message == WM_DROPFILES) drops.push_back(reinterpret_cast<HDROP>(wParam));
    return 0;
  };
  ui::driver::DropFiles(list, kFiles);
  ui::testing::Pump();
  EXPECT_TRUE(drops.empty()) << "nobody accepts files yet";

  DragAcceptFiles(window.Window(), TRUE);
  EXPECT_TRUE(GetWindowLongPtrA(window.Window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  ui::driver::DropFiles(list, kFiles);
  ui::driver::DropFiles(list, {});
  ui::testing::Pump();
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(NamesIn(drops[0]), kFiles);
  char cut[8];
  EXPECT_EQ(DragQueryFileA(drops[0], 0, cut, sizeof cut), 7u);
  EXPECT_STREQ(cut, "/music/");
  EXPECT_EQ(DragQueryFileA(drops[0], 2, cut, sizeof cut), 0u);
  POINT point{};
  EXPECT_TRUE(DragQueryPoint(drops[0], &point));
  // The middle of the list, in the window's client coordinates.
  EXPECT_EQ(point.x, 120);
  EXPECT_EQ(point.y, 80);
  DragFinish(drops[0]);
  EXPECT_EQ(GlobalSize(drops[0]), 0u);
  EXPECT_EQ(DragQueryFileA(drops[0], 0xFFFFFFFF, nullptr, 0), 0u);
}

TEST(DropFiles, BlocksThatLieAboutThemselvesAreReadOnlyAsFarAsTheyHold) {
  const POINT point{5, 6};
  std::vector<BYTE> ansi = ui::ole::DropFilesBlock({"a.mp3", "b.wav"}, point, false);
  HDROP whole = BlockOf(ansi);
  EXPECT_EQ(NamesIn(whole), (std::vector<std::string>{"a.mp3", "b.wav"}));

  // The last name loses its terminator and the list its end.
  std::vector<BYTE> cut(ansi.begin(), ansi.end() - 3);
  HDROP unterminated = BlockOf(cut);
  EXPECT_EQ(NamesIn(unterminated), std::vector<std::string>{"a.mp3"});

  // The names would start past the end of the block.
  std::vector<BYTE> beyond = ansi;
  DWORD offset = static_cast<DWORD>(beyond.size()) + 100;
  std::memcpy(beyond.data(), &offset, sizeof offset);
  HDROP pastTheEnd = BlockOf(beyond);
  EXPECT_EQ(DragQueryFileA(pastTheEnd, 0xFFFFFFFF, nullptr, 0), 0u);
  POINT read{};
  EXPECT_TRUE(DragQueryPoint(pastTheEnd, &read)) << "the header itself is sound";
  EXPECT_FALSE(DragQueryPoint(pastTheEnd, nullptr));

  // Wide names with an odd byte left over, and a point off the client area.
  std::vector<BYTE> wide = ui::ole::DropFilesBlock({"c.mp3"}, point, true);
  wide.resize(wide.size() - 3);
  BOOL nonClient = TRUE;
  std::memcpy(wide.data() + offsetof(DROPFILES, fNC), &nonClient, sizeof nonClient);
  HDROP oddWide = BlockOf(wide);
  EXPECT_EQ(NamesIn(oddWide), std::vector<std::string>{});
  read = POINT{};
  EXPECT_FALSE(DragQueryPoint(oddWide, &read));
  EXPECT_EQ(read.x, 5);

  HDROP tooSmall = BlockOf(std::vector<BYTE>(ansi.begin(), ansi.begin() + 12));
  EXPECT_EQ(DragQueryFileA(tooSmall, 0xFFFFFFFF, nullptr, 0), 0u);
  EXPECT_FALSE(DragQueryPoint(tooSmall, &read));
  for (HDROP drop : {whole, unterminated, pastTheEnd, oddWide, tooSmall}) DragFinish(drop);
  char name[8] = "x";
  EXPECT_EQ(DragQueryFileA(whole, 0, name, sizeof name), 0u) << "a freed block reads as nothing";
  EXPECT_STREQ(name, "x");
}

}  // namespace
