// Module paths.
#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
