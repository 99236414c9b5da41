// The "msctls_statusbar32" class: parts given by their right edges (-1
// reaching the window's edge) each with a text and a drawing type, a
// simple mode with a text of its own, and the bar's place along the bottom
// of its parent, taken again on every WM_SIZE as Windows does. The window
// text is the first part's text.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/control_support.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/window.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/progress_status.h"

namespace ui::controls {

namespace {

using driver::Change;

// The common control placement styles (CCS_*) that a status bar obeys.
constexpr DWORD kPlacementMask = 0x0003;
constexpr DWORD kPlaceTop = 0x0001;       // CCS_TOP
constexpr DWORD kNoResize = 0x0004;       // CCS_NORESIZE
constexpr DWORD kNoParentAlign = 0x0008;  // CCS_NOPARENTALIGN
constexpr int kMaxParts = 256;
// Borders between and around the parts: none at the sides, 2 above and
// below, 2 between parts, as comctl32 draws them.
constexpr int kVerticalBorder = 2;
constexpr int kGap = 2;

struct Part {
  int right = -1;
  std::string text;
  WORD type = 0;
};

class StatusState : public core::ControlState, public driver::StatusBarModel {
 public:
  explicit StatusState(HWND window) : m_window(window) {}

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<StatusState, driver::StatusBarModel>(this, type);
  }
  std::vector<driver::StatusPart> Parts() const override {
    if (m_simple) return {driver::StatusPart{-1, m_simpleText}};
    std::vector<driver::StatusPart> parts;
    for (const Part& part : m_parts) parts.push_back(driver::StatusPart{part.right, part.text});
    return parts;
  }

  HWND m_window;
  std::vector<Part> m_parts{Part{}};
  bool m_simple = false;
  std::string m_simpleText;
  WORD m_simpleType = 0;
  int m_height = 20;
  bool m_placing = false;
};

void Place(HWND window, StatusState* state) {
  DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  HWND parent = GetParent(window);
  if ((style & kNoResize) || parent == nullptr || state->m_placing) return;
  RECT area{};
  GetClientRect(parent, &area);
  RECT own{};
  GetWindowRect(window, &own);
  POINT corner{own.left, own.top};
  ScreenToClient(parent, &corner);
  int y = (style & kPlacementMask) == kPlaceTop ? 0 : static_cast<int>(area.bottom) - state->m_height;
  if (style & kNoParentAlign) y = static_cast<int>(corner.y);
  state->m_placing = true;
  SetWindowPos(window, nullptr, 0, y, static_cast<int>(area.right), state->m_height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (auto* still = core::ControlOf<StatusState>(window)) still->m_placing = false;
}

int BarHeight(HWND window) { return LineHeight(window) + 3 + 2 * kVerticalBorder; }

void SetPartText(HWND window, StatusState* state, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam & 0xFF);
  auto type = static_cast<WORD>(wParam & 0xFF00);
  // An owner-drawn part carries the owner's data, not a text.
  std::string text = (type & SBT_OWNERDRAW) || lParam == 0 ? std::string()
                                                           : reinterpret_cast<const char*>(lParam);
  if (index == SB_SIMPLEID) {
    state->m_simpleText = std::move(text);
    state->m_simpleType = type;
  } else {
    state->m_parts[static_cast<size_t>(index)].text = std::move(text);
    state->m_parts[static_cast<size_t>(index)].type = type;
    if (index == 0) {
      DefWindowProcA(window, WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(state->m_parts[0].text.c_str()));
    }
  }
  core::Announce(window, Change::kParts);
}

LRESULT GetPartText(const StatusState* state, WPARAM index, char* buffer, bool copy) {
  const std::string* text = nullptr;
  WORD type = 0;
  if (static_cast<int>(index) == SB_SIMPLEID) {
    text = &state->m_simpleText;
    type = state->m_simpleType;
  } else if (index < state->m_parts.size()) {
    text = &state->m_parts[index].text;
    type = state->m_parts[index].type;
  } else {
    return 0;
  }
  // SB_GETTEXT trusts the buffer to hold the text (SB_GETTEXTLENGTH + 1).
  if (copy && buffer != nullptr) CopyText(*text, buffer, text->size() + 1);
  return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(text->size()), type));
}

