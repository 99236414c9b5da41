// "Device Content": shown by the simple mode only when the tracks do not fit
// the device. It lists what the device holds and what is to be uploaded,
// lets the person delete tracks to upload or format the medium first, and
// starts recording only while the list fits the device's memory.
#pragma once

#include <memory>
#include <vector>

#include "drumlet/simple_resources.h"
#include "drumlet/transfer_layer.h"
#include "platform/ui/framework/cdialog.h"

namespace drumlet {

class SimpleDeviceContentDlg : public CDialog {
 public:
  // tracks: the tracks to upload (a deleted one gets kTrackDeleted); device:
  // the open device.
  SimpleDeviceContentDlg(const std::vector<TrackEntry*>& tracks, ICommunication* device);
  // After IDOK: whether "Format medium" was checked.
  bool FormatFirst() const { return m_formatFirst; }

 protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WORD id, WORD code, HWND control) override;
  BOOL OnNotify(NMHDR* header, LRESULT* result) override;
  void OnOK() override;
  void OnDestroy() override;

 private:
  void AddItem(const TrackEntry& entry, int image);
  TrackEntry* ItemEntry(int item) const;
  void DeleteTrack();
  void Refresh();
  HWND List() const { return GetDlgItem(kContentListId); }

  std::vector<TrackEntry*> m_tracks;
  ICommunication* m_device;
  std::vector<std::unique_ptr<TrackEntry>> m_copies;  // what the items show
  DWORD m_totalMb = 0;
  bool m_formatFirst = false;
};

}  // namespace drumlet
