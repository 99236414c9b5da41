// The edit box a list view or tree view opens over a label: a child "Edit"
// window subclassed as comctl32 subclasses it, so that Enter ends the edit
// keeping the text, Esc ends it cancelled and losing the focus ends it
// keeping the text. The owner decides what ending means.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/ui_types.h"

namespace ui::controls {

// A second click on a selected label begins editing once Windows' default
// double-click time has passed without a double click.
constexpr UINT kLabelEditDelayMs = 500;

class LabelEditor {
 public:
  // Called once per edit, before the edit box goes; save is false for Esc.
  using EndHandler = std::function<void(bool save)>;

  LabelEditor() = default;
  LabelEditor(const LabelEditor&) = delete;
  LabelEditor& operator=(const LabelEditor&) = delete;

  // Makes the edit box (hidden, holding text) as a child of owner; null
  // when the edit class cannot be made.
  HWND Open(HWND owner, const std::string& text, int limit, EndHandler onEnd);
  HWND Window() const { return m_window; }
  bool Active() const { return m_window != nullptr; }
  // Ends the edit: the handler runs, then the edit box is closed.
  void End(bool save);
  // Closes the edit box without ending (the owner refused to begin).
  void Discard();
  // A WM_COMMAND the owner received: the edit box's notifications go on to
  // the owner's parent, but for its loss of focus, which ends the edit here.
  LRESULT ForwardCommand(HWND parent, WPARAM wParam, LPARAM lParam) const;

 private:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Close(HWND window);

  HWND m_window = nullptr;
  WNDPROC m_editProc = nullptr;
  EndHandler m_onEnd;
};

}  // namespace ui::controls
