// The library's message box, answered by a person: the buttons its style
// shows, the answers they give, and a box closed from outside.
#include "drumlet/zv_message_box.h"

#include <gtest/gtest.h>

#include "drumlet/tests/dialog_test_support.h"
#include "platform/com/guid.h"
#include "platform/ui/driver.h"
#include "suite/skin/skin_controls.h"

namespace drumlet::testing {
namespace {

class MessageBoxTest : public ::testing::Test, public SkinnedDialogTest {};

TEST_F(MessageBoxTest, AYesNoBoxShowsYesAndNoAndAnswersWithTheButtonClicked) {
  const char* asking =
      "wait window \"Message\"\n"
      "expect text 4048 \"Cancel the burn?\"\n"
      "expect shown \"Yes\"\n"
      "expect shown \"No\"\n"
      "expect hidden 4044\n";
  auto no = Person(std::string(asking) + "click \"No\"\n");
  EXPECT_EQ(CZVMessageBox(nullptr, "").Show("Cancel the burn?", CZVMessageBox::kYesNo), IDNO);
  EXPECT_TRUE(no->Finished() && !no->Failed()) << no->Failure();

  auto yes = Person(std::string(asking) + "click 4045\n");
  EXPECT_EQ(CZVMessageBox(nullptr, "").Show("Cancel the burn?", CZVMessageBox::kYesNo), IDYES);
  EXPECT_TRUE(yes->Finished() && !yes->Failed()) << yes->Failure();

  // Enter is no answer where there is no "OK"; Esc closes without a Yes.
  auto keys = Person(std::string(asking) + "key Enter\nexpect shown \"Yes\"\nkey Esc\n");
  EXPECT_EQ(CZVMessageBox(nullptr, "").Show("Cancel the burn?", CZVMessageBox::kYesNo), IDCANCEL);
  EXPECT_TRUE(keys->Finished() && !keys->Failed()) << keys->Failure();
}

TEST_F(MessageBoxTest, AnyOtherStyleShowsOnlyOkMadeOfTheSkinControlsFromTheRegistry) {
  ui::script::Script script;
  std::string error;
  ASSERT_TRUE(script.Add("wait window \"Message\"\n"
                         "expect hidden 4045\n"
                         "expect hidden 4046\n"
                         "expect shown \"OK\"\n",
                         &error))
      << error;
  std::string classId;
  script.Then([&](HWND box) {
    if (auto* host = ui::driver::Model<ui::driver::HostedControlModel>(GetDlgItem(box, 4044))) {
      classId = host->ClassId();
    }
  });
  ASSERT_TRUE(script.Add("click \"OK\"\n", &error)) << error;
  auto person = Person(std::move(script));
  EXPECT_EQ(CZVMessageBox(nullptr, "").Show("The disc is full.", MB_ICONERROR), IDOK);
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
  EXPECT_EQ(classId, GuidToString(CLSID_SkinnedButton));
}

TEST_F(MessageBoxTest, ABoxClosedFromOutsideGivesNoYes) {
  ui::script::Script script;
  script.When("Message", [](HWND) { CloseZVMessageBoxes(); });
  auto person = Person(std::move(script));
  EXPECT_EQ(CZVMessageBox(nullptr, "").Show("Cancel the burn?", CZVMessageBox::kYesNo), IDCANCEL);
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
}

}  // namespace
}  // namespace drumlet::testing
