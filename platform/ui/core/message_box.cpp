// MessageBoxA as a dialog of the window system: the icon, the text in the
// static control 0xFFFF, and the buttons of its type with Windows' ids and
// texts, laid out from the text's size in dialog units.
#include "platform/ui/message_box.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"
#include "platform/ui/resources.h"
#include "platform/ui/std_controls.h"

namespace {

struct Button {
  int id;
  const char* text;
};

struct BoxKind {
  std::vector<Button> buttons;
  // What Esc and the close box answer; 0 when the box cannot be cancelled.
  int escape;
};

BoxKind KindOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{{IDOK, "OK"}, {IDCANCEL, "Cancel"}}, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {{{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}}, 0};
    case MB_YESNOCANCEL:
      return {{{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}}, IDCANCEL};
    case MB_YESNO:
      return {{{IDYES, "&Yes"}, {IDNO, "&No"}}, 0};
    case MB_RETRYCANCEL:
      return {{{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}}, IDCANCEL};
    default:
      // A box with only OK answers Esc with OK.
      return {{{IDOK, "OK"}}, IDOK};
  }
}

int DefaultAnswer(UINT type, const BoxKind& kind) {
  size_t index = (type & MB_DEFMASK) >> 8;
  // Windows falls back to the first button when the default names a button
  // the box does not have.
  if (index >= kind.buttons.size()) index = 0;
  return kind.buttons[index].id;
}

LPCSTR IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return IDI_HAND;
    case MB_ICONQUESTION:
      return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
      return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
      return IDI_ASTERISK;
    default:
      return nullptr;
  }
}

// Lines of at most kWrap characters, broken at spaces where possible.
constexpr size_t kWrap = 70;
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string paragraph;
  while (std::getline(in, paragraph)) {
    while (paragraph.size() > kWrap) {
      size_t cut = paragraph.rfind(' ', kWrap);
      if (cut == std::string::npos || cut == 0) cut = kWrap;
      lines.push_back(paragraph.substr(0, cut));
      paragraph.erase(0, cut == kWrap ? cut : cut + 1);
    }
    lines.push_back(paragraph);
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

// Tells a message box from other dialogs, which may hold a static of the
// same id.
constexpr const char* kMessageBoxProperty = "QapMessageBox";

struct BoxContext {
  LPCSTR icon;
  BoxKind kind;
  int defaultId;
};

INT_PTR BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* context = reinterpret_cast<BoxContext*>(GetWindowLongPtrA(box, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(box, DWLP_USER, lParam);
      SetPropA(box, kMessageBoxProperty, reinterpret_cast<HANDLE>(1));
      context = reinterpret_cast<BoxContext*>(lParam);
      if (context->icon != nullptr) {
        SendDlgItemMessageA(box, kMessageBoxIconId, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconA(nullptr, context->icon)), 0);
      }
      SetFocus(GetDlgItem(box, context->defaultId));
      return FALSE;
    }
    case WM_COMMAND: {
      if (context == nullptr) return FALSE;
      int id = LOWORD(wParam);
      for (const Button& button : context->kind.buttons) {
        if (button.id == id) {
          EndDialog(box, id);
          return TRUE;
        }
      }
      // Esc and the close box send IDCANCEL, whatever the buttons.
      if (id == IDCANCEL && context->kind.escape != 0) EndDialog(box, context->kind.escape);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

DialogTemplate BoxTemplate(const std::string& text, const std::string& caption, const BoxContext& context) {
  constexpr short kMargin = 7;
  constexpr short kIconSize = 21;
  constexpr short kButtonWidth = 50;
  constexpr short kButtonHeight = 14;
  constexpr short kGap = 4;
  std::vector<std::string> lines = Lines(text);
  size_t longest = 0;
  for (const auto& line : lines) longest = std::max(longest, line.size());
  // An average character is 4 dialog units wide and a line 8 high.
  auto textWidth = static_cast<short>(std::max<size_t>(longest, 8) * 4 + 4);
  auto textHeight = static_cast<short>(lines.size() * 8);
  short textLeft = context.icon != nullptr ? kMargin + kIconSize + kMargin : kMargin;
  auto buttonCount = static_cast<short>(context.kind.buttons.size());
  short buttonsWidth = static_cast<short>(buttonCount * kButtonWidth + (buttonCount - 1) * kGap);
  short width = std::max<short>(textLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin);
  short bodyHeight = std::max<short>(textHeight, context.icon != nullptr ? kIconSize : 0);
  short buttonTop = kMargin + bodyHeight + kMargin;
  DialogTemplate box;
  box.caption = caption;
  box.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
  box.cx = width;
  box.cy = static_cast<short>(buttonTop + kButtonHeight + kMargin);
  box.fontFace = "MS Shell Dlg";
  box.pointSize = 8;
  if (context.icon != nullptr) {
    box.items.push_back({WC_STATIC, kMessageBoxIconId, "", WS_VISIBLE | SS_ICON, 0, kMargin,
                         kMargin, kIconSize, kIconSize, {}});
  }
  short textTop = static_cast<short>(kMargin + (bodyHeight - textHeight) / 2);
  box.items.push_back({WC_STATIC, kMessageBoxTextId, text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                       textLeft, textTop, textWidth, textHeight, {}});
  short left = static_cast<short>((width - buttonsWidth) / 2);
  for (const Button& button : context.kind.buttons) {
    DWORD style = WS_VISIBLE | WS_TABSTOP |
                  (button.id == context.defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    box.items.push_back({WC_BUTTON, button.id, button.text, style, 0, left, buttonTop,
                         kButtonWidth, kButtonHeight, {}});
    left = static_cast<short>(left + kButtonWidth + kGap);
  }
  return box;
}

}  // namespace

namespace ui::driver {

bool IsMessageBox(HWND window) { return GetPropA(window, kMessageBoxProperty) != nullptr; }

}  // namespace ui::driver

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  std::string body = text != nullptr ? text : "";
  std::string title = caption != nullptr ? caption : "Error";
  BoxContext context{IconOf(type), KindOf(type), 0};
  context.defaultId = DefaultAnswer(type, context.kind);
  if (!ui::driver::HasClient()) {
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), body.c_str());
    return context.defaultId;
  }
  DialogTemplate box = BoxTemplate(body, title, context);
  INT_PTR answer = DialogBoxIndirectParamA(nullptr, &box, owner, BoxProc,
                                           reinterpret_cast<LPARAM>(&context));
  return answer < 0 ? 0 : static_cast<int>(answer);
}
