// The recorder dialog driven as a person drives it: through the driver, one
// step after the thread handled the last, reading only what the dialog
// shows (the status line, the rows and their colours, its message boxes).
#include "tools/qap/burn_script.h"

#include <chrono>
#include <regex>

#include "drumlet/drumlet.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_box.h"
#include "platform/ui/user32.h"

namespace qap {
namespace {

using ui::driver::Model;

constexpr const char* kRecorderTitle = "Burning";
constexpr const char* kMessageTitle = "Message";
constexpr int kDeviceCombo = 1017;
constexpr int kTrackList = 1002;
constexpr int kStatus = 1016;
constexpr int kPrepare = 1003;
constexpr int kBurn = 1005;
constexpr int kErase = 1013;
constexpr int kExit = 1;
constexpr int kMessageText = 4048;
constexpr int kMessageOk = 4044;
constexpr int kSimpleBar = 4070;
// A prepared row is drawn on green.
constexpr COLORREF kPreparedBack = RGB(0, 255, 0);
constexpr COLORREF kSelectedBack = RGB(0, 0, 255);

constexpr auto kStepTimeout = std::chrono::seconds(30);
constexpr auto kWorkTimeout = std::chrono::hours(2);

HWND Shown(const std::string& title) {
  for (HWND window : ui::driver::TopLevelWindows()) {
    ui::driver::WindowInfo info;
    if (ui::driver::GetWindowInfo(window, &info) && info.visible && info.text == title) return window;
  }
  return nullptr;
}

std::string TextOf(HWND window) {
  ui::driver::WindowInfo info;
  return ui::driver::GetWindowInfo(window, &info) ? info.text : std::string();
}

std::string Status() { return TextOf(GetDlgItem(Shown(kRecorderTitle), kStatus)); }

void Press(HWND dialog, int id) { ui::driver::Click(GetDlgItem(dialog, id)); }

// A box the dialog shows (the library's own, or the platform's): its text
// is kept, and it is answered with OK.
bool AnswerBox(BurnOutcome& outcome) {
  if (HWND box = Shown(kMessageTitle)) {
    outcome.messages.push_back(TextOf(GetDlgItem(box, kMessageText)));
    Press(box, kMessageOk);
    return true;
  }
  for (HWND window : ui::driver::TopLevelWindows()) {
    if (!ui::driver::IsMessageBox(window)) continue;
    outcome.messages.push_back(TextOf(GetDlgItem(window, kMessageBoxTextId)));
    ui::driver::PressKey(window, VK_RETURN);
    return true;
  }
  return false;
}

// Waits until the status line starts with one of the texts, answering the
// boxes shown meanwhile; a box or the dialog's end before that is an error.
ui::script::Script& WaitForStatus(ui::script::Script& script, std::shared_ptr<BurnOutcome> outcome,
                                  std::vector<std::string> texts, std::chrono::seconds timeout) {
  return script.Until(
      [outcome, texts](HWND) {
        if (!outcome->error.empty()) return true;
        if (Shown(kRecorderTitle) == nullptr) {
          outcome->error = "the recorder dialog closed";
          return true;
        }
        const bool boxed = AnswerBox(*outcome);
        const std::string status = Status();
        for (const std::string& text : texts) {
          if (status.rfind(text, 0) == 0) return !boxed;
        }
        if (boxed) {
          outcome->error = outcome->messages.back();
          return true;
        }
        return false;
      },
      timeout);
}

// The dialog gives its controls back once the device is open again after
// the work: only then is it ready for the next command.
ui::script::Script& WaitForControls(ui::script::Script& script, std::shared_ptr<BurnOutcome> outcome) {
  return script.Until(
      [outcome](HWND) {
        HWND dialog = Shown(kRecorderTitle);
        return !outcome->error.empty() || dialog == nullptr ||
               IsWindowEnabled(GetDlgItem(dialog, kDeviceCombo));
      },
      kStepTimeout);
}

// The rows as drawn now.
void ReadRows(BurnOutcome& outcome) {
  HWND list = GetDlgItem(Shown(kRecorderTitle), kTrackList);
  outcome.names.clear();
  outcome.prepared.clear();
  const auto* rows = Model<ui::driver::ListModel>(list);
  auto* drawn = Model<ui::driver::OwnerDrawModel>(list);
  for (int row = 0; rows != nullptr && drawn != nullptr && row < rows->Count(); ++row) {
    const ui::driver::DrawnItem item = drawn->Draw(row);
    outcome.names.push_back(rows->Text(row));
    // Burn selects every prepared row when none is: those are drawn on blue.
    outcome.prepared.push_back(item.backColor == kPreparedBack || item.backColor == kSelectedBack);
  }
}

}  // namespace

ui::script::Script BurnScript(const BurnRequest& request, std::shared_ptr<BurnOutcome> outcome) {
  ui::script::Script script;
  // The dialog, or the library's word on why it cannot show it.
  script.Until(
      [outcome](HWND) {
        if (Shown(kRecorderTitle) != nullptr) return true;
        if (AnswerBox(*outcome)) {
          outcome->error = outcome->messages.back();
          return true;
        }
        return false;
      },
      kStepTimeout);
  script.Then([request, outcome](HWND) {
    HWND dialog = Shown(kRecorderTitle);
    if (dialog == nullptr || !outcome->error.empty()) return;
    HWND devices = GetDlgItem(dialog, kDeviceCombo);
    const auto* entries = Model<ui::driver::ListModel>(devices);
    for (int i = 0; entries != nullptr && i < entries->Count(); ++i) {
      if (entries->Text(i) != request.device) continue;
      ui::driver::SelectEntry(devices, i);
      return;
    }
    outcome->error = "there is no device \"" + request.device + "\" (\"qap devices\" lists them)";
  });
  // Choosing the device lists what it holds; a device that cannot be
  // opened says so in a box.
  script.Until(
      [outcome](HWND) {
        if (!outcome->error.empty() || Shown(kRecorderTitle) == nullptr) return true;
        if (AnswerBox(*outcome)) outcome->error = outcome->messages.back();
        return true;
      },
      kStepTimeout);
  if (request.erase) {
    script.Then([outcome](HWND) {
      if (outcome->error.empty()) Press(Shown(kRecorderTitle), kErase);
    });
    WaitForStatus(script, outcome, {"Formatting completed"}, kWorkTimeout);
    WaitForControls(script, outcome);
  }
  auto started = std::make_shared<std::chrono::steady_clock::time_point>();
  auto since = [started] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - *started).count();
  };
  script.Then([outcome, started](HWND) {
    *started = std::chrono::steady_clock::now();
    if (outcome->error.empty()) Press(Shown(kRecorderTitle), kPrepare);
  });
  WaitForStatus(script, outcome, {"Preparation completed"}, kWorkTimeout);
  script.Then([outcome, since](HWND) { outcome->prepareSeconds = since(); });
  WaitForControls(script, outcome);
  script.Then([request, outcome, started](HWND) {
    HWND dialog = Shown(kRecorderTitle);
    if (!outcome->error.empty() || dialog == nullptr) return;
    ReadRows(*outcome);
    if (request.onMoment) request.onMoment(dialog, "prepared");
    bool any = false;
    for (bool prepared : outcome->prepared) any = any || prepared;
    if (!any) {
      outcome->error = "No tracks prepared. Burning process canceled.";
      return;
    }
    *started = std::chrono::steady_clock::now();
    Press(dialog, kBurn);
  });
  WaitForStatus(script, outcome, {"Burning completed"}, kWorkTimeout);
  script.Then([outcome, since](HWND) { outcome->burnSeconds = since(); });
  WaitForControls(script, outcome);
  script.Then([request, outcome](HWND) {
    HWND dialog = Shown(kRecorderTitle);
    if (dialog == nullptr) return;
    if (outcome->error.empty()) {
      outcome->burned = true;
      ReadRows(*outcome);
      if (request.onMoment) request.onMoment(dialog, "burned");
    }
    outcome->status = Status();
    Press(dialog, kExit);
  });
  script.Until(
      [outcome](HWND) {
        if (Shown(kRecorderTitle) == nullptr) return true;
        AnswerBox(*outcome);
        return false;
      },
      kStepTimeout);
  return script;
}

