// The rig's set-up and its steps.
#include "suite/quadrin/tests/recorder_rig.h"

#include <filesystem>

#include "suite/quadrin/module_admin.h"

namespace quadrin_test {

RecorderRig::RecorderRig()
    : m_image(m_dir.File("disc/image.cdi")), m_player(m_dir.File("player")), m_temp(m_dir.File("temp")) {
  std::filesystem::create_directories(m_dir.File("disc"));
  std::filesystem::create_directories(m_player);
  std::filesystem::create_directories(m_temp);
}

RecorderRig::~RecorderRig() {
  m_recorder.reset();
  if (m_device) m_device->Command(kCmdCloseDevice, reinterpret_cast<void*>(1));
}

void RecorderRig::Open(const std::string& shortId, DWORD index, const char* image,
                       std::source_location caller) {
  CallerTrace trace(caller);
  m_device = Make(shortId);
  ASSERT_TRUE(m_device);
  OpenParams params{};
  params.deviceIndex = index;
  params.imagePath = image;
  params.init = Options(128);
  std::snprintf(params.init.tempFolder, sizeof params.init.tempFolder, "%s", m_temp.c_str());
  ASSERT_EQ(m_device->Command(kCmdSetOptions, &params.init), kQuadrinOk);
  ASSERT_EQ(m_device->Command(kCmdOpenDevice, &params), kQuadrinOk);
  m_recorder = Make("QuadrinRecorder");
  ASSERT_TRUE(m_recorder);
  m_recorder->SetNotifyCallback(&NotificationLog::Callback, &m_log);
  ASSERT_EQ(m_recorder->Command(kCmdConnect, m_device.get()), kQuadrinOk);
}

void RecorderRig::OpenDisc(std::source_location caller) {
  Open("QuadrinCDWriter", 0, m_image.c_str(), caller);
}

void RecorderRig::OpenPlayer(DWORD capacityMb, std::source_location caller) {
  CallerTrace trace(caller);
  char error[256] = "";
  ASSERT_EQ(AddPortablePlayer("Test player", m_player.c_str(), capacityMb, error, sizeof error),
            kQuadrinOk)
      << error;
  Open("QuadrinPortable", 0, nullptr, caller);
}

std::int32_t RecorderRig::Queue(const std::string& path, DWORD position) {
  TrackEntry entry = EntryFor(path, position);
  return m_recorder->Command(kCmdQueueTrack, &entry);
}

std::vector<TrackEntry> RecorderRig::Prepare(const std::vector<std::string>& files,
                                             std::source_location caller) {
  CallerTrace trace(caller);
  std::vector<TrackEntry> prepared;
  for (size_t j = 0; j < files.size(); ++j) {
    EXPECT_EQ(Queue(files[j], static_cast<DWORD>(j)), kQuadrinOk) << files[j];
  }
  const size_t before = m_log.Count(kNotifyPrepared);
  EXPECT_EQ(m_recorder->Command(kCmdPrepare, nullptr), kQuadrinOk);
  EXPECT_TRUE(m_log.WaitFor(kNotifyPrepared, before + 1));
  const auto events = m_log.Events(kNotifyPrepared);
  if (events.size() <= before) return prepared;
  const NotificationLog::Event& event = events.back();
  EXPECT_EQ(event.value, kTransferCompleted);
  DWORD count = 0;
  std::memcpy(&count, event.data.data(), sizeof count);
  prepared.resize(count);
  if (count != 0) {
    std::memcpy(prepared.data(), event.data.data() + offsetof(PreparedTrackList, entries),
                count * sizeof(TrackEntry));
  }
  return prepared;
}

DWORD RecorderRig::Burn(const std::vector<BYTE>& selection, std::source_location caller) {
  CallerTrace trace(caller);
  if (!selection.empty()) {
    SelectionFlags flags{};
    std::copy(selection.begin(), selection.end(), flags.burn);
    EXPECT_EQ(m_device->Command(kCmdSelectTracks, &flags), kQuadrinOk);
  }
  const size_t before = m_log.Count(kNotifyBurnDone);
  EXPECT_EQ(m_recorder->Command(kCmdStart, nullptr), kQuadrinOk);
  EXPECT_TRUE(m_log.WaitFor(kNotifyBurnDone, before + 1));
  const auto events = m_log.Events(kNotifyBurnDone);
  return events.size() > before ? events.back().value : kTransferFailed;
}

std::vector<TrackEntry> RecorderRig::StoredTracks() {
  std::vector<TrackEntry> tracks;
  if (m_device->Command(kCmdBeginTrackList, nullptr) != kQuadrinOk) return tracks;
  TrackEntry entry{};
  while (m_device->Command(kCmdNextTrack, &entry) == kQuadrinOk) tracks.push_back(entry);
  return tracks;
}

std::int32_t RecorderRig::Figure(DWORD code) {
  std::int32_t bytes = -1;
  EXPECT_EQ(m_device->Command(code, &bytes), kQuadrinOk);
  return bytes;
}

}  // namespace quadrin_test
