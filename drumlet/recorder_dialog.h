// The recorder dialog ("Burning"): a list of tracks, a device, and the two
// phases the person starts separately: Prepare (the recorder makes each
// track into the device's form) and Burn (the selected prepared tracks are
// written); Erase formats the medium. Two objects of the layer do the work,
// the device's and the recorder; the recorder reports from its own thread.
// Its notifications only set the fields below that are shared (under
// m_sharedLock, or atomic), set events and post messages: every track entry
// and every window is touched on the dialog's thread alone.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "drumlet/recorder_resources.h"
#include "drumlet/transfer_layer.h"
#include "platform/base/sync.h"
#include "platform/ui/framework/cdialog.h"

namespace drumlet {

class RecorderDialog : public CDialog {
 public:
  explicit RecorderDialog(const TQuadrinInitStruct& init);
  ~RecorderDialog() override;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override { OnClose(); }
  void OnCancel() override { OnClose(); }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnDestroy() override;

 private:
  // The lists and commands (recorder_dialog.cpp).
  void OnButton(int id);
  void AddFile(const std::string& path);
  void AddEntry(TrackEntry* entry);
  void OnAdd();
  void OnDropFiles(HDROP drop);
  void RemoveSelected();
  void RemoveAll();
  void SelectPrepared(bool select);
  void DrawItem(const DRAWITEMSTRUCT& item);
  void OnItemDeleted(const DELETEITEMSTRUCT& item);
  void RefreshData();
  void EnableControls(bool enable);
  int ItemCount() const;
  TrackEntry* EntryAt(int index) const;
  bool Selected(int index) const;
  HWND TrackList() const { return GetDlgItem(kRecorderTrackListId); }

  // The device (recorder_device.cpp).
  const DeviceInfo* ChosenDevice() const;
  void OnDeviceChosen();
  bool OpenDevice();
  void ShowDeviceContent();
  void CloseDevice(DWORD mode);
  void OnFormat();

  // Preparing and burning (recorder_burn.cpp).
  void OnPrepare();
  void OnBurn();
  void OnClose();
  void StartWatcher();
  void StopWatcher();
  void TakeReports();
  void OnProgressMessage();
  void OnDeviceCloseOpen();
  bool OnRecorderMessage(UINT message);
  static DWORD OnRecorderNotification(DWORD value, DWORD code, void* data, void* context);
  void OnNotification(DWORD value, DWORD code, void* data);
  void Report(const std::string& status, int progress);
  void OnBurnEnded(bool succeeded);

  OpenParams m_openParams{};
  std::vector<ModuleInfo> m_readers;
  std::vector<ModuleInfo> m_writers;
  std::string m_readerFilter;
  std::vector<DeviceInfo> m_devices;
  std::string m_imagePath;
  // The prepared entries in list order, shared with the track list.
  std::vector<TrackEntry*> m_burnList;
  SelectionFlags m_selection{};
  size_t m_leftOut = 0;  // tracks beyond what one preparation takes
  std::int32_t m_availableBytes = 0;
  std::int32_t m_totalBytes = 0;
  CommunicationPtr m_device;
  CommunicationPtr m_recorder;
  bool m_asking = false;  // the cancel question is open

  // Shared with the recorder's thread and the burn watcher.
  std::atomic<bool> m_preparing{false};
  UniqueHandle m_idle;
  UniqueHandle m_cancel;
  UniqueHandle m_burnEnded;  // the burn ended by itself: the watcher goes without aborting
  UniqueHandle m_watcher;
  std::atomic<bool> m_questionOpen{false};
  std::mutex m_sharedLock;
  struct Reports {
    std::string status;
    int trackIndex = -1;  // a track's progress: the status is made of its name
    bool converting = false;
    int progress = 0;
    bool preparedArrived = false;
    std::vector<TrackEntry> prepared;
    std::string failure;   // "Burning failed", "Formatting failed", with the reason
    std::string reasons;   // the recorder's texts since the burn or erase began
    bool invalidCode = false;
    // A progress message is on its way and will carry the newest figures:
    // the recorder reports every percent of every track, and one message a
    // figure would keep the dialog's thread busy beside the burn.
    bool progressPosted = false;
  } m_reports;
  std::string m_status;  // as shown
  int m_progress = 0;
};

}  // namespace drumlet
