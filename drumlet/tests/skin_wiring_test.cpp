// A dialog's skinned controls as the library wires them: the template's
// stored properties, a button that only clicks while enabled, its click
// recognised by control id, and the label beside it in its part of the skin.
#include "drumlet/skin_wiring.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "drumlet/tests/dialog_test_support.h"
#include "platform/com/guid.h"
#include "platform/ui/tests/ui_test_support.h"
#include "platform/ui/window_look.h"
#include "suite/skin/skin_controls.h"

namespace drumlet::testing {
namespace {

constexpr int kContainer = 4021;
constexpr int kBurn = 4030;
constexpr int kLabel = 4031;

std::vector<int> g_clicks;

INT_PTR RecordClicks(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (int id = SkinnedClickOf(message, wParam, lParam)) {
    g_clicks.push_back(id);
    return TRUE;
  }
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

DialogTemplate Burning() {
  const std::string button = GuidToString(CLSID_SkinnedButton);
  return {0,
          "Burning",
          DS_SETFONT | WS_POPUP | WS_CAPTION | WS_VISIBLE,
          0, 0, 0, 160, 60,
          "MS Sans Serif",
          8,
          {{GuidToString(CLSID_SkinContainer), kContainer, "", WS_CHILD, 0, 0, 0, 1, 1, {}},
           {GuidToString(CLSID_SkinnedLabel), kLabel, "", WS_CHILD | WS_VISIBLE, 0, 7, 7, 80, 10,
            {{"Caption", "Selected space:"}, {"Font", "MS Sans Serif"}}},
           {button, kBurn, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 7, 30, 50, 14,
            {{"Caption", "Burn"}, {"Enabled", "False"}, {"Font", "MS Sans Serif"}}}}};
}

class SkinWiringTest : public ::testing::Test, public SkinnedDialogTest {
 protected:
  void SetUp() override { g_clicks.clear(); }
};

TEST_F(SkinWiringTest, AButtonClicksOnlyWhileEnabledAndItsClickNamesItsControl) {
  DialogTemplate dialog = Burning();
  HWND window = CreateDialogIndirectParamA(nullptr, &dialog, nullptr, RecordClicks, 0);
  ASSERT_NE(window, nullptr) << GetLastError();
  const std::string ember = std::string(std::getenv("QAP_BIN_DIR")) + "/skins/Ember/Drumlet.skn";
  LoadSkin(window, kContainer, ember.c_str(), {kBurn, kLabel});
  auto* host = ui::driver::Model<ui::driver::HostedControlModel>(GetDlgItem(window, kBurn));
  ASSERT_NE(host, nullptr);
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(host->Properties(),
            (Pairs{{"Caption", "Burn"}, {"Enabled", "False"}, {"Font", "MS Sans Serif"}}));
  std::vector<HWND> label = ui::driver::Children(GetDlgItem(window, kLabel));
  ASSERT_EQ(label.size(), 1u);
  ui::driver::WindowInfo info;
  ASSERT_TRUE(ui::driver::GetWindowInfo(label[0], &info));
  EXPECT_EQ(info.className, "Static");
  EXPECT_EQ(info.text, "Selected space:");
  EXPECT_EQ(info.fontFace, "MS Sans Serif") << "the template's font";
  ui::WindowLook look;
  ASSERT_TRUE(ui::GetWindowLook(label[0], &look)) << "the label's part of the skin";
  EXPECT_EQ(look.textColor, RGB(0xA8, 0x40, 0x1A));
  EXPECT_EQ(look.fontFace, "DejaVu Serif");
  EXPECT_EQ(look.face.width, 0);

  ui::driver::Click(GetDlgItem(window, kBurn));
  ui::testing::Pump();
  EXPECT_TRUE(g_clicks.empty()) << "a disabled button sends no click";

  EnableSkinnedButton(window, kBurn, true);
  std::vector<HWND> inside = ui::driver::Children(GetDlgItem(window, kBurn));
  ASSERT_EQ(inside.size(), 1u);
  ui::driver::Click(inside[0]);  // where a person's click on the button lands
  ui::driver::Click(GetDlgItem(window, kLabel));
  ui::testing::Pump();
  EXPECT_EQ(g_clicks, std::vector<int>{kBurn});

  EnableSkinnedButton(window, kBurn, false);
  EXPECT_FALSE(IsWindowEnabled(inside[0]));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, kBurn)));
  DestroyWindow(window);
}

}  // namespace
}  // namespace drumlet::testing
