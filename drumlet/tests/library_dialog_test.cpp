#include "drumlet/tests/library_dialog_test.h"

#include <cstdlib>
#include <filesystem>

#include "converters/tests/converter_test_support.h"
#include "drumlet/drumlet.h"
#include "options/options.h"
#include "suite/quadrin/module_admin.h"

namespace drumlet::testing {

void LibraryDialogTest::SetUp() {
  char error[512] = "";
  ASSERT_EQ(RegisterBuiltinModules(error, sizeof error), kQuadrinOk) << error;
  ASSERT_TRUE(LoadOptions());
  FreeTrackQueue();
}

void LibraryDialogTest::TearDown() {
  FreeTrackQueue();
  SetSkinPath((std::string(std::getenv("QAP_BIN_DIR")) + "/Drumlet.skn").c_str());
}

void LibraryDialogTest::Queue(const std::string& path) {
  ASSERT_EQ(AddNewTrack(std::filesystem::path(path).stem().c_str(), path.c_str(), ""), 1u) << path;
}

std::string LibraryDialogTest::Tone(const std::string& name, double seconds, const WavFormat& format) {
  return converter_test::MakeToneWav(m_music, name, format, seconds);
}

}  // namespace drumlet::testing
