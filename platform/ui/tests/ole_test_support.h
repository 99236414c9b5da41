// Test support for drag and drop: a drop target and a drop source that
// write every call they get into one log, and a list of rows that starts a
// drag as a list view does (LVN_BEGINDRAG to its parent).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/ui/ole.h"

namespace ui::testing {

using DragLog = std::vector<std::string>;

// Logs "enter keys=K at=X,Y allowed=A -> E", "over ...", "leave" and
// "drop keys=K at=X,Y allowed=A -> E"; choose(keys, data) picks the effect
// it answers. onDrop runs inside Drop, with the data.
class RecordingDropTarget final : public ComObject<RecordingDropTarget, IDropTarget> {
 public:
  using Chooser = std::function<DWORD(DWORD keys)>;
  static ComPtr<IDropTarget> Make(DragLog* log, Chooser choose,
                                  std::function<void(IDataObject*)> onDrop = nullptr);

  InterfaceTable Interfaces() { return {{&IID_IDropTarget, static_cast<IDropTarget*>(this)}}; }
  HRESULT DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

 private:
  friend ComObject<RecordingDropTarget, IDropTarget>;
  RecordingDropTarget(DragLog* log, Chooser choose, std::function<void(IDataObject*)> onDrop)
      : m_log(log), m_choose(std::move(choose)), m_onDrop(std::move(onDrop)) {}
  ~RecordingDropTarget() { m_log->push_back("target gone"); }
  void Answer(const char* what, DWORD keys, POINTL point, DWORD* effect);

  DragLog* m_log;
  Chooser m_choose;
  std::function<void(IDataObject*)> m_onDrop;
};

// Answers as a program's drop source does: Esc cancels, letting go of the
// button drops. Logs "query keys=K esc=0|1 -> continue|drop|cancel" and
// "feedback E".
class RecordingDropSource final : public ComObject<RecordingDropSource, IDropSource> {
 public:
  static ComPtr<IDropSource> Make(DragLog* log);

  InterfaceTable Interfaces() { return {{&IID_IDropSource, static_cast<IDropSource*>(this)}}; }
  HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keys) override;
  HRESULT GiveFeedback(DWORD effect) override;

 private:
  friend ComObject<RecordingDropSource, IDropSource>;
  explicit RecordingDropSource(DragLog* log) : m_log(log) {}
  ~RecordingDropSource() = default;

  DragLog* m_log;
};

// LVN_BEGINDRAG.
constexpr UINT kBeginDrag = static_cast<UINT>(-109);

// A child window whose rows lie 16 pixels apart (row r at 10, 8 + 16 r)
// and which tells its parent when a drag of rows begins (WM_NOTIFY
// kBeginDrag); the rows dragged last are in DraggedRows.
HWND MakeRowList(HWND parent, int id, int x, int y, int width, int height);
std::vector<int> DraggedRows(HWND list);

// "at=X,Y" for the middle of window's client area, in screen coordinates.
std::string MiddleOf(HWND window);

}  // namespace ui::testing
