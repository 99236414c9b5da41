// The editor a track's name is renamed in: an edit box over the item's label
// in the track list. While it is open a keyboard hook of the thread takes
// Enter and Esc before the dialog manager sees them (Enter would press the
// dialog's default button), and each of them, or losing the focus, asks the
// dialog to end the edit with the registered message
// "ConversionTrackListEditWindow_EndEdit" (wParam the item, lParam 1 when
// cancelled).
#pragma once

#include <string>

#include "platform/ui/ui_types.h"

namespace drumlet {

class TrackNameEditor {
 public:
  TrackNameEditor() = default;
  ~TrackNameEditor() { Close(); }
  TrackNameEditor(const TrackNameEditor&) = delete;
  TrackNameEditor& operator=(const TrackNameEditor&) = delete;

  static UINT EndEditMessage();

  // Opens over item of list, holding name (at most limit characters) and
  // focused; the end is asked of dialog. False when it cannot be made.
  bool Open(HWND list, HWND dialog, int item, const std::string& name, int limit);
  bool Active() const { return m_edit != nullptr; }
  int Item() const { return m_item; }
  // The text typed, up to 1024 characters.
  std::string Text() const;
  // Destroys the edit box and removes the hook; the dialog takes the focus.
  void Close();

 private:
  static LRESULT KeyHook(int code, WPARAM key, LPARAM flags);
  static LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void AskToEnd(bool cancel) const;

  HWND m_edit = nullptr;
  HWND m_dialog = nullptr;
  int m_item = -1;
  HHOOK m_hook = nullptr;
  WNDPROC m_editProc = nullptr;
};

}  // namespace drumlet
