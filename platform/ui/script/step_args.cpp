// Reading steps' words, and finding and reading windows for them.
#include "platform/ui/script/step_args.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/ui/user32.h"

namespace ui::script {

namespace {

std::string WithoutMnemonic(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
    out += text[i];
  }
  return out;
}

bool AllDigits(const std::string& word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](unsigned char c) {
           return std::isdigit(c) != 0;
         });
}

// The longest wait a step may ask for: a day.
constexpr long long kMaxTimeoutSeconds = 86400;

// A number of digits only, up to max; a longer one would wrap round when
// it is taken.
bool ReadNumber(const std::string& word, long long max, int* value) {
  if (!AllDigits(word) || word.size() > 10) return false;
  const long long number = std::stoll(word);
  if (number > max) return false;
  *value = static_cast<int>(number);
  return true;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

}  // namespace

std::string ControlName::Text() const {
  switch (kind) {
    case Kind::kId:
      return std::to_string(id);
    case Kind::kCaption:
      return "\"" + caption + "\"";
    case Kind::kFocus:
      return "focus";
  }
  return {};
}

const std::string& Args::Word(size_t index) {
  static const std::string kNone;
  m_count = std::max(m_count, index + 1);
  if (index + 1 >= m_step.words.size() || (m_hasTimeout && index + 3 >= m_step.words.size())) {
    Error("a word is missing after \"" + m_step.words.front() + "\"");
    return kNone;
  }
  return m_step.words[index + 1];
}

bool Args::Quoted(size_t index) const {
  return index + 1 < m_step.quoted.size() && m_step.quoted[index + 1];
}

bool Args::IsWord(size_t index, const char* word) const {
  return index + 1 < m_step.words.size() && !Quoted(index) && m_step.words[index + 1] == word;
}

ControlName Args::Control(size_t index) {
  const std::string& word = Word(index);
  ControlName name;
  if (Quoted(index)) {
    name.kind = ControlName::Kind::kCaption;
    name.caption = word;
  } else if (word == "focus") {
    name.kind = ControlName::Kind::kFocus;
  } else if (AllDigits(word)) {
    if (!ReadNumber(word, INT_MAX, &name.id))
      Error("\"" + word + "\" is too large for a control id");
  } else if (!word.empty()) {
    Error("\"" + word + "\" does not name a control: give its id, its caption in quotes, or focus");
  }
  return name;
}

int Args::Number(size_t index) {
  const std::string& word = Word(index);
  if (!AllDigits(word)) {
    if (!word.empty()) Error("\"" + word + "\" is not a number");
    return 0;
  }
  int number = 0;
  if (!ReadNumber(word, INT_MAX, &number)) Error("\"" + word + "\" is too large");
  return number;
}

std::string Args::Text(size_t index) { return Word(index); }

std::string Args::Keyword(size_t index, const std::vector<const char*>& allowed) {
  const std::string& word = Word(index);
  for (const char* option : allowed) {
    if (word == option && !Quoted(index)) return word;
  }
  if (!word.empty() || Quoted(index)) {
    std::string list;
    for (const char* option : allowed) list += (list.empty() ? "" : ", ") + std::string(option);
    Error("\"" + word + "\" is not one of " + list);
  }
  return {};
}

void Args::AllowTimeout() {
  size_t size = m_step.words.size();
  if (size >= 3 && m_step.words[size - 2] == "timeout" && !m_step.quoted[size - 2]) {
    m_hasTimeout = true;
    int seconds = 0;
    if (!AllDigits(m_step.words[size - 1])) {
      Error("the time-out must be a number of seconds");
    } else if (!ReadNumber(m_step.words[size - 1], kMaxTimeoutSeconds, &seconds)) {
      Error("the time-out must be at most " + std::to_string(kMaxTimeoutSeconds) +
            " seconds (a day)");
    }
  }
}

