// "QuadrinRecorder": takes tracks for one device, prepares them in the
// device's form in a working folder of its own, burns a selection of them
// and erases the medium. Each of preparing, burning and erasing runs on the
// recorder's own thread, one at a time, reports from that thread, and ends
// with exactly one end notification (106, 104, 103), also after an abort or
// a failure. An abort returns once the medium is consistent again.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "suite/quadrin/device_object.h"
#include "suite/quadrin/notifier.h"

namespace quadrin {

class Recorder : public std::enable_shared_from_this<Recorder> {
 public:
  explicit Recorder(std::shared_ptr<Notifier> notifier) : m_notifier(std::move(notifier)) {}
  ~Recorder();

  std::int32_t Target(const std::shared_ptr<DeviceCore>& device);
  void SetOptions(const TQuadrinInitStruct& options);
  // 0 = accepted: readable, and its room on the medium fits the free space
  // together with the tracks accepted before and not yet burned.
  std::int32_t Queue(const TrackEntry& entry);
  std::int32_t StartPrepare();
  std::int32_t StartBurn();
  std::int32_t StartErase();
  void Abort();
  // Aborts and lets the thread go; the recorder ends with its last owner.
  void Shutdown();

 private:
  enum class Work { kPrepare, kBurn, kErase };

  struct Track {
    TrackEntry entry;
    std::size_t arrival = 0;
    std::uint64_t plannedBytes = 0;  // its room on the medium, as estimated
    bool prepared = false;
    bool burned = false;  // stored on the medium since it was prepared
    std::string file;     // the prepared form, host path
    std::uint64_t fileOffset = 0;
    std::uint64_t fileBytes = 0;
    bool ownsFile = false;
  };

  std::int32_t StartWork(Work work);
  void Run(Work work);
  TransferResult RunPrepare(std::vector<TrackEntry>* prepared);
  TransferResult RunBurn();
  TransferResult RunErase();
  void Text(const std::string& text);
  void Progress(DWORD code, DWORD converting, DWORD index, unsigned percent);
  TQuadrinInitStruct Options() const;
  // Indexes of m_tracks by position in the host's list, then arrival.
  std::vector<std::size_t> Order() const;
  void DropTracks(bool keepPrepared);
  bool MakeWorkFolder(const TQuadrinInitStruct& options);

  std::shared_ptr<Notifier> m_notifier;
  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  bool m_busy = false;
  std::atomic<bool> m_abort{false};
  std::thread m_worker;
  std::shared_ptr<DeviceCore> m_device;
  std::optional<TQuadrinInitStruct> m_options;
  std::vector<Track> m_tracks;
  std::size_t m_arrivals = 0;
  std::string m_workFolder;  // host path; made by the first preparation
};

}  // namespace quadrin
