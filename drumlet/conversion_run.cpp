// The conversion dialog's run: the destination, then one track at a time
// (set up, processing, ended: done, failed or stopped) until no selected
// track is left or the person stops it. The layer's notifications arrive as
// posted messages; a track's output is this run's only once its engine
// started, and only then is it ever deleted.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "drumlet/conversion_dialog.h"
#include "drumlet/destination_dialog.h"
#include "drumlet/library_state.h"
#include "drumlet/message_pump.h"
#include "drumlet/track_entries.h"
#include "drumlet/writable_folder.h"
#include "drumlet/zv_message_box.h"
#include "platform/base/partial_output.h"
#include "platform/base/paths.h"
#include "platform/base/sync.h"
#include "platform/base/text_field.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

const UINT kDataReady = RegisterWindowMessageA("ConversionDlg_QuadrinDataReady");
const UINT kEndConversion = RegisterWindowMessageA("ConversionDlg_QuadrinEndConversion");
const UINT kStopPressed = RegisterWindowMessageA("ConversionDlg_StopBtnPressed");
const UINT kSkipPressed = RegisterWindowMessageA("ConversionDlg_SkipBtnPressed");
const UINT kConvertNextTrack = RegisterWindowMessageA("ConversionDlg_ConvertNextTrack");

constexpr int kFailedImage = 15;
constexpr int kDoneImage = 16;
constexpr int kProcessingImage = 17;

// An aborted reader ends at once; the bound keeps a layer that never says
// so from holding the dialog.
constexpr DWORD kEndWaitMs = 10000;
constexpr DWORD kPassMs = 30;

bool EndsWithMp3(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return end == ".mp3";
}

bool Readable(const std::string& path) {
  const std::string host = ToHostPath(path);
  std::error_code failure;
  return !host.empty() && std::filesystem::is_regular_file(host, failure) &&
         access(host.c_str(), R_OK) == 0;
}

std::string NameOf(const TrackEntry* entry) {
  return entry != nullptr ? std::string(FieldText(entry->name, sizeof entry->name)) : std::string();
}

std::string DestinationOf(const TrackEntry* entry) {
  return std::string(FieldText(entry->destination, sizeof entry->destination));
}

}  // namespace

UINT StopPressedMessage() { return kStopPressed; }

void ConversionDialog::OnConvert() {
  HWND list = List();
  if (ListView_GetItemCount(list) == 0) return;
  if (ListView_GetSelectedCount(list) == 0) SelectAll();
  std::string folder;
  if (IsDlgButtonChecked(m_hWnd, kUseTmpFolderId) == BST_CHECKED) {
    folder = AppendSeparator(FieldText(m_init.tempFolder, sizeof m_init.tempFolder));
  } else {
    // The last run's folder is offered again.
    std::string chosen = m_destinationFolder;
    if (!SelectDestinationPath(m_hWnd, Library().skinPath.c_str(), &chosen)) return;
    folder = AppendSeparator(chosen);
  }
  if (!FolderIsWritable(folder)) {
    Tell("Cannot write to \"" + folder + "\"");
    return;
  }
  m_destinationFolder = folder;
  m_stopped = false;
  m_skipped = false;
  m_runTracks.clear();
  for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    if (ListView_GetItem(list, &item) && item.lParam != 0) {
      m_runTracks.push_back(reinterpret_cast<TrackEntry*>(item.lParam));
    }
  }
  m_nextTrack = 0;
  m_current = nullptr;
  m_running = true;
  Advance();
}

void ConversionDialog::Advance() {
  // A track runs and nobody stopped it: this is an old request.
  if (!m_running || m_advancing || (m_engine.Exists() && !m_ended && !m_stopped && !m_skipped)) {
    return;
  }
  m_advancing = true;
  m_lastPercent = 0;
  if (m_engine.Exists()) {
    if (!m_ended) {
      m_engine.Abort();
      const DWORD start = GetTickCount();
      while (!m_ended && GetTickCount() - start < kEndWaitMs) {
        PumpMessages();
        if (!m_ended) MsgWaitForMultipleObjects(0, nullptr, FALSE, kPassMs, QS_ALLINPUT);
      }
    }
    m_engine.Destroy();
  }
  m_advancing = false;
  const bool outputMade = std::exchange(m_outputMade, false);
  const bool tagsByLibrary = std::exchange(m_tagsByLibrary, false);
  const bool failed = std::exchange(m_trackFailed, false);
  if (m_stopped || m_skipped) {
    if (m_current != nullptr) SetStatus(m_current, "Processing was stopped", kFailedImage);
    if (outputMade) RemovePartialOutput(ToHostPath(DestinationOf(m_current)));
    EndRun();
    return;
  }
  if (outputMade && failed) {
    RemovePartialOutput(ToHostPath(DestinationOf(m_current)));
  } else if (outputMade && tagsByLibrary) {
    WriteTagsByLibrary(DestinationOf(m_current), m_current->tags);
  }
  while (m_nextTrack < m_runTracks.size()) {
    TrackEntry* next = m_runTracks[m_nextTrack++];
    if (IndexOf(next) >= 0) {
      ConvertTrack(next);
      return;
    }
  }
  EndRun();
}

