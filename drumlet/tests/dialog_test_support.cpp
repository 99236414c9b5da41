// The dialog tests' hive and their person.
#include "drumlet/tests/dialog_test_support.h"

#include <gtest/gtest.h>

#include "platform/com/class_object.h"

namespace drumlet::testing {

SkinnedDialogTest::SkinnedDialogTest() {
  // The bare file name is found beside the test program.
  EXPECT_EQ(CallServerRegistration("libSkinControls.so", true), S_OK);
}

std::unique_ptr<ui::script::Runner> Person(const std::string& steps) {
  ui::script::Script script;
  std::string error;
  EXPECT_TRUE(ui::script::Parse(steps, &script, &error)) << error;
  return Person(std::move(script));
}

std::unique_ptr<ui::script::Runner> Person(ui::script::Script script) {
  auto runner = std::make_unique<ui::script::Runner>(std::move(script), ui::script::Services{});
  runner->Start();
  return runner;
}

}  // namespace drumlet::testing
