// The driver's drags: rows or a tree item dragged from a control and
// dropped on another window, and files dropped from outside. A drag from a
// control starts as the mouse would start it (the control's BeginDrag, so
// it notifies its parent), with a pending drop that the DoDragDrop its
// parent calls takes for its mouse.
#include <memory>

#include "platform/ui/core/control_input.h"
#include "platform/ui/driver/act.h"
#include "platform/ui/message_api.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/drop_files.h"
#include "platform/ui/ole/pending_drop.h"
#include "platform/ui/window_api.h"

namespace ui::driver {

namespace {

constexpr DWORD kOutsideEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// Where a row (list) or an item (tree) of window is, else its middle, in
// screen coordinates. On window's thread.
POINT DropPointOf(HWND window, int row, HTREEITEM item) {
  if (row >= 0) {
    if (auto* input = InputOf<core::ListInput>(window))
      return ScreenPointOf(window, input->RowPoint(row));
  }
  if (item != nullptr) {
    if (auto* input = InputOf<core::TreeInput>(window))
      return ScreenPointOf(window, input->ItemPoint(item));
  }
  RECT rect{};
  GetClientRect(window, &rect);
  return ScreenPointOf(window, POINT{rect.right / 2, rect.bottom / 2});
}

// The deepest window at point that is to or lies inside it.
HWND WindowInside(HWND to, POINT point) {
  HWND at = WindowFromPoint(point);
  return at == to || IsChild(to, at) ? at : to;
}

// Starts a drag on from's thread with begin, the drop going to the row or
// item of to.
void StartDrag(HWND from, std::function<void()> begin, HWND to, int toRow, HTREEITEM toItem,
               DWORD keys) {
  Act(from, [=] {
    // Nobody aims at a window that cannot be reached.
    if (!Reachable(to)) return;
    // Asked on to's thread, which may be another; the answer is shared with
    // a call that might run there after a time-out.
    auto point = std::make_shared<POINT>();
    if (!RunOnWindowThread(
            to, [point, to, toRow, toItem] { *point = DropPointOf(to, toRow, toItem); })) {
      return;
    }
    ole::SetPendingDrop(ole::PendingDrop{to, *point, keys});
    begin();
    ole::ClearPendingDrop();
  });
}

}  // namespace

void DragRows(HWND from, const std::vector<int>& rows, HWND to, int toRow, DWORD keys,
              HTREEITEM toItem) {
  StartDrag(
      from,
      [from, rows] {
        if (auto* input = InputOf<core::ListInput>(from)) input->BeginDrag(rows);
      },
      to, toRow, toItem, keys);
}

void DragTreeItem(HWND from, HTREEITEM item, HWND to, int toRow, HTREEITEM toItem, DWORD keys) {
  StartDrag(
      from,
      [from, item] {
        if (auto* input = InputOf<core::TreeInput>(from)) input->BeginDrag(item);
      },
      to, toRow, toItem, keys);
}

void DropFiles(HWND to, const std::vector<std::string>& files, int toRow, HTREEITEM toItem,
               DWORD keys) {
  Act(to, [=] {
    POINT screen = DropPointOf(to, toRow, toItem);
    HWND at = WindowInside(to, screen);
    HWND registered = nullptr;
    if (ole::FindDropTarget(at, &registered)) {
      POINT client = screen;
      ScreenToClient(registered, &client);
      std::vector<BYTE> block = ole::DropFilesBlock(files, client, true);
      // A file manager drags no empty list.
      if (block.empty()) return;
      ComPtr<IDataObject> data;
      if (FAILED(ole::CreateDataObject({ole::DataBlock{CF_HDROP, std::move(block)}}, data.Out()))) {
        return;
      }
      ole::DragSession session(data.Get(), nullptr, kOutsideEffects);
      ole::RunPendingDrop(session, ole::PendingDrop{to, screen, keys});
      return;
    }
    // Without a drop target, the nearest window of the top-level window
    // that accepts files gets them, as the shell's file drop does it.
    for (HWND window = at; window != nullptr;
         window = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr) {
      if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) == 0) continue;
      POINT client = screen;
      ScreenToClient(window, &client);
      HDROP drop = ole::CreateHDrop(files, client, true);
      if (drop != nullptr &&
          !PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
        DragFinish(drop);
      }
      return;
    }
  });
}

}  // namespace ui::driver