void ConversionDialog::ConvertTrack(TrackEntry* entry) {
  EnableControls(false);
  m_current = entry;
  const std::string source(FieldText(entry->sourcePath, sizeof entry->sourcePath));
  const std::string output = m_destinationFolder + OutputFileName(NameOf(entry)) + "." + m_extension;
  auto skip = [&](const std::string& status) {
    SetStatus(entry, status, kFailedImage);
    PostMessage(kConvertNextTrack);
  };
  std::error_code failure;
  if (std::filesystem::exists(std::filesystem::symlink_status(ToHostPath(output), failure))) {
    return skip("File \"" + output + "\" already exists");
  }
  if (output.size() >= sizeof entry->destination) return skip("File name \"" + output + "\" is too long");
  if (!Readable(source)) return skip("Cannot read \"" + source + "\"");
  CopyToField(entry->destination, sizeof entry->destination, output);
  m_ended = false;
  bool tagsRefused = false;
  if (!m_engine.Start(*entry, m_writer.shortId, output, &m_init, &ConversionDialog::OnReaderNotification, this,
                      &tagsRefused)) {
    // Nothing was there before: what the writer began is this run's.
    RemovePartialOutput(ToHostPath(output));
    return skip("Cannot initialize the engine for the current type of song");
  }
  m_outputMade = true;
  m_tagsByLibrary = tagsRefused && EndsWithMp3(output);
  SetStatus(entry, "Processing...", kProcessingImage);
  UpdateWindow();
}

DWORD ConversionDialog::OnReaderNotification(DWORD value, DWORD code, void* data, void* context) {
  auto* dialog = static_cast<ConversionDialog*>(context);
  if (code == kNotifyProgress && data != nullptr) {
    const std::uint64_t done = std::uint64_t{static_cast<const ReaderProgress*>(data)->doneMs} * 100;
    const DWORD total = dialog->m_engine.Total();
    const std::uint64_t percent = total != 0 ? std::min<std::uint64_t>(done / total, 100) : 0;
    const std::uint64_t remainder = total != 0 ? done % total : 0;
    PostMessageA(dialog->m_hWnd, kDataReady, static_cast<WPARAM>(remainder), static_cast<LPARAM>(percent));
  } else if (code == kNotifyEnd) {
    PostMessageA(dialog->m_hWnd, kEndConversion, value, 100);
  }
  return 0;
}

void ConversionDialog::OnProgress(LPARAM percent) {
  if (!m_running || m_ended || !m_engine.Exists() || percent == m_lastPercent) return;
  m_lastPercent = static_cast<int>(percent);
  char text[kTrackNameSize + 16];
  std::snprintf(text, sizeof text, "%s - %d%%", NameOf(m_current).c_str(), m_lastPercent);
  SetDlgItemText(kStatusTextId, text);
  SendDlgItemMessageA(m_hWnd, kProgressId, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  UpdateWindow();
}

void ConversionDialog::OnTrackEnded(TransferResult result) {
  if (!m_running || !m_engine.Exists() || m_ended) return;
  m_ended = true;
  const std::string name = NameOf(m_current);
  if (m_stopped || m_skipped) {
    // The run's own stop finishes the track.
    SetDlgItemText(kStatusTextId, (name + " - Stopped").c_str());
    return;
  }
  if (result == kTransferCompleted) {
    SendDlgItemMessageA(m_hWnd, kProgressId, PBM_SETPOS, 100, 0);
    SetDlgItemText(kStatusTextId, (name + " - done").c_str());
    SetStatus(m_current, DestinationOf(m_current), kDoneImage);
  } else {
    // A write that failed (a full disk) is no converted file.
    m_trackFailed = true;
    SetDlgItemText(kStatusTextId, (name + " - Conversion failed").c_str());
    SetStatus(m_current, "Conversion failed", kFailedImage);
  }
  Advance();
}

void ConversionDialog::EndRun() {
  m_running = false;
  m_runTracks.clear();
  EnableControls(true);
}

bool ConversionDialog::OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDataReady) {
    OnProgress(lParam);
  } else if (message == kEndConversion) {
    OnTrackEnded(static_cast<TransferResult>(wParam));
  } else if (message == kStopPressed || message == kSkipPressed) {
    if (m_running) {
      (message == kStopPressed ? m_stopped : m_skipped) = true;
      PostMessage(kConvertNextTrack);
    }
  } else if (message == kConvertNextTrack) {
    Advance();
  } else {
    return false;
  }
  return true;
}

void ConversionDialog::OnDestroy() {
  m_editor.Close();
  // Closed in the middle of a track (nobody pressed Stop): its output goes.
  if (m_engine.Exists()) {
    m_engine.Abort();
    m_engine.Destroy();
  }
  if (std::exchange(m_outputMade, false) && m_current != nullptr) {
    RemovePartialOutput(ToHostPath(DestinationOf(m_current)));
  }
}

}  // namespace drumlet
