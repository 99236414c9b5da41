// The dialog tests' hive and their person.
#include "drumlet/tests/dialog_test_support.h"

#include <gtest/gtest.h>

#include "platform/com/class_object.h"

namespace drumlet::testing {

SkinnedDialogTest::SkinnedDialogTest() {
  // The bare file name is found beside the test program.
  EXPECT_EQ(CallServerRegistration("libSkinControls.so", true), S_OK);
}

void Add(ui::script::Script& script, const std::string& steps) {
  std::string error;
  EXPECT_TRUE(script.Add(steps, &error)) << error;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
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