bool PartRect(HWND window, const StatusState* state, size_t index, RECT* out) {
  RECT client{};
  GetClientRect(window, &client);
  size_t count = state->m_simple ? 1 : state->m_parts.size();
  if (index >= count) return false;
  LONG left = 0;
  if (index > 0) left = state->m_parts[index - 1].right + kGap;
  int right = state->m_simple ? -1 : state->m_parts[index].right;
  *out = RECT{left, kVerticalBorder, right == -1 ? client.right : right,
              std::max<LONG>(kVerticalBorder, client.bottom - kVerticalBorder)};
  return true;
}

void Notify(HWND window, UINT code) {
  NMHDR header{window, static_cast<UINT_PTR>(GetDlgCtrlID(window)), code};
  SendMessageA(GetParent(window), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace

LRESULT StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto state = std::make_unique<StatusState>(window);
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (create->lpszName != nullptr) state->m_parts[0].text = create->lpszName;
    core::SetControlState(window, std::move(state));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* state = core::ControlOf<StatusState>(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      state->m_height = BarHeight(window);
      Place(window, state);
      return 0;
    case WM_SIZE:
      Place(window, state);
      return 0;
    case WM_SETFONT:
      DefWindowProcA(window, message, wParam, lParam);
      state->m_height = BarHeight(window);
      Place(window, state);
      return 0;
    case WM_SETTEXT:
      SetPartText(window, state, 0, lParam);
      return TRUE;
    case SB_SETTEXTA:
      if ((wParam & 0xFF) != SB_SIMPLEID && (wParam & 0xFF) >= state->m_parts.size()) return FALSE;
      SetPartText(window, state, wParam, lParam);
      return TRUE;
    case SB_GETTEXTA:
      return GetPartText(state, wParam, reinterpret_cast<char*>(lParam), true);
    case SB_GETTEXTLENGTHA:
      return GetPartText(state, wParam, nullptr, false);
    case SB_SETPARTS: {
      auto count = static_cast<int>(wParam);
      auto* rights = reinterpret_cast<const int*>(lParam);
      if (count <= 0 || count > kMaxParts || rights == nullptr) return FALSE;
      // Parts that stay keep their texts.
      state->m_parts.resize(static_cast<size_t>(count));
      for (int i = 0; i < count; ++i) state->m_parts[static_cast<size_t>(i)].right = rights[i];
      core::Announce(window, Change::kParts);
      return TRUE;
    }
    case SB_GETPARTS: {
      auto* rights = reinterpret_cast<int*>(lParam);
      size_t copied = std::min(static_cast<size_t>(wParam), state->m_parts.size());
      for (size_t i = 0; rights != nullptr && i < copied; ++i) rights[i] = state->m_parts[i].right;
      return static_cast<LRESULT>(state->m_parts.size());
    }
    case SB_GETBORDERS: {
      auto* borders = reinterpret_cast<int*>(lParam);
      if (borders == nullptr) return FALSE;
      borders[0] = 0;
      borders[1] = kVerticalBorder;
      borders[2] = kGap;
      return TRUE;
    }
    case SB_SIMPLE:
      if (state->m_simple != (wParam != 0)) {
        state->m_simple = wParam != 0;
        core::Announce(window, Change::kParts);
        Notify(window, SBN_SIMPLEMODECHANGE);
      }
      return 0;
    case SB_ISSIMPLE:
      return state->m_simple ? TRUE : FALSE;
    case SB_GETRECT:
      return lParam != 0 && PartRect(window, state, wParam, reinterpret_cast<RECT*>(lParam)) ? TRUE : FALSE;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace ui::controls

HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id) {
  return CreateWindowExA(0, STATUSCLASSNAMEA, text, static_cast<DWORD>(style), 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}