ui::script::Script SimpleScript(bool erase, const std::function<void(HWND, const std::string&)>& onMoment,
                                std::shared_ptr<SimpleOutcome> outcome) {
  ui::script::Script script;
  script.Until(
      [erase, onMoment, outcome](HWND) {
        if (HWND burning = Shown(kRecorderTitle)) {
          outcome->sawBurning = true;
          // Pictured once its bar is half-way.
          const auto* bar = Model<ui::driver::ProgressModel>(GetDlgItem(burning, kSimpleBar));
          if (!outcome->pictured && onMoment && bar != nullptr && bar->Position() >= 50) {
            outcome->pictured = true;
            onMoment(burning, "simple");
          }
        }
        for (const char* question : {"Default Recorder", "Insert Disk", "Select Recorder"}) {
          if (HWND dialog = Shown(question)) {
            outcome->messages.push_back(std::string("\"") + question + "\" was asked: the device cannot be reached");
            Press(dialog, IDCANCEL);
            return false;
          }
        }
        if (HWND content = Shown("Device Content")) {
          outcome->deviceContent = true;
          if (erase) ui::driver::SetCheck(GetDlgItem(content, 4062), true);
          HWND start = GetDlgItem(content, IDOK);
          if (erase && IsWindowEnabled(start)) {
            Press(content, IDOK);
          } else {
            outcome->messages.push_back("the tracks do not fit the device" +
                                        std::string(erase ? "" : " (--erase formats it first)"));
            Press(content, IDCANCEL);
          }
          return false;
        }
        for (HWND window : ui::driver::TopLevelWindows()) {
          if (!ui::driver::IsMessageBox(window)) continue;
          const std::string text = TextOf(GetDlgItem(window, kMessageBoxTextId));
          static const std::regex kRefused("Tracks with numbers ([0-9,]+) will be removed");
          std::smatch numbers;
          if (std::regex_search(text, numbers, kRefused)) {
            const std::string list = numbers[1];
            for (size_t at = 0; at < list.size();) {
              const size_t comma = std::min(list.find(',', at), list.size());
              outcome->refused.push_back(std::stoi(list.substr(at, comma - at)));
              at = comma + 1;
            }
            ui::driver::Click(GetDlgItem(window, IDYES));
          } else {
            outcome->messages.push_back(text);
            ui::driver::PressKey(window, VK_RETURN);
          }
          return false;
        }
        return IsRecording() == 0;
      },
      kWorkTimeout);
  return script;
}

}  // namespace qap
