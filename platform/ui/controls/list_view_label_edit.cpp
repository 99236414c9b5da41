// Editing an item's label in place: LVN_BEGINLABELEDIT with the edit box
// already made (a parent answering TRUE refuses), then LVN_ENDLABELEDIT
// with the new text, or none when cancelled or unchanged, whose answer
// decides whether the item takes it.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/ui/controls/list_view.h"
#include "platform/ui/user32.h"

namespace ui::controls {

namespace {

constexpr int kLabelLimit = 260;  // comctl32's label buffer

}  // namespace

NMLVDISPINFOA ListViewState::LabelInfo(int index, LPSTR text, int size) const {
  NMLVDISPINFOA info{};
  info.item.mask = LVIF_PARAM | LVIF_STATE | LVIF_TEXT;
  info.item.iItem = index;
  info.item.stateMask = ~0u;
  info.item.state = RowAt(index).state;
  info.item.lParam = RowAt(index).lParam;
  info.item.pszText = text;
  info.item.cchTextMax = size;
  return info;
}

HWND ListViewState::EditLabel(int index) {
  if (!(m_style & LVS_EDITLABELS)) return nullptr;
  HWND self = m_window;
  // A label still being edited ends first, keeping its text.
  if (m_editor.Active()) {
    SetFocus(m_window);
    if (!IsWindow(self)) return nullptr;
    m_editor.End(true);
  }
  if (!Valid(index)) return nullptr;
  m_editItem = index;
  SetSelection(index);
  if (!IsWindow(self) || !Valid(index)) return nullptr;
  SetItemFocus(index);
  if (!IsWindow(self) || !Valid(index)) return nullptr;

  std::string text(RowText(RowAt(index)).substr(0, kLabelLimit - 1));
  HWND edit = m_editor.Open(m_window, text, kLabelLimit - 1, [this](bool save) { EndEditLabel(save); });
  if (edit == nullptr) return nullptr;

  char buffer[kLabelLimit];
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  NMLVDISPINFOA info = LabelInfo(index, buffer, kLabelLimit);
  if (Notify(LVN_BEGINLABELEDITA, &info.hdr) != 0) {
    if (IsWindow(self)) m_editor.Discard();
    return nullptr;
  }
  if (!IsWindow(self) || !IsWindow(edit)) return nullptr;

  // Over the label, wide enough for the text and two more characters.
  RECT label = LabelRect(index);
  int width = TextWidth(text) + 2 * TextWidth("W") + 4;
  MoveWindow(edit, label.left - 2, label.top - 1, width, label.bottom - label.top + 2, FALSE);
  ShowWindow(edit, SW_NORMAL);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  return edit;
}

void ListViewState::EndEditLabel(bool save) {
  HWND self = m_window;
  HWND edit = m_editor.Window();
  int index = std::exchange(m_editItem, -1);
  if (!Valid(index)) return;
  std::string text;
  if (save) {
    int length = GetWindowTextLengthA(edit);
    text.resize(static_cast<size_t>(length) + 1);
    text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), length + 1)));
  }
  bool same = text == RowText(RowAt(index));
  bool offered = save && !text.empty() && !same;

  NMLVDISPINFOA info =
      LabelInfo(index, offered ? text.data() : nullptr, offered ? static_cast<int>(text.size()) : 0);
  LRESULT keep = Notify(LVN_ENDLABELEDITA, &info.hdr);
  if (!keep || !offered || !IsWindow(self) || !Valid(index)) return;
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = text.data();
  SetMainItem(item, false);
}

}  // namespace ui::controls