void Args::Expect(size_t minimum, size_t maximum) {
  size_t words = m_step.words.size() - 1 - (m_hasTimeout ? 2 : 0);
  if (words < minimum || words > maximum) {
    Error("\"" + m_step.words.front() + "\" takes " +
          (minimum == maximum ? std::to_string(minimum)
                              : std::to_string(minimum) + " to " + std::to_string(maximum)) +
          " words, not " + std::to_string(words));
  }
}

void Args::Error(const std::string& message) {
  if (m_error.empty()) m_error = message;
}

std::optional<Outcome> Args::SyntaxError() const {
  if (m_error.empty()) return std::nullopt;
  return Failed(m_error);
}

std::chrono::milliseconds TimeoutOf(const Step& step) {
  size_t size = step.words.size();
  int seconds = 0;
  if (size >= 3 && step.words[size - 2] == "timeout" && !step.quoted[size - 2] &&
      ReadNumber(step.words[size - 1], kMaxTimeoutSeconds, &seconds)) {
    return std::chrono::seconds(seconds);
  }
  return std::chrono::seconds(10);
}

bool OnThreadOf(HWND window, const std::function<void()>& call) {
  return ui::driver::RunOnWindowThread(window, call);
}

HWND FindShownWindow(const std::string& title) {
  for (HWND window : ui::driver::TopLevelWindows()) {
    ui::driver::WindowInfo info;
    if (ui::driver::GetWindowInfo(window, &info) && info.visible && info.text == title) {
      return window;
    }
  }
  return nullptr;
}

static HWND Search(HWND parent, const ControlName& name) {
  for (HWND child : ui::driver::Children(parent)) {
    ui::driver::WindowInfo info;
    if (!ui::driver::GetWindowInfo(child, &info)) continue;
    if (name.kind == ControlName::Kind::kId ? info.id == name.id
                                             : WithoutMnemonic(info.text) == WithoutMnemonic(name.caption)) {
      return child;
    }
    if (HWND found = Search(child, name)) return found;
  }
  return nullptr;
}

HWND FindControl(HWND window, const ControlName& name) {
  if (window == nullptr) return nullptr;
  if (name.kind == ControlName::Kind::kFocus) {
    HWND focus = nullptr;
    OnThreadOf(window, [&] { focus = GetFocus(); });
    return focus;
  }
  return Search(window, name);
}

std::string ControlText(HWND control) {
  std::string text;
  OnThreadOf(control, [&] {
    if (auto* status = ui::driver::Model<ui::driver::StatusBarModel>(control)) {
      for (const auto& part : status->Parts()) text += (text.empty() ? "" : " | ") + part.text;
      return;
    }
    int length = GetWindowTextLengthA(control);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(control, buffer.data(), length + 1);
    text = buffer.c_str();
  });
  return text;
}

bool CellText(HWND control, int row, int column, std::string* text) {
  bool found = false;
  OnThreadOf(control, [&] {
    using namespace ui::driver;
    if (auto* list = Model<ListViewModel>(control)) {
      if (row < list->RowCount() && column < std::max(1, list->ColumnCount())) {
        *text = list->CellText(row, column);
        found = true;
      }
    } else if (auto* entries = Model<ListModel>(control)) {
      if (row < entries->Count() && column == 0) {
        *text = entries->Text(row);
        found = true;
      }
    } else if (auto* status = Model<StatusBarModel>(control)) {
      auto parts = status->Parts();
      if (row == 0 && column < static_cast<int>(parts.size())) {
        *text = parts[static_cast<size_t>(column)].text;
        found = true;
      }
    }
  });
  return found;
}

int RowCount(HWND control) {
  int count = -1;
  OnThreadOf(control, [&] {
    using namespace ui::driver;
    if (auto* list = Model<ListViewModel>(control)) {
      count = list->RowCount();
    } else if (auto* entries = Model<ListModel>(control)) {
      count = entries->Count();
    }
  });
  return count;
}

int RowWithText(HWND control, const std::string& text) {
  int rows = RowCount(control);
  for (int row = 0; row < rows; ++row) {
    std::string cell;
    if (CellText(control, row, 0, &cell) && cell == text) return row;
  }
  return -1;
}

