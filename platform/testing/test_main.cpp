// main() of every test program: before any test runs, HOME, the XDG folders,
// the hive, the cookie jar and the music database point into a scratch
// folder of this process's own, so a test can never touch the user's files
// (also when a test program is run by hand) and test programs running side
// by side never share state. QAP_BIN_DIR names the folder of the built
// programs and modules.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/base/module_path.h"
#include "platform/testing/scratch.h"

int main(int argc, char** argv) {
  qap::testing::ScratchDir root;
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                           "XDG_RUNTIME_DIR"}) {
    std::string folder = root.File(name);
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0700);
    setenv(name, folder.c_str(), 1);
  }
  setenv("QAP_REGISTRY", root.File("registry.db").c_str(), 1);
  setenv("QAP_COOKIE_JAR", root.File("cookies.txt").c_str(), 1);
  setenv("QAP_MUSIC_DB", root.File("music.db").c_str(), 1);
  setenv("QAP_BIN_DIR", std::filesystem::path(ExecutablePath()).parent_path().c_str(), 1);
  unsetenv("QAP_ACP");
  // Windows stay headless, whatever display the tests were started on.
  setenv("QAP_UI", "headless", 1);
  // Nothing a test does starts a program for a person: documents and pages
  // go to a program that does nothing, unless a test points these at a
  // recorder of its own.
  setenv("QAP_OPEN", "true", 1);
  setenv("BROWSER", "true", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
