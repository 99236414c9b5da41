// Shared helpers of the transfer layer's tests.
#include "suite/quadrin/tests/quadrin_test_support.h"

#include <taglib/fileref.h>
#include <taglib/infotag.h>
#include <taglib/tag.h>
#include <taglib/wavfile.h>

#include <cstring>
#include <filesystem>

#include "suite/quadrin/module_admin.h"

namespace quadrin_test {

RegisteredModules::RegisteredModules(std::source_location caller) {
  CallerTrace trace(caller);
  char error[1024] = "";
  EXPECT_EQ(RegisterBuiltinModules(error, sizeof error), kQuadrinOk) << error;
}

Object Make(const std::string& shortId, std::source_location caller) {
  CallerTrace trace(caller);
  ICommunication* object = nullptr;
  EXPECT_EQ(CreateCommunicationObject(&object, shortId.c_str(), nullptr), kQuadrinOk) << shortId;
  return Object(object);
}

DWORD NotificationLog::Callback(DWORD value, DWORD code, void* data, void* context) {
  auto* log = static_cast<NotificationLog*>(context);
  Event event{value, code, {}, std::this_thread::get_id()};
  size_t size = 0;
  switch (code) {
    case kNotifyProgress:
      size = sizeof(ReaderProgress);
      break;
    case kNotifyTrackProgress:
    case kNotifyEraseProgress:
      size = sizeof(RecorderProgress);
      break;
    case kNotifyPrepared:
      size = offsetof(PreparedTrackList, entries) +
             static_cast<const PreparedTrackList*>(data)->count * sizeof(TrackEntry);
      break;
    case kNotifyText:
    case kNotifyEnd:
      size = data != nullptr ? std::strlen(static_cast<const char*>(data)) + 1 : 0;
      break;
    default:
      break;
  }
  const auto* bytes = static_cast<const BYTE*>(data);
  if (size != 0) event.data.assign(bytes, bytes + size);
  std::lock_guard lock(log->m_lock);
  log->m_events.push_back(std::move(event));
  return 0;
}

bool NotificationLog::WaitFor(DWORD code, size_t count) {
  return qap::testing::WaitFor([&] { return Count(code) >= count; }, std::chrono::seconds(60));
}

std::vector<NotificationLog::Event> NotificationLog::Events() {
  std::lock_guard lock(m_lock);
  return m_events;
}

std::vector<NotificationLog::Event> NotificationLog::Events(DWORD code) {
  std::vector<Event> chosen;
  for (Event& event : Events()) {
    if (event.code == code) chosen.push_back(std::move(event));
  }
  return chosen;
}

size_t NotificationLog::Count(DWORD code) { return Events(code).size(); }

bool NotificationLog::Said(const std::string& text) {
  std::string said;
  for (const Event& event : Events(kNotifyText)) {
    const std::string one = reinterpret_cast<const char*>(event.data.data());
    if (one == text) return true;
    said += "\n  " + one;
  }
  ADD_FAILURE() << "never said: " << text << "\nbut:" << said;
  return false;
}

TrackEntry EntryFor(const std::string& path, DWORD position, const std::string& readerId) {
  TrackEntry entry{};
  std::snprintf(entry.sourcePath, sizeof entry.sourcePath, "%s", path.c_str());
  std::snprintf(entry.readerId, sizeof entry.readerId, "%s", readerId.c_str());
  const std::string name = std::filesystem::path(path).stem().string();
  std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
  entry.position = position;
  return entry;
}

std::string MakeMp3(const qap::testing::ScratchDir& dir, const std::string& name, double seconds,
                    std::source_location caller) {
  CallerTrace trace(caller);
  const std::string path = dir.File(name);
  EXPECT_TRUE(converter_test::RunFfmpeg(
      {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds),
       "-ac", "2", "-c:a", "libmp3lame", "-b:a", "128k", path}))
      << "ffmpeg could not make " << name;
  return path;
}

FileTags ReadFileTags(const std::string& path) {
  FileTags tags;
  TagLib::FileRef file(path.c_str());
  if (file.isNull() || file.tag() == nullptr) return tags;
  tags.ok = true;
  // A WAV file's tags are in its RIFF INFO chunk, which TagLib keeps apart.
  const auto* wav = dynamic_cast<const TagLib::RIFF::WAV::File*>(file.file());
  const TagLib::Tag* tag = wav != nullptr ? wav->InfoTag() : file.tag();
  tags.title = tag->title().to8Bit(true);
  tags.artist = tag->artist().to8Bit(true);
  tags.album = tag->album().to8Bit(true);
  return tags;
}

TQuadrinInitStruct Options(DWORD kbps) {
  TQuadrinInitStruct init{};
  init.bitRateKbps = kbps;
  std::snprintf(init.filterName, sizeof init.filterName, "FakeFilter");
  return init;
}

void StartConversion(ConversionRun& run, const std::string& source, const std::string& readerId,
                     const std::string& target, const std::string& writerId, DWORD kbps,
                     const TagBlock* tags, std::source_location caller) {
  CallerTrace trace(caller);
  run.reader = Make(readerId);
  run.writer = Make(writerId);
  ASSERT_TRUE(run.reader && run.writer);
  TrackEntry entry = EntryFor(source, 0, readerId);
  ASSERT_EQ(run.reader->Command(kCmdOpen, &entry), kQuadrinOk);
  ASSERT_EQ(run.reader->Command(kCmdGetFormat, &run.format), kQuadrinOk);
  ASSERT_EQ(run.reader->Command(kCmdGetLength, &run.lengthMs), kQuadrinOk);
  std::string path = target;
  ASSERT_EQ(run.writer->Command(kCmdOpen, path.data()), kQuadrinOk);
  ASSERT_EQ(run.writer->Command(kCmdSetInputFormat, &run.format), kQuadrinOk);
  ASSERT_EQ(run.writer->Command(kCmdIsOpen, &run.format), kQuadrinOk);
  TQuadrinInitStruct init = Options(kbps);
  run.writer->Command(kCmdSetOptions, &init);
  run.reader->Command(kCmdSetOptions, &init);
  TagBlock empty{};
  run.tagsResult = run.writer->Command(kCmdSetTags, tags != nullptr ? const_cast<TagBlock*>(tags) : &empty);
  ASSERT_EQ(run.reader->Command(kCmdConnect, run.writer.get()), kQuadrinOk);
  run.reader->SetNotifyCallback(&NotificationLog::Callback, &run.log);
  ASSERT_EQ(run.reader->Command(kCmdStart, nullptr), kQuadrinOk);
}

DWORD Convert(const std::string& source, const std::string& readerId, const std::string& target,
              const std::string& writerId, DWORD kbps, const TagBlock* tags,
              std::source_location caller) {
  CallerTrace trace(caller);
  ConversionRun run;
  StartConversion(run, source, readerId, target, writerId, kbps, tags, caller);
  if (::testing::Test::HasFatalFailure()) return kTransferFailed;
  EXPECT_TRUE(run.log.WaitFor(kNotifyEnd)) << "no end notification";
  run.reader.reset();
  run.writer.reset();
  EXPECT_EQ(run.log.Count(kNotifyEnd), 1u);
  const auto ends = run.log.Events(kNotifyEnd);
  return ends.empty() ? kTransferFailed : ends.front().value;
}

}  // namespace quadrin_test
