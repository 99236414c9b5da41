// The conversion dialog ("Conversion"): a list of tracks, the kind of output,
// and a run that converts the selected tracks one after the other, each with
// a reader and a writer of the transfer layer. The layer reports from its own
// thread; its notifications become posted messages, so every change of the
// dialog's state happens on the dialog's thread.
#pragma once

#include <string>
#include <vector>

#include "drumlet/conversion_engine.h"
#include "drumlet/conversion_resources.h"
#include "drumlet/track_name_editor.h"
#include "drumlet/transfer_layer.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/framework/cdialog.h"

namespace drumlet {

// "ConversionDlg_StopBtnPressed", registered when the library loads.
UINT StopPressedMessage();

class ConversionDialog : public CDialog {
 public:
  explicit ConversionDialog(const TQuadrinInitStruct& init);
  ~ConversionDialog() override;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WORD id, WORD code, HWND control) override;
  BOOL OnNotify(NMHDR* header, LRESULT* result) override;
  // Enter converts, as the default button does; Esc and the close box exit.
  void OnOK() override { OnButton(IDOK); }
  void OnCancel() override { OnButton(IDCANCEL); }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnDestroy() override;

 private:
  // The list and the commands (conversion_dialog.cpp).
  void OnButton(int id);
  void AddFile(const std::string& path, bool readTags);
  void OnAdd();
  void OnDropFiles(HDROP drop);
  void OnRemove();
  void SelectAll();
  void OnOutputKind();
  void RefreshButtons();
  void EnableControls(bool enable);
  void EnableButton(int id, bool enable);
  // The library's own message box, over the dialog.
  void Tell(const std::string& text);
  int IndexOf(const TrackEntry* entry) const;
  void SetStatus(const TrackEntry* entry, const std::string& text, int image);
  void ShowContextMenu(LPARAM where);
  void ClearStatus();
  void OnListClick(const NMITEMACTIVATE& click);
  void BeginRename(int item);
  void OnEndRename(int item, bool cancelled);
  bool NameIsAllowed(const std::string& name) const;
  void Rename(int item, const std::string& name);
  HWND List() const { return GetDlgItem(kTrackListId); }

  // The run (conversion_run.cpp).
  void OnConvert();
  void Advance();
  void ConvertTrack(TrackEntry* entry);
  void OnProgress(LPARAM percent);
  void OnTrackEnded(TransferResult result);
  void EndRun();
  bool OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD OnReaderNotification(DWORD value, DWORD code, void* data, void* context);

  TQuadrinInitStruct m_init;
  std::vector<ModuleInfo> m_readers;
  std::vector<ModuleInfo> m_writers;
  std::string m_readerFilter;
  std::vector<std::string> m_writerExtensions;
  ModuleInfo m_writer{};
  std::string m_extension;  // the kind chosen: the outputs' extension
  TrackNameEditor m_editor;

  // A run: the tracks selected when it started, in list order.
  ConversionEngine m_engine;
  std::string m_destinationFolder;
  std::vector<TrackEntry*> m_runTracks;
  size_t m_nextTrack = 0;
  TrackEntry* m_current = nullptr;
  bool m_outputMade = false;  // the current track's output is this run's
  int m_lastPercent = 0;
  bool m_running = false;
  bool m_advancing = false;  // waiting for an aborted track's end
  bool m_stopped = false;
  bool m_skipped = false;
  bool m_ended = false;
  bool m_trackFailed = false;
  bool m_tagsByLibrary = false;
  bool m_convertEnabled = false;
};

}  // namespace drumlet
