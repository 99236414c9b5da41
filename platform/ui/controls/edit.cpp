// The "Edit" class: a single-line edit box (a multi-line one keeps its
// line breaks and moves between lines, no more). The text is the window
// text, in the system code page; the caret and selection are byte offsets
// that always fall on character boundaries, so a character of several
// bytes (UTF-8), which arrives as several WM_CHAR messages, is inserted,
// selected and deleted whole. Each change by a person or by EM_REPLACESEL
// sends EN_UPDATE then EN_CHANGE, as Windows does.
#include <strings.h>

#include <algorithm>

#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/control_support.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/gdi.h"
#include "platform/ui/message_api.h"
#include "platform/ui/std_controls.h"

namespace ui::controls {

namespace {

using driver::Change;

// Windows' limit for a new edit box, and the limits EM_LIMITTEXT 0 gives.
constexpr size_t kDefaultLimit = 30000;
constexpr size_t kSingleLineMaximum = 0x7FFFFFFE;
constexpr size_t kMultiLineMaximum = 0xFFFFFFFF;

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

class EditState : public core::ControlState, public driver::EditModel {
 public:
  EditState(HWND window, const char* text, bool inCombo)
      : m_window(window), m_text(text != nullptr ? text : ""), m_inCombo(inCombo) {}

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<EditState, driver::EditModel>(this, type);
  }
  int SelectionStart() const override { return static_cast<int>(std::min(m_anchor, m_caret)); }
  int SelectionEnd() const override { return static_cast<int>(std::max(m_anchor, m_caret)); }
  int Limit() const override { return static_cast<int>(std::min<size_t>(m_limit, 0x7FFFFFFF)); }
  bool ReadOnly() const override { return (StyleOf(m_window) & ES_READONLY) != 0; }

  bool MultiLine() const { return (StyleOf(m_window) & ES_MULTILINE) != 0; }
  size_t Start() const { return std::min(m_anchor, m_caret); }
  size_t End() const { return std::max(m_anchor, m_caret); }

  void Select(size_t anchor, size_t caret) {
    anchor = CharStart(m_text, std::min(anchor, m_text.size()));
    caret = CharStart(m_text, std::min(caret, m_text.size()));
    if (anchor == m_anchor && caret == m_caret) return;
    m_anchor = anchor;
    m_caret = caret;
    core::Announce(m_window, Change::kSelection);
  }

  void Notify(WORD code) { NotifyParent(m_window, code); }

  // Replaces the selection as a person or EM_REPLACESEL does: past the
  // limit the parent hears EN_MAXTEXT and only what fits goes in; a change
  // sends EN_UPDATE then EN_CHANGE.
  void ReplaceSelection(std::string text) {
    size_t start = Start();
    size_t end = End();
    if (start == end && text.empty()) return;
    DWORD style = StyleOf(m_window);
    if (style & ES_UPPERCASE) text = ChangeCase(text, true);
    if (style & ES_LOWERCASE) text = ChangeCase(text, false);
    size_t kept = m_text.size() - (end - start);
    if (kept + text.size() > m_limit) {
      Notify(EN_MAXTEXT);
      text.resize(kept < m_limit ? FittingPrefix(text, m_limit - kept) : 0);
      if (start == end && text.empty()) return;
    }
    m_text.replace(start, end - start, text);
    m_modified = true;
    Store();
    Select(start + text.size(), start + text.size());
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
  }

  void SetText(const char* text) {
    m_text = text != nullptr ? text : "";
    m_pending.clear();
    m_modified = false;
    Store();
    m_anchor = m_caret = 0;
    core::Announce(m_window, Change::kSelection);
    // A multi-line box and the field of a combo box say nothing of it.
    if (!MultiLine() && !m_inCombo) {
      Notify(EN_UPDATE);
      Notify(EN_CHANGE);
    }
  }

  void Store() { DefWindowProcA(m_window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_text.c_str())); }

  HWND m_window;
  std::string m_text;
  bool m_inCombo;
  size_t m_anchor = 0;
  size_t m_caret = 0;
  size_t m_limit = kDefaultLimit;
  bool m_modified = false;
  std::string m_pending;  // leading bytes of a character still arriving
};

bool Held(int key) { return GetKeyState(key) < 0; }

size_t LineStart(const std::string& text, size_t at) {
  size_t newline = at == 0 ? std::string::npos : text.rfind('\n', at - 1);
  return newline == std::string::npos ? 0 : newline + 1;
}

