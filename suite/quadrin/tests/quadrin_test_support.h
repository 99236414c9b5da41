// What the transfer layer's tests share: a scratch hive with the suite's
// modules registered, the layer's objects in owners, a log of the
// notifications an object sends, the conversion dialog's engine set-up, and
// looks at files through FFmpeg and TagLib.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <source_location>
#include <string>
#include <thread>
#include <vector>

#include "converters/tests/converter_test_support.h"
#include "drumlet/transfer_layer.h"
#include "platform/testing/scratch.h"

namespace quadrin_test {

using converter_test::CallerTrace;

// The suite's modules registered in a hive of the test's own.
class RegisteredModules {
 public:
  explicit RegisteredModules(std::source_location caller = std::source_location::current());

 private:
  qap::testing::ScratchHive m_hive;
};

using Object = CommunicationPtr;
Object Make(const std::string& shortId, std::source_location caller = std::source_location::current());

// Every notification an object sends, with a copy of its data.
class NotificationLog {
 public:
  struct Event {
    DWORD value;
    DWORD code;
    std::vector<BYTE> data;
    std::thread::id thread;
  };

  static DWORD Callback(DWORD value, DWORD code, void* data, void* context);
  // Waits (bounded) until count notifications of the code came.
  bool WaitFor(DWORD code, size_t count = 1);
  std::vector<Event> Events();
  std::vector<Event> Events(DWORD code);
  size_t Count(DWORD code);
  // Whether a notification 108 said exactly this.
  bool Said(const std::string& text);

 private:
  std::mutex m_lock;
  std::vector<Event> m_events;
};

TrackEntry EntryFor(const std::string& path, DWORD position = 0,
                    const std::string& readerId = "");

// An MP3 file of a 440 Hz stereo tone made by the ffmpeg command.
std::string MakeMp3(const qap::testing::ScratchDir& dir, const std::string& name, double seconds,
                    std::source_location caller = std::source_location::current());

// The generic tags as TagLib reads them.
struct FileTags {
  bool ok = false;
  std::string title;
  std::string artist;
  std::string album;
};
FileTags ReadFileTags(const std::string& path);

// The conversion dialog's engine set-up and run, in its order (writer 4
// before 9), through the layer's exports.
struct ConversionRun {
  Object reader;
  Object writer;
  NotificationLog log;
  PcmFormat format{};
  DWORD lengthMs = 0;
  std::int32_t tagsResult = 0;
};
void StartConversion(ConversionRun& run, const std::string& source, const std::string& readerId,
                     const std::string& target, const std::string& writerId, DWORD kbps,
                     const TagBlock* tags,
                     std::source_location caller = std::source_location::current());
// Starts, waits for the end notification, ends both objects; the end value.
DWORD Convert(const std::string& source, const std::string& readerId, const std::string& target,
              const std::string& writerId, DWORD kbps = 128, const TagBlock* tags = nullptr,
              std::source_location caller = std::source_location::current());

TQuadrinInitStruct Options(DWORD kbps);

}  // namespace quadrin_test
