// The recorder's work.
#include "suite/quadrin/recorder.h"

#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/init_struct.h"
#include "suite/quadrin/object_factory.h"
#include "suite/quadrin/reader_object.h"
#include "suite/quadrin/track_preparer.h"

namespace quadrin {
namespace {

constexpr DWORD kDefaultKbps = 128;
// An MP3 file's header and tag room beyond its audio.
constexpr std::uint64_t kMp3Overhead = 16 * 1024;

std::string NameOf(const TrackEntry& entry) {
  return std::string(FieldText(entry.name, sizeof entry.name));
}

std::string LowerExtension(std::string_view path) {
  std::string extension = SplitPath(path).extension;
  if (!extension.empty()) extension.erase(0, 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

Recorder::~Recorder() {
  if (m_worker.joinable()) {
    if (m_worker.get_id() == std::this_thread::get_id()) {
      m_worker.detach();
    } else {
      m_worker.join();
    }
  }
  DropTracks(false);
  std::error_code failure;
  if (!m_workFolder.empty()) std::filesystem::remove_all(m_workFolder, failure);
}

std::int32_t Recorder::Target(const std::shared_ptr<DeviceCore>& device) {
  std::lock_guard lock(m_lock);
  if (m_busy) return kQuadrinFailed;
  // Tracks prepared for another device are in that device's form.
  if (m_device != device) DropTracks(false);
  m_device = device;
  device->Attach(shared_from_this());
  return kQuadrinOk;
}

void Recorder::SetOptions(const TQuadrinInitStruct& options) {
  std::lock_guard lock(m_lock);
  m_options = options;
}

TQuadrinInitStruct Recorder::Options() const {
  if (m_options) return *m_options;
  if (m_device) {
    if (std::optional<TQuadrinInitStruct> options = m_device->Options()) return *options;
  }
  return DefaultInitStruct();
}

std::int32_t Recorder::Queue(const TrackEntry& entry) {
  std::shared_ptr<Device> device;
  TQuadrinInitStruct options;
  {
    std::lock_guard lock(m_lock);
    if (m_busy || !m_device || m_tracks.size() >= kSelectionFlagCount) return kQuadrinFailed;
    device = m_device->OpenDevice();
    options = Options();
  }
  if (!device) return kQuadrinFailed;

  // It must be readable; its length tells its size in the device's form.
  std::string error;
  ObjectPtr reader = MakeOwnedObject(ReaderIdFor(entry), &error);
  if (!reader || reader->Style() != kStyleReader ||
      static_cast<ReaderObject&>(*reader).Open(entry) != kQuadrinOk) {
    return kQuadrinFailed;
  }
  const DWORD lengthMs = static_cast<ReaderObject&>(*reader).LengthMs();
  reader.reset();
  const std::string_view source = FieldText(entry.sourcePath, sizeof entry.sourcePath);
  std::uint64_t bytes = 0;
  if (device->Form() == DeviceForm::kPlayerFiles && device->TakesAsIs(LowerExtension(source))) {
    std::error_code failure;
    bytes = std::filesystem::file_size(ToHostPath(source), failure);
    if (failure) return kQuadrinFailed;
  } else if (lengthMs == 0) {
    return kQuadrinFailed;
  } else if (device->Form() == DeviceForm::kCdAudio) {
    // Whole CD frames (four bytes each) for the whole length.
    const std::uint64_t frames = (std::uint64_t{lengthMs} * 44100 + 999) / 1000;
    bytes = frames * 4;
  } else {
    const DWORD kbps = Mp3KbpsOf(options) != 0 ? Mp3KbpsOf(options) : kDefaultKbps;
    bytes = std::uint64_t{lengthMs} * kbps / 8 + kMp3Overhead;
  }
  const std::uint64_t planned = device->SpaceFor(bytes);

  const std::uint64_t free = device->FreeSpace();
  const std::size_t tracksLeft = device->TracksLeft();
  std::lock_guard lock(m_lock);
  if (m_busy) return kQuadrinFailed;
  std::uint64_t accepted = 0;
  std::size_t pending = 0;
  for (const Track& track : m_tracks) {
    if (track.prepared && track.burned) continue;
    accepted += track.plannedBytes;
    ++pending;
  }
  if (accepted + planned > free || pending + 1 > tracksLeft) return kQuadrinFailed;
  Track track;
  track.entry = entry;
  track.entry.flags &= ~kTrackPrepared;
  track.arrival = m_arrivals++;
  track.plannedBytes = planned;
  m_tracks.push_back(std::move(track));
  return kQuadrinOk;
}

std::vector<std::size_t> Recorder::Order() const {
  std::vector<std::size_t> order(m_tracks.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    const DWORD first = m_tracks[a].entry.position;
    const DWORD second = m_tracks[b].entry.position;
    return first != second ? first < second : m_tracks[a].arrival < m_tracks[b].arrival;
  });
  return order;
}

void Recorder::DropTracks(bool keepPrepared) {
  auto drop = [keepPrepared](Track& track) {
    if (keepPrepared && track.prepared) return false;
    if (track.ownsFile) std::remove(track.file.c_str());
    return true;
  };
  m_tracks.erase(std::remove_if(m_tracks.begin(), m_tracks.end(), drop), m_tracks.end());
}

std::int32_t Recorder::StartPrepare() { return StartWork(Work::kPrepare); }
std::int32_t Recorder::StartBurn() { return StartWork(Work::kBurn); }
std::int32_t Recorder::StartErase() { return StartWork(Work::kErase); }

std::int32_t Recorder::StartWork(Work work) {
  std::lock_guard lock(m_lock);
  if (m_busy || !m_device) return kQuadrinFailed;
  if (m_worker.joinable()) {
    // The last run's thread is done with the recorder; it may still be
    // handing its end notification over (even to this very call).
    if (m_worker.get_id() == std::this_thread::get_id()) {
      m_worker.detach();
    } else {
      m_worker.join();
    }
  }
  m_busy = true;
  m_abort = false;
  m_worker = std::thread([self = shared_from_this(), work] { self->Run(work); });
  return kQuadrinOk;
}

void Recorder::Abort() {
  std::unique_lock lock(m_lock);
  if (!m_busy) return;
  m_abort = true;
  m_changed.notify_all();
  // From the recorder's own thread (inside a notification) the work stops
  // once the notification returns.
  if (m_worker.get_id() == std::this_thread::get_id()) return;
  m_changed.wait(lock, [this] { return !m_busy; });
}

void Recorder::Shutdown() {
  Abort();
  std::thread worker;
  {
    std::lock_guard lock(m_lock);
    worker = std::move(m_worker);
  }
  if (!worker.joinable()) return;
  if (worker.get_id() == std::this_thread::get_id()) {
    worker.detach();
  } else {
    worker.join();
  }
}

void Recorder::Run(Work work) {
  std::vector<TrackEntry> prepared;
  TransferResult result = kTransferFailed;
  DWORD code = 0;
  try {
    switch (work) {
      case Work::kPrepare:
        code = kNotifyPrepared;
        result = RunPrepare(&prepared);
        break;
      case Work::kBurn:
        code = kNotifyBurnDone;
        result = RunBurn();
        break;
      case Work::kErase:
        code = kNotifyEraseDone;
        result = RunErase();
        break;
    }
  } catch (...) {
    result = kTransferFailed;
  }
  {
    std::lock_guard lock(m_lock);
    m_busy = false;
  }
  m_changed.notify_all();
  if (code == kNotifyPrepared) {
    // {count, entries}: built in one block, as the notification hands it on.
    std::vector<BYTE> block(offsetof(PreparedTrackList, entries) +
                            prepared.size() * sizeof(TrackEntry));
    const auto count = static_cast<DWORD>(prepared.size());
    std::memcpy(block.data(), &count, sizeof count);
    if (!prepared.empty()) {
      std::memcpy(block.data() + offsetof(PreparedTrackList, entries), prepared.data(),
                  prepared.size() * sizeof(TrackEntry));
    }
    m_notifier->Send(result, code, block.data());
  } else {
    m_notifier->Send(result, code, nullptr);
  }
}

void Recorder::Text(const std::string& text) {
  m_notifier->Send(0, kNotifyText, const_cast<char*>(text.c_str()));
}

void Recorder::Progress(DWORD code, DWORD converting, DWORD index, unsigned percent) {
  RecorderProgress progress{converting, index, percent};
  m_notifier->Send(0, code, &progress);
}

bool Recorder::MakeWorkFolder(const TQuadrinInitStruct& options) {
  if (!m_workFolder.empty()) return true;
  const std::string folder = TempFolderOf(options);
  std::string pattern = ToHostPath(folder) + "/quadrin-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    Text("Cannot make a working folder in " + folder);
    return false;
  }
  m_workFolder = pattern;
  return true;
}

TransferResult Recorder::RunPrepare(std::vector<TrackEntry>* prepared) {
  std::shared_ptr<Device> device;
  TQuadrinInitStruct options;
  std::vector<std::size_t> order;
  {
    std::lock_guard lock(m_lock);
    device = m_device->OpenDevice();
    options = Options();
    order = Order();
  }
  bool ready = true;
  if (!device) {
    Text("The device is not open");
    ready = false;
  } else if (!MakeWorkFolder(options)) {
    ready = false;
  }
  bool failed = !ready;
  bool aborted = false;
  // Where each track would land if the burn takes them all in this order.
  std::uint64_t landsAt = ready ? device->NextTrackOffset() : 0;
  for (std::size_t rank = 0; ready && rank < order.size(); ++rank) {
    TrackEntry entry;
    std::size_t arrival = 0;
    {
      std::lock_guard lock(m_lock);
      const Track& track = m_tracks[order[rank]];
      if (track.prepared) {
        landsAt += track.plannedBytes;
        continue;
      }
      entry = track.entry;
      arrival = track.arrival;
    }
    if (m_abort) {
      aborted = true;
      break;
    }
    const auto index = static_cast<DWORD>(rank);
    PreparedFile file;
    std::string error;
    const std::string base = m_workFolder + "/track-" + std::to_string(arrival);
    const TransferResult done = PrepareTrack(
        entry, *device, options, base, landsAt,
        [&](unsigned percent) { Progress(kNotifyTrackProgress, 1, index, percent); },
        WaitPoint{m_lock, m_changed, m_abort}, &file, &error);
    if (done == kTransferAborted) {
      aborted = true;
      break;
    }
    if (done != kTransferCompleted) {
      Text("Cannot prepare \"" + NameOf(entry) + "\": " + error);
      failed = true;
      continue;
    }
    std::lock_guard lock(m_lock);
    Track& track = m_tracks[order[rank]];
    track.prepared = true;
    track.burned = false;
    track.file = file.path;
    track.fileOffset = file.offset;
    track.fileBytes = file.bytes;
    track.ownsFile = file.owned;
    track.plannedBytes = device->SpaceFor(file.bytes);
    landsAt += track.plannedBytes;
    track.entry.size = static_cast<DWORD>(std::min<std::uint64_t>(track.plannedBytes, 0xFFFFFFFF));
    track.entry.flags |= kTrackPrepared;
    prepared->push_back(track.entry);
  }
  // Tracks left unprepared go: a host offers them again with its next
  // preparation.
  std::lock_guard lock(m_lock);
  DropTracks(true);
  return aborted ? kTransferAborted : failed ? kTransferFailed : kTransferCompleted;
}

TransferResult Recorder::RunBurn() {
  std::shared_ptr<Device> device;
  std::optional<SelectionFlags> selection;
  std::vector<std::pair<std::size_t, PreparedTrack>> burns;  // (index among prepared, track)
  {
    std::lock_guard lock(m_lock);
    device = m_device->OpenDevice();
    selection = m_device->Selection();
    std::size_t index = 0;
    for (std::size_t i : Order()) {
      const Track& track = m_tracks[i];
      if (!track.prepared) continue;
      const bool chosen = selection ? index < kSelectionFlagCount && selection->burn[index] != 0
                                    : true;
      if (chosen) {
        PreparedTrack burn;
        burn.file = track.file;
        burn.offset = track.fileOffset;
        burn.bytes = track.fileBytes;
        burn.name = NameOf(track.entry);
        burn.tags = track.entry.tags;
        burns.emplace_back(index, std::move(burn));
      }
      ++index;
    }
  }
  if (!device) {
    Text("The device is not open");
    return kTransferFailed;
  }
  std::size_t written = 0;
  TransferResult result = kTransferCompleted;
  for (const auto& [index, track] : burns) {
    if (m_abort) {
      result = kTransferAborted;
      break;
    }
    Text("Writing track " + std::to_string(written + 1) + " of " + std::to_string(burns.size()) +
         ": " + track.name);
    std::string error;
    const auto at = static_cast<DWORD>(index);
    const bool stored = device->Store(
        track, [&](unsigned percent) { Progress(kNotifyTrackProgress, 0, at, percent); }, m_abort,
        &error);
    if (!stored) {
      result = m_abort ? kTransferAborted : kTransferFailed;
      if (result == kTransferFailed) Text("Cannot write \"" + track.name + "\": " + error);
      break;
    }
    ++written;
    std::lock_guard lock(m_lock);
    for (Track& prepared : m_tracks) {
      if (prepared.file == track.file) prepared.burned = true;
    }
  }
  Text(std::to_string(written) + " of " + std::to_string(burns.size()) + " tracks written to " +
       device->StorageName());
  return result;
}

TransferResult Recorder::RunErase() {
  std::shared_ptr<Device> device;
  {
    std::lock_guard lock(m_lock);
    device = m_device->OpenDevice();
  }
  if (!device) {
    Text("The device is not open");
    return kTransferFailed;
  }
  std::string error;
  const bool erased = device->Erase(
      [&](unsigned percent) { Progress(kNotifyEraseProgress, 0, 0, percent); }, m_abort, &error);
  {
    std::lock_guard lock(m_lock);
    for (Track& track : m_tracks) track.burned = false;
  }
  if (erased) return kTransferCompleted;
  if (m_abort) return kTransferAborted;
  Text("Cannot erase " + device->StorageName() + ": " + error);
  return kTransferFailed;
}

}  // namespace quadrin
