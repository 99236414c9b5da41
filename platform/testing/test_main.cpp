// main() of every test program: before any test runs, HOME, the XDG folders,
// the hive, the cookie jar and the music database point into a scratch
// folder of this process's own, so a test can never touch the user's files
// (also when a test program is run by hand) and test programs running side
// by side never share state.
#include <gtest/gtest.h>

#include "platform/testing/scratch.h"

int main(int argc, char** argv) {
  qap::testing::ScratchDir root;
  qap::testing::UseScratchRuntimeFiles(root);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
