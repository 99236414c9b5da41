// Module paths and the headless message box.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/message_box.h"
#include "platform/base/module_path.h"
#include "platform/base/paths.h"

namespace {

TEST(ModulePath, NamesTheRunningProgramAndTheLibraryHoldingAFunction) {
  std::string exe = ExecutablePath();
  EXPECT_EQ(std::filesystem::path(exe).filename(), "base_tests");
  std::string library = ModulePathOf(reinterpret_cast<const void*>(&SplitPath));
  EXPECT_EQ(std::filesystem::path(library).filename(), "libqap_base.so");
  EXPECT_TRUE(std::filesystem::path(library).is_absolute());
  EXPECT_EQ(ModulePathOf(nullptr), "");
}

TEST(MessageBox, WithoutAHookItAnswersWithTheDefaultButton) {
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
}

TEST(MessageBox, AHookSeesTheBoxAndAnswersInstead) {
  MessageBoxRequest seen{};
  SetMessageBoxHook([&](const MessageBoxRequest& request) {
    seen = request;
    return IDNO;
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Overwrite?", "zelvar QAP", MB_YESNO), IDNO);
  EXPECT_EQ(seen.text, "Overwrite?");
  EXPECT_EQ(seen.caption, "zelvar QAP");
  EXPECT_EQ(seen.defaultAnswer, IDYES);
  SetMessageBoxHook(nullptr);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "x", nullptr, MB_YESNO), IDYES);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Error] x\n");
}

}  // namespace
