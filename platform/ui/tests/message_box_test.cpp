// The message box: a dialog a person answers, and, with nobody in the
// process to answer it, its text on standard error and its default answer.
#include <gtest/gtest.h>

#include "platform/ui/user32.h"

namespace {

TEST(MessageBox, WithNobodyToAnswerItTellsStandardErrorAndTakesTheDefault) {
  struct Case {
    UINT type;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL | MB_DEFBUTTON3, IDRETRY},  // no third button: the first
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Text", "Caption", c.type), c.answer);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Caption] Text\n");
  }
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "x", nullptr, MB_YESNO), IDYES);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Error] x\n");
}

}  // namespace