size_t LineEnd(const std::string& text, size_t at) {
  size_t newline = text.find('\n', at);
  if (newline == std::string::npos) return text.size();
  return newline > 0 && text[newline - 1] == '\r' ? newline - 1 : newline;
}

// The same column on the line above or below, or the end of that line.
size_t VerticalMove(const std::string& text, size_t caret, bool down) {
  size_t start = LineStart(text, caret);
  size_t column = caret - start;
  size_t target;
  if (down) {
    size_t newline = text.find('\n', caret);
    if (newline == std::string::npos) return caret;
    target = newline + 1;
  } else {
    if (start == 0) return caret;
    target = LineStart(text, start - 1);
  }
  return std::min(target + column, LineEnd(text, target));
}

void Move(EditState* state, size_t to, bool extend) {
  state->Select(extend ? state->m_anchor : to, to);
}

// Left or Right: a selection collapses to its side; otherwise the caret
// moves a character, extending the selection with Shift.
void Sideways(EditState* state, bool forward, bool extend) {
  if (!extend && state->Start() != state->End()) {
    Move(state, forward ? state->End() : state->Start(), false);
    return;
  }
  size_t caret = state->m_caret;
  Move(state, forward ? NextChar(state->m_text, caret) : PreviousChar(state->m_text, caret), extend);
}

void KeyDown(EditState* state, WPARAM key) {
  if (Held(VK_MENU)) return;
  bool shift = Held(VK_SHIFT);
  bool control = Held(VK_CONTROL);
  const std::string& text = state->m_text;
  size_t caret = state->m_caret;
  bool multi = state->MultiLine();
  // In a combo box, the list keys belong to the combo box.
  if (state->m_inCombo && (key == VK_UP || key == VK_DOWN || key == VK_F4 || key == VK_PRIOR ||
                           key == VK_NEXT)) {
    SendMessageA(GetParent(state->m_window), WM_KEYDOWN, key, 0);
    return;
  }
  switch (key) {
    case VK_UP:
      Move(state, multi ? VerticalMove(text, caret, false) : PreviousChar(text, caret), shift);
      break;
    case VK_LEFT:
      Sideways(state, false, shift);
      break;
    case VK_DOWN:
      Move(state, multi ? VerticalMove(text, caret, true) : NextChar(text, caret), shift);
      break;
    case VK_RIGHT:
      Sideways(state, true, shift);
      break;
    case VK_HOME:
      Move(state, multi && !control ? LineStart(text, caret) : 0, shift);
      break;
    case VK_END:
      Move(state, multi && !control ? LineEnd(text, caret) : text.size(), shift);
      break;
    case VK_DELETE:
      if (state->ReadOnly()) break;
      if (state->Start() == state->End()) state->Select(caret, NextChar(text, caret));
      state->ReplaceSelection({});
      break;
    default:
      break;
  }
}

void Character(EditState* state, unsigned char byte) {
  // The rest of a character of several bytes joins its lead; anything else
  // ends a character that will never be complete.
  if (!state->m_pending.empty()) {
    if ((byte & 0xC0) == 0x80) {
      state->m_pending.push_back(static_cast<char>(byte));
      if (state->m_pending.size() < LeadSize(static_cast<unsigned char>(state->m_pending[0]))) return;
      std::string character = std::move(state->m_pending);
      state->m_pending.clear();
      if (!state->ReadOnly() && !(StyleOf(state->m_window) & ES_NUMBER)) {
        state->ReplaceSelection(character);
      }
      return;
    }
    state->m_pending.clear();
  }
  if (LeadSize(byte) > 1) {
    state->m_pending.push_back(static_cast<char>(byte));
    return;
  }
  if (state->ReadOnly()) return;
  switch (byte) {
    case 0x08:
      if (Held(VK_CONTROL)) return;
      if (state->Start() == state->End()) {
        state->Select(PreviousChar(state->m_text, state->m_caret), state->m_caret);
      }
      state->ReplaceSelection({});
      return;
    case '\r':
    case '\n':
      if (state->MultiLine()) state->ReplaceSelection("\r\n");
      return;
    case '\t':
      if (state->MultiLine()) state->ReplaceSelection("\t");
      return;
    default:
      break;
  }
  if (byte < 0x20 || byte == 0x7F) return;
  if ((StyleOf(state->m_window) & ES_NUMBER) && (byte < '0' || byte > '9')) {
    MessageBeep(0);
    return;
  }
  state->ReplaceSelection(std::string(1, static_cast<char>(byte)));
}

