// The commands of window scripts. Each reads its words through Args, so
// that checking a script and running it read them the same way; when
// checking, a command stops after reading.
#include "platform/ui/script/steps.h"

#include <fstream>
#include <functional>
#include <map>

#include "platform/ui/script/step_args.h"
#include "platform/ui/user32.h"

namespace ui::script {

namespace {

using Command = std::function<Outcome(Args&)>;

// Resolves a control of the current window, or says why not.
bool Resolve(Args& args, const ControlName& name, HWND* control, Outcome* failure) {
  HWND window = *args.Context().current;
  if (window == nullptr || !IsWindow(window)) {
    *failure = Failed("there is no current window: start with \"wait window\"");
    return false;
  }
  *control = FindControl(window, name);
  if (*control == nullptr) {
    *failure = Failed("no control " + name.Text() + " in the window");
    return false;
  }
  return true;
}

std::string Shown(const std::string& text) { return "\"" + text + "\""; }

// ---- windows ----

Outcome WaitWindow(Args& args) {
  args.AllowTimeout();
  args.Expect(2, 2);
  if (!args.IsWord(0, "window")) args.Error("\"wait window\" is followed by a title");
  std::string title = args.Text(1);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = FindShownWindow(title);
  // A person waits until the window can be used: not while a message box
  // or dialog over it holds it disabled.
  if (window == nullptr || !IsWindowEnabled(window)) {
    return Waiting("no window " + Shown(title) + " appeared in time");
  }
  *args.Context().current = window;
  return Done();
}

Outcome Use(Args& args) {
  args.Expect(1, 1);
  std::string title = args.Text(0);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = FindShownWindow(title);
  if (window == nullptr) return Failed("no window " + Shown(title) + " is shown");
  *args.Context().current = window;
  return Done();
}

Outcome WaitGone(Args& args) {
  args.AllowTimeout();
  args.Expect(1, 2);
  std::string title = args.Words() >= 2 && args.Has(1) && args.Quoted(1) ? args.Text(1) : "";
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = title.empty() ? *args.Context().current : FindShownWindow(title);
  if (window == nullptr || !IsWindow(window) || !IsWindowVisible(window)) return Done();
  return Waiting("the window is still shown");
}

Outcome WaitClass(Args& args) {
  args.AllowTimeout();
  args.Expect(2, 2);
  std::string className = args.Text(1);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  for (HWND window : ui::driver::TopLevelWindows()) {
    ui::driver::WindowInfo info;
    if (ui::driver::GetWindowInfo(window, &info) && info.visible && info.className == className) {
      *args.Context().current = window;
      return Done();
    }
  }
  return Waiting("no window of the class " + Shown(className) + " appeared in time");
}

// "wait text|contains|enabled|cell CONTROL ..."
Outcome WaitFor(Args& args) {
  std::string what = args.Keyword(0, {"window", "class", "gone", "text", "contains", "enabled", "cell"});
  if (what == "window") return WaitWindow(args);
  if (what == "class") return WaitClass(args);
  if (what == "gone") return WaitGone(args);
  args.AllowTimeout();
  ControlName name = args.Control(1);
  std::string wanted;
  int row = 0;
  int column = 0;
  if (what == "cell") {
    args.Expect(5, 5);
    row = args.Number(2);
    column = args.Number(3);
    wanted = args.Text(4);
  } else if (what == "enabled") {
    args.Expect(2, 2);
  } else {
    args.Expect(3, 3);
    wanted = args.Text(2);
  }
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = *args.Context().current;
  HWND control = window != nullptr ? FindControl(window, name) : nullptr;
  if (control == nullptr) return Waiting("no control " + name.Text() + " appeared in time");
  if (what == "enabled") {
    return IsWindowEnabled(control) ? Done() : Waiting(name.Text() + " stayed disabled");
  }
  std::string text;
  if (what == "cell") {
    if (!CellText(control, row, column, &text)) text = "(no such cell)";
  } else {
    text = ControlText(control);
  }
  bool met = what == "contains" ? text.find(wanted) != std::string::npos : text == wanted;
  return met ? Done() : Waiting(name.Text() + " shows " + Shown(text) + ", not " + Shown(wanted));
}

Outcome Close(Args& args) {
  args.Expect(0, 0);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = *args.Context().current;
  if (window == nullptr || !IsWindow(window)) return Failed("there is no current window to close");
  ui::driver::CloseWindow(window);
  return Acted();
}

// ---- acting on controls ----

Outcome Click(Args& args) {
  args.Expect(1, 1);
  ControlName name = args.Control(0);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  if (!IsWindowEnabled(control) || !IsWindowVisible(control)) {
    return Failed(name.Text() + " cannot be clicked: it is disabled or hidden");
  }
  ui::driver::Click(control);
  return Acted();
}

Outcome Check(Args& args) {
  args.Expect(2, 2);
  ControlName name = args.Control(0);
  bool on = args.Keyword(1, {"on", "off"}) == "on";
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  if (!IsWindowEnabled(control)) return Failed(name.Text() + " is disabled");
  ui::driver::SetCheck(control, on);
  return Acted();
}

// The row a step names: "row N" or "TEXT" at index; -1 for none given.
int RowArgument(Args& args, size_t index, HWND control, bool* named, Outcome* failure) {
  *named = false;
  if (!args.Has(index)) return -1;
  *named = true;
  if (args.IsWord(index, "row")) {
    int row = args.Number(index + 1);
    if (!args.Checking() && row >= RowCount(control)) {
      *failure = Failed("there is no row " + std::to_string(row));
      return -2;
    }
    return row;
  }
  std::string text = args.Text(index);
  if (args.Checking()) return 0;
  int row = RowWithText(control, text);
  if (row < 0) *failure = Failed("no row shows " + Shown(text));
  return row < 0 ? -2 : row;
}

Outcome Select(Args& args) {
  ControlName name = args.Control(0);
  bool entry = args.IsWord(1, "entry");
  bool row = args.IsWord(1, "row");
  // CONTROL, then "row N", "entry N" or a text, then the keys held.
  size_t keysAt = entry || row ? 3 : 2;
  args.Expect(keysAt, keysAt + 1);
  int index = entry || row ? args.Number(2) : 0;
  std::string text = entry || row ? "" : args.Text(1);
  std::string keys = args.Has(keysAt) ? args.Keyword(keysAt, {"ctrl", "shift"}) : "";
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  DWORD held = keys == "ctrl" ? MK_CONTROL : keys == "shift" ? MK_SHIFT : 0;
  bool combo = false;
  bool tree = false;
  OnThreadOf(control, [&] {
    combo = ui::driver::Model<ui::driver::ComboModel>(control) != nullptr;
    tree = ui::driver::Model<ui::driver::TreeViewModel>(control) != nullptr;
  });
  if (tree) {
    HTREEITEM deepest;
    bool complete;
    HTREEITEM item = TreeItemAt(control, text, &deepest, &complete);
    if (item == nullptr) return Failed("no item " + Shown(text) + " in the tree (expand it first)");
    ui::driver::ClickTreeItem(control, item);
    return Acted();
  }
  if (!entry && !row) index = RowWithText(control, text);
  if (index < 0 || index >= RowCount(control)) {
    return Failed(row || entry ? "there is no row " + std::to_string(index)
                               : "nothing shows " + Shown(text));
  }
  if (combo) {
    ui::driver::SelectEntry(control, index);
  } else {
    ui::driver::ClickRow(control, index, held);
  }
  return Acted();
}

Outcome ClickRowLike(Args& args, bool right) {
  args.Expect(1, 3);
  ControlName name = args.Control(0);
  if (args.SyntaxError() && args.Checking()) return *args.SyntaxError();
  HWND control = nullptr;
  Outcome failure;
  if (!args.Checking() && !Resolve(args, name, &control, &failure)) return failure;
  bool named;
  int row = RowArgument(args, 1, control, &named, &failure);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  if (row == -2) return failure;
  if (right) {
    ui::driver::RightClickRow(control, row);
  } else if (named) {
    ui::driver::DoubleClickRow(control, row);
  } else {
    ui::driver::DoubleClick(control);
  }
  return Acted();
}

Outcome DoubleClick(Args& args) { return ClickRowLike(args, false); }
Outcome RightClick(Args& args) { return ClickRowLike(args, true); }

Outcome ExpandOrCollapse(Args& args, bool expand) {
  args.Expect(2, 2);
  ControlName name = args.Control(0);
  std::string path = args.Text(1);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  HTREEITEM deepest;
  bool complete;
  HTREEITEM item = TreeItemAt(control, path, &deepest, &complete);
  // A person opens the path a level at a time: each level's children may
  // be filled only when it is expanded.
  HTREEITEM target = complete ? item : deepest;
  if (target == nullptr) return Failed("no item " + Shown(path) + " in the tree");
  bool expanded = false;
  OnThreadOf(control, [&] {
    ui::driver::TreeItemInfo info;
    if (auto* model = ui::driver::Model<ui::driver::TreeViewModel>(control)) {
      if (model->Item(target, &info)) expanded = info.expanded;
    }
  });
  if (!complete && expanded) return Failed("no item " + Shown(path) + " in the tree");
  if (!complete) {
    ui::driver::ExpandTreeItem(control, target, true);
    return Again();
  }
  if (expanded == expand) return Done();
  ui::driver::ExpandTreeItem(control, target, expand);
  return Acted();
}

Outcome Expand(Args& args) { return ExpandOrCollapse(args, true); }
Outcome Collapse(Args& args) { return ExpandOrCollapse(args, false); }

Outcome Column(Args& args) {
  args.Expect(2, 2);
  ControlName name = args.Control(0);
  int column = args.Number(1);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  ui::driver::ClickColumn(control, column);
  return Acted();
}

Outcome TypeInto(Args& args, bool replace) {
  args.Expect(2, 2);
  ControlName name = args.Control(0);
  std::string text = args.Text(1);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  if (!IsWindowEnabled(control)) return Failed(name.Text() + " is disabled");
  if (replace) ui::driver::SelectAllText(control);
  ui::driver::TypeText(control, text);
  return Acted();
}

Outcome Type(Args& args) { return TypeInto(args, false); }
Outcome SetText(Args& args) { return TypeInto(args, true); }

Outcome Key(Args& args) {
  args.Expect(1, 1);
  std::string style = args.Text(0);
  int key = 0;
  bool control = false;
  bool shift = false;
  bool alt = false;
  if (!style.empty() && !ParseKey(style, &key, &control, &shift, &alt)) {
    args.Error(Shown(style) + " is not a key");
  }
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = *args.Context().current;
  if (window == nullptr || !IsWindow(window)) return Failed("there is no current window");
  ui::driver::PressKey(window, key, control, shift, alt);
  return Acted();
}

// The id of the item with this text (or id) in menu or its pop-ups; 0 for none.
UINT FindMenuItem(HMENU menu, const std::string& wanted, bool byId, bool* grayed) {
  for (const auto& item : ui::driver::MenuItems(menu)) {
    if (item.popup) {
      if (UINT found = FindMenuItem(item.subMenu, wanted, byId, grayed)) return found;
      continue;
    }
    std::string text = item.text.substr(0, item.text.find('\t'));
    std::string plain;
    for (char c : text) {
      if (c != '&') plain += c;
    }
    if (item.id != 0 && (byId ? std::to_string(item.id) == wanted : plain == wanted)) {
      *grayed = item.grayed;
      return item.id;
    }
  }
  return 0;
}

Outcome Menu(Args& args) {
  args.AllowTimeout();
  args.Expect(1, 1);
  bool byId = !args.Quoted(0);
  std::string wanted = args.Text(0);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  for (HWND window : ui::driver::TopLevelWindows()) {
    HMENU popup = nullptr;
    OnThreadOf(window, [&] { popup = ui::driver::TrackedMenu(window); });
    if (popup == nullptr) continue;
    bool grayed = false;
    UINT id = FindMenuItem(popup, wanted, byId, &grayed);
    if (id == 0) return Failed("the open menu has no item " + Shown(wanted));
    if (grayed) return Failed("the menu item " + Shown(wanted) + " is grayed");
    ui::driver::ChooseMenuItem(window, id);
    return Acted();
  }
  HWND current = *args.Context().current;
  HMENU bar = current != nullptr ? ui::driver::WindowMenu(current) : nullptr;
  bool grayed = false;
  UINT id = bar != nullptr ? FindMenuItem(bar, wanted, byId, &grayed) : 0;
  if (id == 0) return Waiting("no menu with an item " + Shown(wanted) + " was opened");
  if (grayed) return Failed("the menu item " + Shown(wanted) + " is grayed");
  ui::driver::ChooseMenuItem(current, id);
  return Acted();
}

// ---- answering ----

Outcome Answer(Args& args) {
  args.AllowTimeout();
  bool file = args.IsWord(0, "file") || args.IsWord(1, "file");
  if (file) {
    bool cancel = args.IsWord(0, "cancel");
    if (cancel) args.Expect(2, 2);
    std::vector<std::string> paths;
    for (size_t index = 1; !cancel && args.Has(index); ++index) paths.push_back(args.Text(index));
    if (!cancel && paths.empty()) args.Error("\"answer file\" names at least one file");
    if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
    HWND dialog = FindFileDialog();
    if (dialog == nullptr) return Waiting("no file dialog opened");
    if (cancel) {
      ui::driver::Click(GetDlgItem(dialog, IDCANCEL));
      return Acted();
    }
    std::string names;
    if (paths.size() == 1) {
      names = paths.front();
    } else {
      for (const auto& path : paths) names += (names.empty() ? "\"" : " \"") + path + "\"";
    }
    HWND edit = GetDlgItem(dialog, 1152);
    ui::driver::SelectAllText(edit);
    ui::driver::TypeText(edit, names);
    ui::driver::Click(GetDlgItem(dialog, IDOK));
    return Acted();
  }
  args.Expect(1, 2);
  static const std::map<std::string, int> kButtons{{"yes", IDYES},     {"no", IDNO},
                                                   {"ok", IDOK},       {"cancel", IDCANCEL},
                                                   {"retry", IDRETRY}, {"abort", IDABORT},
                                                   {"ignore", IDIGNORE}};
  std::string which = args.Keyword(0, {"yes", "no", "ok", "cancel", "retry", "abort", "ignore"});
  std::string text = args.Has(1) ? args.Text(1) : "";
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND box = FindMessageBox(args.Has(1) ? &text : nullptr);
  if (box == nullptr) {
    return Waiting(args.Has(1) ? "no message box " + Shown(text) + " opened" : "no message box opened");
  }
  HWND button = GetDlgItem(box, kButtons.at(which));
  if (button == nullptr) return Failed("the message box has no button " + Shown(which));
  ui::driver::Click(button);
  return Acted();
}

// ---- checking ----

Outcome ExpectState(Args& args, const std::string& what) {
  args.Expect(2, 2);
  ControlName name = args.Control(1);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  bool holds = false;
  if (what == "enabled" || what == "disabled") {
    holds = (IsWindowEnabled(control) != FALSE) == (what == "enabled");
  } else if (what == "shown" || what == "hidden") {
    holds = (IsWindowVisible(control) != FALSE) == (what == "shown");
  } else {
    int state = -1;
    OnThreadOf(control, [&] {
      if (auto* button = ui::driver::Model<ui::driver::ButtonModel>(control)) state = button->CheckState();
    });
    if (state < 0) return Failed(name.Text() + " cannot be checked");
    holds = (state != 0) == (what == "checked");
  }
  return holds ? Done() : Failed(name.Text() + " is not " + what);
}

Outcome ExpectStep(Args& args) {
  std::string what = args.Keyword(0, {"text", "contains", "cell", "rows", "enabled", "disabled",
                                      "checked", "unchecked", "shown", "hidden", "box"});
  if (what == "box") {
    args.AllowTimeout();
    args.Expect(2, 2);
    std::string text = args.Text(1);
    if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
    HWND box = FindMessageBox(nullptr);
    if (box == nullptr) return Waiting("no message box opened");
    std::string shown = ControlText(GetDlgItem(box, kMessageBoxTextId));
    return shown == text ? Done() : Failed("the message box says " + Shown(shown));
  }
  if (what != "text" && what != "contains" && what != "cell" && what != "rows") {
    return ExpectState(args, what);
  }
  ControlName name = args.Control(1);
  int row = 0;
  int column = 0;
  int rows = 0;
  std::string wanted;
  if (what == "cell") {
    args.Expect(5, 5);
    row = args.Number(2);
    column = args.Number(3);
    wanted = args.Text(4);
  } else if (what == "rows") {
    args.Expect(3, 3);
    rows = args.Number(2);
  } else {
    args.Expect(3, 3);
    wanted = args.Text(2);
  }
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  if (what == "rows") {
    int count = RowCount(control);
    return count == rows ? Done()
                         : Failed(name.Text() + " has " + std::to_string(count) + " rows, not " +
                                  std::to_string(rows));
  }
  std::string text;
  if (what == "cell") {
    if (!CellText(control, row, column, &text)) {
      return Failed(name.Text() + " has no cell " + std::to_string(row) + ", " + std::to_string(column));
    }
  } else {
    text = ControlText(control);
  }
  bool met = what == "contains" ? text.find(wanted) != std::string::npos : text == wanted;
  return met ? Done() : Failed(name.Text() + " shows " + Shown(text) + ", not " + Shown(wanted));
}

// ---- outside the windows ----

Outcome Drop(Args& args) {
  ControlName name = args.Control(0);
  size_t first = args.IsWord(1, "row") ? 3 : 1;
  int row = first == 3 ? args.Number(2) : -1;
  std::vector<std::string> files;
  for (size_t index = first; args.Has(index); ++index) files.push_back(args.Text(index));
  if (files.empty()) args.Error("\"drop\" names at least one file");
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND control;
  Outcome failure;
  if (!Resolve(args, name, &control, &failure)) return failure;
  ui::driver::DropFiles(control, files, row);
  return Acted();
}

Outcome Drag(Args& args) {
  ControlName from = args.Control(0);
  if (!args.IsWord(1, "row")) args.Error("\"drag\" takes \"CONTROL row N to CONTROL\"");
  int row = args.Number(2);
  if (!args.IsWord(3, "to")) args.Error("\"drag\" takes \"CONTROL row N to CONTROL\"");
  ControlName to = args.Control(4);
  size_t next = 5;
  int toRow = -1;
  if (args.IsWord(next, "row")) {
    toRow = args.Number(next + 1);
    next += 2;
  }
  bool copy = args.Has(next) && args.Keyword(next, {"copy"}) == "copy";
  args.Expect(next + (args.Has(next) ? 1 : 0), next + 1);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND source;
  HWND target;
  Outcome failure;
  if (!Resolve(args, from, &source, &failure) || !Resolve(args, to, &target, &failure)) return failure;
  ui::driver::DragRows(source, {row}, target, toRow, copy ? MK_CONTROL : 0);
  return Acted();
}

Outcome Snapshot(Args& args) {
  args.Expect(1, 1);
  std::string file = args.Text(0);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = *args.Context().current;
  if (window == nullptr || !IsWindow(window)) return Failed("there is no current window");
  std::string picture;
  OnThreadOf(window, [&] { picture = ui::driver::Describe(window); });
  std::ofstream out(file, std::ios::binary);
  out << picture;
  if (!out.flush()) return Failed("cannot write " + Shown(file));
  return Done();
}

Outcome Screenshot(Args& args) {
  args.Expect(1, 1);
  std::string file = args.Text(0);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  HWND window = *args.Context().current;
  if (window == nullptr || !IsWindow(window)) return Failed("there is no current window");
  const Services& services = *args.Context().services;
  if (!services.screenshot) return Failed("screenshots need the front-end, which is not loaded");
  std::string error;
  if (!services.screenshot(window, file, &error)) return Failed(error);
  return Done();
}

Outcome Print(Args& args) {
  args.Expect(1, 1);
  std::string text = args.Text(0);
  if (auto error = args.SyntaxError(); error || args.Checking()) return error.value_or(Done());
  if (args.Context().services->print) args.Context().services->print(text);
  return Done();
}

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands{
      {"wait", WaitFor},       {"use", Use},
      {"close", Close},        {"click", Click},
      {"check", Check},        {"select", Select},
      {"doubleclick", DoubleClick}, {"rightclick", RightClick},
      {"expand", Expand},      {"collapse", Collapse},
      {"column", Column},      {"type", Type},
      {"settext", SetText},    {"key", Key},
      {"menu", Menu},          {"answer", Answer},
      {"expect", ExpectStep},  {"drop", Drop},
      {"drag", Drag},          {"snapshot", Snapshot},
      {"screenshot", Screenshot}, {"print", Print},
  };
  return commands;
}

}  // namespace

bool CheckStep(const Step& step, std::string* error) {
  if (step.native || step.until) return true;
  auto it = Commands().find(step.words.front());
  if (it == Commands().end() || step.quoted.front()) {
    *error = "\"" + step.words.front() + "\" is not a step (see SCRIPT.md)";
    return false;
  }
  Args args(step, nullptr);
  Outcome outcome = it->second(args);
  if (outcome.kind == Outcome::Kind::kFailed) {
    *error = outcome.message;
    return false;
  }
  return true;
}

Outcome RunStep(const Step& step, StepContext& context) {
  if (step.native) {
    step.native(*context.current);
    return Acted();
  }
  if (step.until) {
    return step.until(*context.current) ? Acted() : Waiting("the condition did not hold in time");
  }
  Args args(step, &context);
  return Commands().at(step.words.front())(args);
}

}  // namespace ui::script
