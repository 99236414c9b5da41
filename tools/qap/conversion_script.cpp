// The conversion dialog driven as a person drives it: through the driver,
// one step after the thread handled the last, reading only what the dialog
// shows.
#include "tools/qap/conversion_script.h"

#include <cctype>

#include "platform/ui/driver.h"
#include "platform/ui/user32.h"

namespace qap {
namespace {

using ui::driver::Model;

// The dialogs' controls, as their templates place them.
constexpr const char* kConversionTitle = "Conversion";
constexpr const char* kDestinationTitle = "Select Destination Path";
constexpr const char* kMessageTitle = "Message";
constexpr int kTrackList = 4026;
constexpr int kOutputKind = 4039;
constexpr int kUseTmpFolder = 4064;
constexpr int kConvert = 1;
constexpr int kExit = 2;
constexpr int kPathEdit = 4049;
constexpr int kMessageText = 4048;
constexpr int kMessageOk = 4044;
// The status column's images of a track that has its result.
constexpr int kFailedImage = 15;
constexpr int kDoneImage = 16;

constexpr auto kTrackTimeout = std::chrono::minutes(30);
constexpr auto kStepTimeout = std::chrono::seconds(30);

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

HWND Shown(const std::string& title) {
  for (HWND window : ui::driver::TopLevelWindows()) {
    ui::driver::WindowInfo info;
    if (ui::driver::GetWindowInfo(window, &info) && info.visible && info.text == title) return window;
  }
  return nullptr;
}

void Press(HWND dialog, int id) { ui::driver::Click(GetDlgItem(dialog, id)); }

std::string TextOf(HWND window) {
  ui::driver::WindowInfo info;
  return ui::driver::GetWindowInfo(window, &info) ? info.text : std::string();
}

// A message the dialog shows instead of converting: taken as the outcome's
// error, and answered.
bool AnswerMessage(ConversionOutcome& outcome) {
  HWND box = Shown(kMessageTitle);
  if (box == nullptr) return false;
  if (outcome.error.empty()) outcome.error = TextOf(GetDlgItem(box, kMessageText));
  Press(box, kMessageOk);
  return true;
}

// Whether there is nothing more to wait for: an error, the dialog gone, or
// a message just answered.
bool Over(ConversionOutcome& outcome) {
  return !outcome.error.empty() || Shown(kConversionTitle) == nullptr || AnswerMessage(outcome);
}

}  // namespace

ui::script::Script ConversionScript(const ConversionRequest& request,
                                    std::shared_ptr<ConversionOutcome> outcome) {
  ui::script::Script script;
  // The dialog, or the library's word on why it cannot show it.
  script.Until(
      [outcome](HWND) {
        if (Shown(kConversionTitle) != nullptr) return true;
        for (HWND window : ui::driver::TopLevelWindows()) {
          if (!ui::driver::IsMessageBox(window)) continue;
          outcome->error = TextOf(GetDlgItem(window, kMessageBoxTextId));
          ui::driver::PressKey(window, VK_RETURN);
          return true;
        }
        return false;
      },
      kStepTimeout);
  script.Then([request, outcome](HWND) {
    HWND dialog = Shown(kConversionTitle);
    if (dialog == nullptr || !outcome->error.empty()) return;
    HWND kinds = GetDlgItem(dialog, kOutputKind);
    const auto* entries = Model<ui::driver::ListModel>(kinds);
    int found = -1;
    for (int i = 0; entries != nullptr && i < entries->Count() && found < 0; ++i) {
      if (Lower(entries->Text(i)) == Lower(request.extension)) found = i;
    }
    if (found < 0) {
      outcome->error = "the dialog offers no output of type ." + request.extension;
      return;
    }
    ui::driver::SelectEntry(kinds, found);
    HWND useTmp = GetDlgItem(dialog, kUseTmpFolder);
    if (!request.destination.empty()) {
      ui::driver::SetCheck(useTmp, false);
    } else if (!IsWindowEnabled(useTmp)) {
      outcome->error = "there is no writable temporary folder; name a folder with --dest";
    } else {
      ui::driver::SetCheck(useTmp, true);
    }
  });
  script.Then([request, outcome](HWND) {
    HWND dialog = Shown(kConversionTitle);
    if (dialog == nullptr || !outcome->error.empty()) return;
    if (request.onMoment) request.onMoment(dialog, "ready");
    Press(dialog, kConvert);
  });
  if (!request.destination.empty()) {
    script.Until(
        [request, outcome](HWND) {
          if (Over(*outcome)) return true;
          HWND chooser = Shown(kDestinationTitle);
          if (chooser == nullptr) return false;
          HWND path = GetDlgItem(chooser, kPathEdit);
          ui::driver::SelectAllText(path);
          ui::driver::TypeText(path, request.destination);
          Press(chooser, IDOK);
          return true;
        },
        kStepTimeout);
  }
  // Tracks are converted in list order: each row in turn gets its result.
  for (int row = 0; row < static_cast<int>(request.tracks); ++row) {
    script.Until(
        [outcome, row](HWND) {
          if (Over(*outcome)) return true;
          const auto* list = Model<ui::driver::ListViewModel>(GetDlgItem(Shown(kConversionTitle), kTrackList));
          if (list == nullptr || row >= list->RowCount()) return true;
          const int image = list->CellImage(row, 1);
          return image == kFailedImage || image == kDoneImage;
        },
        kTrackTimeout);
  }
  // The run is over once its controls are back.
  script.Until(
      [outcome](HWND) {
        return Over(*outcome) || IsWindowEnabled(GetDlgItem(Shown(kConversionTitle), kOutputKind));
      },
      kStepTimeout);
  script.Then([request, outcome](HWND) {
    HWND dialog = Shown(kConversionTitle);
    if (dialog == nullptr) return;
    if (const auto* list = Model<ui::driver::ListViewModel>(GetDlgItem(dialog, kTrackList))) {
      for (int row = 0; row < list->RowCount(); ++row) {
        outcome->rows.push_back({list->CellText(row, 0), list->CellText(row, 1),
                                 list->CellImage(row, 1) == kDoneImage});
      }
    }
    if (request.onMoment && outcome->error.empty()) request.onMoment(dialog, "done");
    Press(dialog, kExit);
  });
  return script;
}

}  // namespace qap
