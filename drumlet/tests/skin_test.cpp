// Skins as the message box takes them: the shipped skins give its buttons
// their look; a skin that is missing, unreadable or damaged leaves the
// desktop's look, and the box answers exactly as before.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "drumlet/tests/dialog_test_support.h"
#include "drumlet/zv_message_box.h"
#include "platform/ui/driver.h"
#include "platform/ui/window_look.h"

namespace drumlet::testing {
namespace {

constexpr int kYes = 4045;

class SkinTest : public ::testing::Test, public SkinnedDialogTest {
 protected:
  // Asks a yes/no question with the skin at path; the person answers Yes.
  // The Yes button's look as it was shown, if it had one.
  std::optional<ui::WindowLook> AskWith(const std::string& path) {
    SCOPED_TRACE(path);
    std::optional<ui::WindowLook> shown;
    ui::script::Script script;
    script.When("Message", [&](HWND box) {
      std::vector<HWND> inside = ui::driver::Children(GetDlgItem(box, kYes));
      ui::WindowLook look;
      if (inside.size() == 1 && ui::GetWindowLook(inside[0], &look)) shown = look;
    });
    std::string error;
    EXPECT_TRUE(script.Add("expect shown \"Yes\"\nexpect hidden 4044\nclick \"Yes\"\n", &error));
    auto person = Person(std::move(script));
    EXPECT_EQ(CZVMessageBox(nullptr, path.c_str()).Show("Erase the disc?", CZVMessageBox::kYesNo),
              IDYES);
    EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
    return shown;
  }

  std::string Skin(const std::string& name, const std::string& text) {
    return m_skins.Write(name, text);
  }

  qap::testing::ScratchDir m_skins;
};

TEST_F(SkinTest, TheShippedSkinsGiveTheButtonsTheirFacesColoursAndFonts) {
  const std::string bin = std::getenv("QAP_BIN_DIR");
  std::optional<ui::WindowLook> standard = AskWith(bin + "/Drumlet.skn");
  ASSERT_TRUE(standard.has_value());
  EXPECT_GT(standard->face.width, 0);
  EXPECT_GT(standard->pressedFace.width, 0);
  EXPECT_EQ(standard->textColor, RGB(0x1B, 0x2A, 0x40));

  std::optional<ui::WindowLook> ember = AskWith(bin + "/skins/Ember/Drumlet.skn");
  ASSERT_TRUE(ember.has_value());
  EXPECT_EQ(ember->textColor, RGB(0xFF, 0xF6, 0xEA));
  EXPECT_EQ(ember->fontFace, "DejaVu Sans");
  EXPECT_TRUE(ember->boldFont);
  ASSERT_GT(ember->face.width, 0);
  EXPECT_NE(ember->face.data, standard->face.data);
}

TEST_F(SkinTest, AMissingUnreadableOrDamagedSkinLeavesTheDesktopsLookAndTheBoxTheSame) {
  EXPECT_FALSE(AskWith("").has_value());
  EXPECT_FALSE(AskWith(m_skins.File("missing/Drumlet.skn")).has_value());
  mkdir(m_skins.File("folder.skn").c_str(), 0755);
  EXPECT_FALSE(AskWith(m_skins.File("folder.skn")).has_value()) << "a folder cannot be read";
  EXPECT_FALSE(AskWith(Skin("empty.skn", "")).has_value());
  EXPECT_FALSE(AskWith(Skin("garbage.skn", std::string("\x89PNG\0\x01\xff[Skin]\n", 13)))
                   .has_value());
  EXPECT_FALSE(AskWith(Skin("headless.skn", "[Button]\nText=#FF0000\n[Skin]\n")).has_value())
      << "settings before the [Skin] heading";
  EXPECT_FALSE(AskWith(Skin("huge.skn", "[Skin]\n" + std::string(100000, ';'))).has_value());

  // A skin whose every setting is unusable is a skin of the desktop's look.
  const std::string picture =
      qap::testing::ReadFile(std::string(std::getenv("QAP_BIN_DIR")) + "/skin/button.png");
  ASSERT_GT(picture.size(), 100u);
  m_skins.Write("broken.png", picture.substr(0, 60));
  m_skins.Write("big.png", picture + std::string(2 * 1024 * 1024, '\0'));
  std::optional<ui::WindowLook> unusable = AskWith(Skin(
      "unusable.skn",
      "[Skin]\n[Button]\nFace=broken.png\nPressed=big.png\nText=#GG0000\nBackground=red\n"
      "Font=DejaVu Sans, 99999999999999999999\nFont=,8\n[Button\nFace\n=\n"));
  ASSERT_TRUE(unusable.has_value());
  EXPECT_EQ(unusable->face.width, 0);
  EXPECT_EQ(unusable->pressedFace.width, 0);
  EXPECT_EQ(unusable->textColor, ui::kDefaultColor);
  EXPECT_EQ(unusable->backColor, ui::kDefaultColor);
  EXPECT_TRUE(unusable->fontFace.empty());

  // What can be used is: a picture beside the skin, not one outside it.
  m_skins.Write("face.png", picture);
  std::optional<ui::WindowLook> partial = AskWith(Skin(
      "partial.skn", "[SKIN]\n[button]\n face = face.png \nPressed=/etc/hostname\ntext=#00ff80\n"));
  ASSERT_TRUE(partial.has_value());
  EXPECT_EQ(partial->face.width, 48);
  EXPECT_EQ(partial->pressedFace.width, 0);
  EXPECT_EQ(partial->textColor, RGB(0x00, 0xFF, 0x80));
  mkdir(m_skins.File("inner").c_str(), 0755);
  std::optional<ui::WindowLook> climbing =
      AskWith(Skin("inner/Drumlet.skn", "[Skin]\n[Button]\nFace=../face.png\n"));
  ASSERT_TRUE(climbing.has_value());
  EXPECT_EQ(climbing->face.width, 0) << "a picture above the skin's folder";
}

}  // namespace
}  // namespace drumlet::testing
