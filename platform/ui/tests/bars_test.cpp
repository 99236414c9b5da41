// The status bar's parts, texts and place along its parent's bottom, and
// the progress bar's range, position and wrapping step.
#include <gtest/gtest.h>

#include "platform/ui/progress_status.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::MakeControl;
using ui::testing::RecordingParent;

TEST(StatusBar, PartsKeepTheirTextsAndTheBarKeepsToTheBottomOfItsParent) {
  RecordingParent parent;
  HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "Ready", parent.Window(), 7);
  ASSERT_NE(bar, nullptr);
  RECT area{};
  RECT placed{};
  GetClientRect(parent.Window(), &area);
  GetWindowRect(bar, &placed);
  MapWindowPoints(nullptr, parent.Window(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.bottom, area.bottom);
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.right, area.right);

  // As the shell view splits the bar: 150 pixels, then the rest.
  int parts[] = {150, -1};
  EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts)));
  EXPECT_TRUE(SendMessageA(bar, SB_SETTEXT, 1, reinterpret_cast<LPARAM>("QAP Music Jukebox")));
  EXPECT_FALSE(SendMessageA(bar, SB_SETTEXT, 2, reinterpret_cast<LPARAM>("no such part")));
  int read[4] = {};
  EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(read)), 2);
  EXPECT_EQ(read[0], 150);
  EXPECT_EQ(read[1], -1);
  char text[64] = {};
  EXPECT_EQ(LOWORD(SendMessageA(bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text))), 5);
  EXPECT_STREQ(text, "Ready");
  EXPECT_EQ(LOWORD(SendMessageA(bar, SB_GETTEXTLENGTH, 1, 0)), 17);
  RECT second{};
  ASSERT_TRUE(SendMessageA(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&second)));
  EXPECT_EQ(second.left, 152);
  EXPECT_EQ(second.right, area.right);
  auto* model = ui::driver::Model<ui::driver::StatusBarModel>(bar);
  ASSERT_NE(model, nullptr);
  ASSERT_EQ(model->Parts().size(), 2u);
  EXPECT_EQ(model->Parts()[1].text, "QAP Music Jukebox");

  // The parent passes its WM_SIZE on; the bar takes its place again.
  MoveWindow(parent.Window(), 0, 0, 800, 300, TRUE);
  SendMessageA(bar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 300));
  GetWindowRect(bar, &placed);
  MapWindowPoints(nullptr, parent.Window(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.bottom, 300);
  EXPECT_EQ(placed.right, 800);

  SendMessageA(bar, SB_SIMPLE, TRUE, 0);
  SendMessageA(bar, SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>("3 object(s)"));
  EXPECT_EQ(parent.Codes(), (std::vector<UINT>{SBN_SIMPLEMODECHANGE}));
  ASSERT_EQ(model->Parts().size(), 1u);
  EXPECT_EQ(model->Parts()[0].text, "3 object(s)");
}

TEST(ProgressBar, ThePositionStaysInTheRangeAndAStepPastTheEndWraps) {
  RecordingParent parent;
  HWND bar = MakeControl(parent.Window(), PROGRESS_CLASSA, 0, 4046, 200, 16);
  EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 200)), MAKELONG(0, 100));
  EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 250, 0), 0);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 200);
  EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 60, 0), 10);
  SendMessageA(bar, PBM_SETPOS, 180, 0);
  EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 180);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(SendMessageA(bar, PBM_DELTAPOS, 5, 0), 40);
  PBRANGE range{};
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
  EXPECT_EQ(range.iHigh, 200);
  auto* model = ui::driver::Model<ui::driver::ProgressModel>(bar);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->Position(), 45);
  EXPECT_EQ(model->Maximum(), 200);
}

}  // namespace
