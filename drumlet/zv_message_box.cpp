// The message box: its template, the buttons its style shows, and the
// answers.
#include "drumlet/zv_message_box.h"

#include "drumlet/resources.h"
#include "drumlet/skin_wiring.h"
#include "platform/com/guid.h"
#include "suite/skin/skin_controls.h"

namespace {

constexpr int kContainer = 4021;
constexpr int kOk = 4044;
constexpr int kYes = 4045;
constexpr int kNo = 4046;
constexpr int kText = 4048;

UINT CloseItMessage() { return RegisterWindowMessageA(kCloseZVMessageBoxMessage); }

BOOL PostCloseIt(HWND window, LPARAM) {
  PostMessageA(window, CloseItMessage(), 0, 0);
  return TRUE;
}

const std::string kButton = GuidToString(CLSID_SkinnedButton);
const std::string kContainerClass = GuidToString(CLSID_SkinContainer);
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

}  // namespace

const DialogTemplate kZVMessageBoxTemplate{
    CZVMessageBox::kDialogId,
    "Message",
    DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
    0,
    0,
    0,
    220,
    86,
    "MS Sans Serif",
    8,
    {
        {kContainerClass, kContainer, "", WS_CHILD, 0, 0, 0, 1, 1, {}},
        {WC_STATIC, kText, "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 10, 10, 200, 44, {}},
        {kButton, kYes, "", kButtonStyle, 0, 52, 62, 50, 16,
         {{"Caption", "Yes"}, {"Font", "MS Sans Serif"}}},
        {kButton, kNo, "", kButtonStyle, 0, 118, 62, 50, 16, {{"Font", "MS Sans Serif"}}},
        {kButton, kOk, "", kButtonStyle, 0, 85, 62, 50, 16, {{"Font", "MS Sans Serif"}}},
    }};

CZVMessageBox::CZVMessageBox(HWND parent, const char* skinPath)
    : CDialog(kDialogId, DrumletInstance(), parent),
      m_skinPath(skinPath != nullptr ? skinPath : "") {}

INT_PTR CZVMessageBox::Show(const char* text, UINT style) {
  m_text = text != nullptr ? text : "";
  m_style = style;
  return DoModal();
}

BOOL CZVMessageBox::OnInitDialog() {
  LoadSkin(m_hWnd, kContainer, m_skinPath.c_str(), {kOk, kYes, kNo});
  const bool yesNo = m_style == kYesNo;
  ::ShowWindow(GetDlgItem(kYes), yesNo ? SW_SHOW : SW_HIDE);
  ::ShowWindow(GetDlgItem(kNo), yesNo ? SW_SHOW : SW_HIDE);
  ::ShowWindow(GetDlgItem(kOk), yesNo ? SW_HIDE : SW_SHOW);
  SetSkinnedCaption(m_hWnd, yesNo ? kNo : kOk, yesNo ? "No" : "OK");
  SetDlgItemText(kText, m_text.c_str());
  return TRUE;
}

// Enter answers only where there is an "OK" to give.
void CZVMessageBox::OnOK() {
  if (m_style != kYesNo) EndDialog(IDOK);
}

bool CZVMessageBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == CloseItMessage()) {
    EndDialog(IDCANCEL);
    *result = 0;
    return true;
  }
  switch (SkinnedClickOf(message, wParam, lParam)) {
    case kOk:
      EndDialog(IDOK);
      break;
    case kYes:
      EndDialog(IDYES);
      break;
    case kNo:
      EndDialog(IDNO);
      break;
    default:
      return false;
  }
  *result = 0;
  return true;
}

void CloseZVMessageBoxes() { EnumWindows(PostCloseIt, 0); }
