// What the library's dialog tests share: the skin controls registered in
// the test's own hive, and a person at the dialogs playing a window script
// on the test's thread.
#pragma once

#include <memory>
#include <string>

#include "platform/testing/scratch.h"
#include "platform/ui/script/script.h"

namespace drumlet::testing {

// A scratch hive with the skin controls registered in it, as set-up
// registers them for a user.
class SkinnedDialogTest {
 public:
  SkinnedDialogTest();

 private:
  qap::testing::ScratchHive m_hive;
};

// Starts the steps (script text) on the calling thread; they run in the
// thread's turns while a dialog waits.
std::unique_ptr<ui::script::Runner> Person(const std::string& steps);
std::unique_ptr<ui::script::Runner> Person(ui::script::Script script);

}  // namespace drumlet::testing
