// The fixture of the tests that open the library's dialogs over the real
// transfer layer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "converters/wav_file.h"
#include "drumlet/tests/dialog_test_support.h"
#include "platform/testing/scratch.h"

namespace drumlet::testing {

// The hive of SkinnedDialogTest with the layer's built-in modules in it, the
// recording options loaded, an empty track queue and a temporary folder of
// the test's own; afterwards the queue is emptied again and the shipped skin
// taken back, whatever the test left.
class LibraryDialogTest : public ::testing::Test, public SkinnedDialogTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Queues the file under its name without the extension.
  void Queue(const std::string& path);
  // A tone of seconds in the music folder.
  std::string Tone(const std::string& name, double seconds, const WavFormat& format = {44100, 2, 16});

  qap::testing::ScratchDir m_music;
  qap::testing::ScratchDir m_temp;
  TemporaryFolder m_tmpdir{m_temp.Path()};
};

}  // namespace drumlet::testing