HTREEITEM TreeItemAt(HWND tree, const std::string& path, HTREEITEM* deepest, bool* complete) {
  *deepest = nullptr;
  *complete = false;
  HTREEITEM found = nullptr;
  OnThreadOf(tree, [&] {
    auto* model = ui::driver::Model<ui::driver::TreeViewModel>(tree);
    if (model == nullptr) return;
    HTREEITEM parent = nullptr;
    size_t start = 0;
    for (;;) {
      size_t end = path.find('\\', start);
      std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
      HTREEITEM match = nullptr;
      for (HTREEITEM item : model->ChildItems(parent)) {
        ui::driver::TreeItemInfo info;
        if (model->Item(item, &info) && info.text == part) {
          match = item;
          break;
        }
      }
      if (match == nullptr) return;
      *deepest = parent = match;
      if (end == std::string::npos) {
        found = match;
        *complete = true;
        return;
      }
      start = end + 1;
    }
  });
  return found;
}

HWND FindMessageBox(const std::string* text) {
  for (HWND window : ui::driver::TopLevelWindows()) {
    if (!IsWindowVisible(window) || !ui::driver::IsMessageBox(window)) continue;
    HWND body = GetDlgItem(window, kMessageBoxTextId);
    if (text != nullptr && ControlText(body) != *text) continue;
    return window;
  }
  return nullptr;
}

HWND FindFileDialog() {
  for (HWND window : ui::driver::TopLevelWindows()) {
    if (IsWindowVisible(window) && ClassOf(window) == WC_DIALOG &&
        GetDlgItem(window, 1152) != nullptr && GetDlgItem(window, 1120) != nullptr) {
      return window;
    }
  }
  return nullptr;
}

bool ParseKey(const std::string& style, int* key, bool* control, bool* shift, bool* alt) {
  *control = *shift = *alt = false;
  std::string rest = style;
  for (;;) {
    size_t plus = rest.find('+');
    if (plus == std::string::npos || plus + 1 == rest.size()) break;
    std::string modifier = rest.substr(0, plus);
    for (char& c : modifier) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (modifier == "ctrl") {
      *control = true;
    } else if (modifier == "shift") {
      *shift = true;
    } else if (modifier == "alt") {
      *alt = true;
    } else {
      return false;
    }
    rest.erase(0, plus + 1);
  }
  static const struct {
    const char* name;
    int key;
  } kNames[] = {{"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},   {"Tab", VK_TAB},     {"Space", VK_SPACE},
                {"Back", VK_BACK},    {"Delete", VK_DELETE}, {"Insert", VK_INSERT}, {"Up", VK_UP},
                {"Down", VK_DOWN},    {"Left", VK_LEFT},    {"Right", VK_RIGHT}, {"Home", VK_HOME},
                {"End", VK_END},      {"Apps", VK_APPS}};
  for (const auto& entry : kNames) {
    if (strcasecmp(rest.c_str(), entry.name) == 0) {
      *key = entry.key;
      return true;
    }
  }
  if ((rest[0] == 'F' || rest[0] == 'f') && rest.size() >= 2 && AllDigits(rest.substr(1))) {
    int number = std::atoi(rest.c_str() + 1);
    if (number < 1 || number > 12) return false;
    *key = VK_F1 + number - 1;
    return true;
  }
  if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
    *key = std::toupper(static_cast<unsigned char>(rest[0]));
    return true;
  }
  return false;
}

Outcome Done() { return {Outcome::Kind::kDone, {}}; }
Outcome Acted() { return {Outcome::Kind::kActed, {}}; }
Outcome Again() { return {Outcome::Kind::kAgain, {}}; }
Outcome Waiting(const std::string& message) { return {Outcome::Kind::kWaiting, message}; }
Outcome Failed(const std::string& message) { return {Outcome::Kind::kFailed, message}; }

}  // namespace ui::script
