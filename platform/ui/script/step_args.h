// Reading a step's words, the same way when a script is checked (nothing
// is looked up) and when it runs (controls are found in the current
// window), so that a script that parses cannot fail on its own syntax.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/script/steps.h"

namespace ui::script {

// How a step names a control: by id, by caption, or the focus.
struct ControlName {
  enum class Kind { kId, kCaption, kFocus };
  Kind kind = Kind::kId;
  int id = 0;
  std::string caption;
  std::string Text() const;
};

class Args {
 public:
  Args(const Step& step, StepContext* context) : m_step(step), m_context(context) {}

  bool Checking() const { return m_context == nullptr; }
  StepContext& Context() { return *m_context; }
  const Step& GetStep() const { return m_step; }
  size_t Count() const { return m_count; }

  // Each reader takes the word at index (counting after the command) and
  // notes a syntax error when it is not of its form.
  ControlName Control(size_t index);
  int Number(size_t index);
  std::string Text(size_t index);  // a quoted or bare word
  bool Quoted(size_t index) const;
  bool IsWord(size_t index, const char* word) const;
  std::string Keyword(size_t index, const std::vector<const char*>& allowed);
  bool Has(size_t index) const { return index + 1 < m_step.words.size(); }
  // Words after the command.
  size_t Words() const { return m_step.words.size() - 1; }
  // "timeout S" as the last two words: takes them off the end.
  void AllowTimeout();
  void Expect(size_t minimum, size_t maximum);
  std::optional<Outcome> SyntaxError() const;
  void Error(const std::string& message);

 private:
  const std::string& Word(size_t index);
  const Step& m_step;
  StepContext* m_context;
  size_t m_count = 0;
  std::string m_error;
  bool m_hasTimeout = false;
};

// The windows side of steps.
HWND FindShownWindow(const std::string& title);
HWND FindControl(HWND window, const ControlName& name);
// The text a person reads on a control: the window text, a combo box's
// selection, a status bar's parts joined by " | ".
std::string ControlText(HWND control);
// A list's cell (list view row/column, list box or combo entry, status
// bar part); false when there is no such cell.
bool CellText(HWND control, int row, int column, std::string* text);
int RowCount(HWND control);
// The first row (list) or entry (combo box) whose first cell is text.
int RowWithText(HWND control, const std::string& text);
// The tree item at a path of texts separated by "\"; *deepest is the last
// item found along it.
HTREEITEM TreeItemAt(HWND tree, const std::string& path, HTREEITEM* deepest, bool* complete);
// The topmost shown message box (with text, when given) of this process.
HWND FindMessageBox(const std::string* text);
HWND FindFileDialog();
// "ctrl+shift+F2" into a key and its modifiers.
bool ParseKey(const std::string& style, int* key, bool* control, bool* shift, bool* alt);
// Runs call on control's thread.
bool OnThreadOf(HWND window, const std::function<void()>& call);

Outcome Done();
Outcome Acted();
Outcome Again();
Outcome Waiting(const std::string& message);
Outcome Failed(const std::string& message);

}  // namespace ui::script