// The byte offset under a click, from the font's average character width.
size_t OffsetAt(HWND window, const std::string& text, POINT point) {
  TEXTMETRICA metrics = TextMetricsOf(window);
  LONG width = std::max<LONG>(1, metrics.tmAveCharWidth);
  LONG height = std::max<LONG>(1, metrics.tmHeight);
  size_t at = 0;
  for (LONG line = point.y / height; line > 0 && at < text.size(); --line) {
    size_t newline = text.find('\n', at);
    if (newline == std::string::npos) break;
    at = newline + 1;
  }
  size_t end = LineEnd(text, at);
  for (LONG column = (point.x + width / 2) / width; column > 0 && at < end; --column) {
    at = NextChar(text, at);
  }
  return at;
}

LRESULT DialogCode(EditState* state, const MSG* msg) {
  LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
  if (!state->MultiLine()) return code;
  // A multi-line box wants every key but those that move about a dialog:
  // Tab, Esc, and Enter unless it keeps line breaks typed with ES_WANTRETURN.
  if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
    bool wantReturn = (StyleOf(state->m_window) & ES_WANTRETURN) != 0;
    if (msg->wParam == VK_TAB || msg->wParam == VK_ESCAPE ||
        (msg->wParam == VK_RETURN && !wantReturn)) {
      return code;
    }
  }
  return code | DLGC_WANTALLKEYS;
}

bool InCombo(const CREATESTRUCTA* create) {
  char name[16];
  return create->hwndParent != nullptr &&
         GetClassNameA(create->hwndParent, name, sizeof name) > 0 &&
         strcasecmp(name, WC_COMBOBOX) == 0;
}

}  // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    core::SetControlState(window, std::make_unique<EditState>(window, create->lpszName, InCombo(create)));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* state = core::ControlOf<EditState>(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_GETDLGCODE:
      return DialogCode(state, reinterpret_cast<const MSG*>(lParam));
    case WM_SETTEXT:
      state->SetText(reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_CHAR:
      Character(state, static_cast<unsigned char>(wParam));
      return 0;
    case WM_KEYDOWN:
      KeyDown(state, wParam);
      return 0;
    case WM_SETFOCUS:
      state->Notify(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      state->m_pending.clear();
      state->Notify(EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetCapture(window);
      size_t at = OffsetAt(window, state->m_text, PointOf(lParam));
      state->Select((wParam & MK_SHIFT) ? state->m_anchor : at, at);
      if (GetFocus() != window) SetFocus(window);
      return 0;
    }
    case WM_LBUTTONUP:
      if (GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_CLEAR:
      if (!state->ReadOnly()) state->ReplaceSelection({});
      return 0;
    case EM_GETSEL: {
      auto start = static_cast<DWORD>(state->Start());
      auto end = static_cast<DWORD>(state->End());
      if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = start;
      if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = end;
      return start > 0xFFFF || end > 0xFFFF ? -1 : static_cast<LRESULT>(MAKELONG(start, end));
    }
    case EM_SETSEL: {
      // A start of -1 leaves only the caret; an end of -1 (or past the
      // text) means the end of the text.
      auto start = static_cast<INT_PTR>(static_cast<int>(wParam));
      auto end = static_cast<INT_PTR>(static_cast<int>(lParam));
      size_t size = state->m_text.size();
      if (start < 0) {
        state->Select(state->m_caret, state->m_caret);
      } else {
        state->Select(std::min(static_cast<size_t>(start), size),
                      end < 0 ? size : std::min(static_cast<size_t>(end), size));
      }
      return 1;
    }
    case EM_REPLACESEL:
      state->ReplaceSelection(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
      return 0;
    case EM_GETMODIFY:
      return state->m_modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      state->m_modified = wParam != 0;
      return 0;
    case EM_LIMITTEXT:
      state->m_limit = wParam != 0 ? static_cast<size_t>(wParam)
                                   : (state->MultiLine() ? kMultiLineMaximum : kSingleLineMaximum);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(state->m_limit);
    case EM_SETREADONLY: {
      DWORD style = StyleOf(window);
      SetWindowLongA(window, GWL_STYLE,
                     static_cast<LONG>(wParam ? (style | ES_READONLY) : (style & ~ES_READONLY)));
      return TRUE;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace ui::controls
