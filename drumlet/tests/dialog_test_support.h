// What the library's dialog tests share: the skin controls registered in
// the test's own hive, a temporary folder of the test's own, and a person at
// the dialogs playing a window script on the test's thread.
#pragma once

#include <cstdlib>
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

// The temporary folder the layer hands the dialogs, for one test.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& folder) {
    if (const char* previous = std::getenv("TMPDIR")) m_previous = previous;
    setenv("TMPDIR", folder.c_str(), 1);
  }
  ~TemporaryFolder() {
    if (m_previous.empty()) {
      unsetenv("TMPDIR");
    } else {
      setenv("TMPDIR", m_previous.c_str(), 1);
    }
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

 private:
  std::string m_previous;
};

// Appends the steps (script text) to script; a bad line fails the test.
void Add(ui::script::Script& script, const std::string& steps);
// text as a quoted text of a script line.
std::string Quoted(const std::string& text);

// Starts the steps (script text) on the calling thread; they run in the
// thread's turns while a dialog waits.
std::unique_ptr<ui::script::Runner> Person(const std::string& steps);
std::unique_ptr<ui::script::Runner> Person(ui::script::Script script);

}  // namespace drumlet::testing
