// The list view's window procedure: creation, the message switch, and the
// notifications it sends its parent.
#include "platform/ui/controls/list_view.h"

#include <utility>

#include "platform/ui/controls/common_control.h"
#include "platform/ui/controls/control_procs.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/user32.h"

namespace ui::controls {

using driver::Change;

ListViewState::ListViewState(HWND window, HWND notify, DWORD style)
    : m_window(window), m_notifier(window, notify), m_style(style), m_backColor(GetSysColor(COLOR_WINDOW)) {}

LRESULT ListViewState::Notify(UINT code, NMHDR* header) const { return m_notifier.Send(code, header); }

LRESULT ListViewState::NotifyListView(UINT code, int item, int subItem, POINT at, LPARAM lParam) const {
  NMLISTVIEW info{};
  info.iItem = item;
  info.iSubItem = subItem;
  info.ptAction = at;
  info.lParam = lParam;
  return Notify(code, &info.hdr);
}

void ListViewState::AnnounceRowChanged(int index, bool selection) {
  if (m_batch > 0) return;
  core::AnnounceRows(m_window, Change::kRowsChanged, index, 1);
  if (selection) core::Announce(m_window, Change::kSelection);
}

LRESULT ListViewState::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  auto point = [lParam] {
    return POINT{static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                 static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lParam)))};
  };
  auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case LVM_GETITEMCOUNT:
      return Count();
    case LVM_INSERTITEMA:
      return lParam != 0 ? InsertItem(*reinterpret_cast<const LVITEMA*>(lParam)) : -1;
    case LVM_SETITEMA:
      return lParam != 0 && SetItem(*reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_GETITEMA:
      return GetItem(reinterpret_cast<LVITEMA*>(lParam));
    case LVM_SETITEMTEXTA: {
      if (lParam == 0) return FALSE;
      LVITEMA item = *reinterpret_cast<const LVITEMA*>(lParam);
      item.mask = LVIF_TEXT;
      item.iItem = index;
      return SetItem(item);
    }
    case LVM_GETITEMTEXTA:
      return GetItemText(index, reinterpret_cast<LVITEMA*>(lParam));
    case LVM_DELETEITEM:
      return DeleteItem(index);
    case LVM_DELETEALLITEMS:
      DeleteAllItems(false);
      return TRUE;
    case LVM_SETITEMSTATE: {
      if (lParam == 0) return FALSE;
      const auto& item = *reinterpret_cast<const LVITEMA*>(lParam);
      if (index == -1) return SetAllItemsState(item.state, item.stateMask);
      return SetItemState(index, item.state, item.stateMask);
    }
    case LVM_GETITEMSTATE:
      return Valid(index) ? static_cast<LRESULT>(RowAt(index).state & static_cast<UINT>(lParam)) : 0;
    case LVM_GETNEXTITEM:
      return GetNextItem(index, static_cast<UINT>(LOWORD(static_cast<std::uintptr_t>(lParam))));
    case LVM_GETSELECTEDCOUNT:
      return m_selectedCount;
    case LVM_GETSELECTIONMARK:
      return m_selectionMark;
    case LVM_SETSELECTIONMARK: {
      int old = m_selectionMark;
      int mark = static_cast<int>(lParam);
      if (mark >= -1 && mark < Count()) m_selectionMark = mark;
      return old;
    }
    case LVM_FINDITEMA:
      return lParam != 0 ? FindItem(index, *reinterpret_cast<const LVFINDINFOA*>(lParam)) : -1;
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
      return SortItems(reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam),
                       message == LVM_SORTITEMSEX);
    case LVM_SETITEMCOUNT:
      if (index > 0) {
        m_rows.reserve(static_cast<size_t>(index));
        m_order.reserve(static_cast<size_t>(index));
      }
      return TRUE;
    case LVM_REDRAWITEMS:
    case LVM_UPDATE:
      core::AnnounceRows(m_window, Change::kRowsChanged, 0, Count());
      return TRUE;

    case LVM_INSERTCOLUMNA:
      return lParam != 0 ? InsertColumn(index, *reinterpret_cast<const LVCOLUMNA*>(lParam)) : -1;
    case LVM_SETCOLUMNA:
      return lParam != 0 && SetColumn(index, *reinterpret_cast<const LVCOLUMNA*>(lParam));
    case LVM_GETCOLUMNA:
      return GetColumn(index, reinterpret_cast<LVCOLUMNA*>(lParam));
    case LVM_DELETECOLUMN:
      return DeleteColumn(index);
    case LVM_GETCOLUMNWIDTH:
      return index >= 0 && index < static_cast<int>(m_columns.size())
                 ? m_columns[static_cast<size_t>(index)].width
                 : 0;
    case LVM_SETCOLUMNWIDTH:
      return SetColumnWidth(index, static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))));
    case LVM_GETHEADER:
      return 0;

    case LVM_GETITEMRECT:
      return lParam != 0 &&
             ItemRect(index, reinterpret_cast<RECT*>(lParam)->left, reinterpret_cast<RECT*>(lParam));
    case LVM_GETSUBITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      return rect != nullptr && SubItemRect(index, rect->top, rect->left, rect);
    }
    case LVM_HITTEST:
      return lParam != 0 ? HitTest(reinterpret_cast<LVHITTESTINFO*>(lParam), false, true) : -1;
    case LVM_SUBITEMHITTEST:
      return lParam != 0 ? HitTest(reinterpret_cast<LVHITTESTINFO*>(lParam), true, false) : -1;
    case LVM_ENSUREVISIBLE:
      return EnsureVisible(index, LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
    case LVM_GETTOPINDEX:
      return m_topIndex;
    case LVM_GETCOUNTPERPAGE:
      return CountPerPage();

    case LVM_SETIMAGELIST: {
      if (index < LVSIL_NORMAL || index > LVSIL_STATE) return 0;
      HIMAGELIST old = std::exchange(m_images[index], reinterpret_cast<HIMAGELIST>(lParam));
      core::Announce(m_window, Change::kState);
      core::AnnounceRows(m_window, Change::kRowsChanged, 0, Count());
      return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST:
      return index >= LVSIL_NORMAL && index <= LVSIL_STATE ? reinterpret_cast<LRESULT>(m_images[index])
                                                           : 0;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD old = m_exStyle;
      DWORD mask = static_cast<DWORD>(wParam);
      m_exStyle = mask != 0 ? (old & ~mask) | (static_cast<DWORD>(lParam) & mask)
                            : static_cast<DWORD>(lParam);
      if (m_exStyle != old) core::Announce(m_window, Change::kState);
      return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return m_exStyle;
    case LVM_SETBKCOLOR:
      m_backColor = static_cast<COLORREF>(lParam);
      return TRUE;
    case LVM_GETBKCOLOR:
      return m_backColor;
    case LVM_SETTEXTCOLOR:
      m_textColor = static_cast<COLORREF>(lParam);
      return TRUE;
    case LVM_GETTEXTCOLOR:
      return m_textColor;
    case LVM_SETTEXTBKCOLOR:
      m_textBackColor = static_cast<COLORREF>(lParam);
      return TRUE;
    case LVM_GETTEXTBKCOLOR:
      return m_textBackColor;

    case LVM_EDITLABELA:
      return reinterpret_cast<LRESULT>(EditLabel(index));
    case LVM_GETEDITCONTROL:
      return reinterpret_cast<LRESULT>(m_editor.Window());
    case LVM_CANCELEDITLABEL:
      // Windows keeps the edited text here, despite the message's name.
      m_editor.End(true);
      return TRUE;

    case WM_LBUTTONDOWN:
      OnButtonDown(static_cast<DWORD>(wParam), point());
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(point());
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(point());
      return 0;
    case WM_RBUTTONDOWN:
      OnRightButtonDown(static_cast<DWORD>(wParam), point());
      return 0;
    case WM_RBUTTONUP:
      OnRightButtonUp(point());
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<DWORD>(wParam), point());
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<int>(wParam));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus();
      return 0;
    case WM_TIMER:
      if (wParam != kEditTimer) break;
      KillTimer(m_window, kEditTimer);
      OnEditTimer();
      return 0;
    case WM_COMMAND:
      return m_editor.ForwardCommand(m_notifier.Parent(), wParam, lParam);
    case WM_STYLECHANGED:
      m_style = static_cast<DWORD>(GetWindowLongA(m_window, GWL_STYLE));
      break;
    case WM_SETFONT:
      DefWindowProcA(m_window, message, wParam, lParam);
      core::AnnounceRows(m_window, Change::kRowsChanged, 0, Count());
      return 0;
    case WM_DESTROY:
      DeleteAllItems(true);
      break;
    case WM_NCDESTROY:
      if (!(m_style & LVS_SHAREIMAGELISTS)) {
        for (HIMAGELIST& images : m_images) {
          if (images != nullptr) ImageList_Destroy(std::exchange(images, nullptr));
        }
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(m_window, message, wParam, lParam);
}

LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CommonControlProc<ListViewState>(window, message, wParam, lParam);
}

}  // namespace ui::controls
