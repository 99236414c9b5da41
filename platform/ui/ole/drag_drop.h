// OLE drag and drop: drop targets registered per window, and DoDragDrop's
// modal drag on the calling thread. Here the mouse is whoever moves it: the
// driver, whose drag actions leave a pending drop for the drag they start,
// or the front-end, whose DragRunner reports the real pointer. With
// neither, nobody can move the mouse, and DoDragDrop gives up at once.
//
// Each step of a drag goes as in Windows: the source is asked
// (QueryContinueDrag), the target under the pointer is entered or left
// (the window registered there or its nearest registered ancestor), the
// target is asked (DragOver) and the source told (GiveFeedback); when the
// source drops, the target gets Drop if it chose an effect, else DragLeave.
// Targets are called on their window's thread.
#pragma once

#include <functional>

#include "platform/base/export.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/ole/ole_interfaces.h"

// DRAGDROP_E_INVALIDHWND for a handle that is no window. A window destroyed
// without RevokeDragDrop has its target released at the next registration
// change or drag.
QAP_EXPORT HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
QAP_EXPORT HRESULT RevokeDragDrop(HWND window);
// DRAGDROP_S_DROP (the effect the target carried out, within allowed, in
// *effect: DROPEFFECT_NONE when it refused) or DRAGDROP_S_CANCEL; a
// failure of the target's Drop is returned as it is.
QAP_EXPORT HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect);

namespace ui::ole {

// Where the pointer of a drag is and what is held.
struct DragPointer {
  POINT screen{};
  DWORD keys = 0;       // MK_*: MK_LBUTTON while the button is down
  bool escape = false;  // Esc was pressed
  // The window the pointer is over when the mover knows it; otherwise the
  // window at the point (WindowFromPoint).
  HWND over = nullptr;
};

// One drag, a step at a time. A null source is a drag from outside (files
// from a file manager): it goes on while a button is held, drops when none
// is, and ends on Esc.
class QAP_EXPORT DragSession {
 public:
  DragSession(IDataObject* data, IDropSource* source, DWORD allowed);
  // Leaves the target as a cancel would, if the drag is still on.
  ~DragSession();
  DragSession(const DragSession&) = delete;
  DragSession& operator=(const DragSession&) = delete;

  // A move of the pointer or a change of keys; false once the drag is over.
  bool Step(const DragPointer& pointer);
  void Cancel();
  bool Over() const { return m_done; }
  // DRAGDROP_S_DROP or DRAGDROP_S_CANCEL once over (or Drop's failure).
  HRESULT Result() const { return m_result; }
  // The effect the target chose, within allowed; once over, the one done.
  DWORD Effect() const { return m_effect; }

 private:
  void Enter(HWND window);
  void Leave();
  void Feedback();
  void End(HRESULT result);

  ComPtr<IDataObject> m_data;
  ComPtr<IDropSource> m_source;
  DWORD m_allowed;
  HWND m_over = nullptr;          // where the pointer is
  HWND m_targetWindow = nullptr;  // the registered window entered
  ComPtr<IDropTarget> m_target;
  POINTL m_point{};
  DWORD m_keys = 0;
  DWORD m_effect = DROPEFFECT_NONE;
  HRESULT m_result = DRAGDROP_S_CANCEL;
  bool m_done = false;
};

// The front-end's drag with the real mouse.
class DragRunner {
 public:
  virtual ~DragRunner() = default;
  // Runs a drag on the calling thread: hands each move of the pointer and
  // each change of keys to step, in order, until step answers false (the
  // drag is over), keeping the thread's messages going meanwhile as a
  // modal loop does. Returning earlier cancels the drag.
  virtual void Run(const std::function<bool(const DragPointer&)>& step) = 0;
};

// Used by DoDragDrop when no pending drop of the driver waits; null removes
// it.
QAP_EXPORT void SetDragRunner(DragRunner* runner);

}  // namespace ui::ole
