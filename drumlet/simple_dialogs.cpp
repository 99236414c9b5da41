// The simple mode's small dialogs and its two progress windows.
#include "drumlet/simple_dialogs.h"

#include "drumlet/device_list.h"
#include "drumlet/library_state.h"
#include "drumlet/resources.h"
#include "drumlet/simple_mode.h"
#include "drumlet/skin_wiring.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

const UINT kBurnProgress = RegisterWindowMessageA("CSimpleProgressBurnDlg_Progress");
const UINT kBurnFinish = RegisterWindowMessageA("CSimpleProgressBurnDlg_Finish");
const UINT kBurnCancel = RegisterWindowMessageA("CSimpleProgressBurnDlg_Cancel");
const UINT kEraseProgress = RegisterWindowMessageA("CSimpleProgressEraseDlg_Progress");

void ShowProgress(HWND dialog, const SimpleMode::Shown& shown, bool withAction) {
  SendDlgItemMessageA(dialog, kSimpleProgressId, PBM_SETPOS, static_cast<WPARAM>(shown.percent), 0);
  if (withAction) SetDlgItemTextA(dialog, kSimpleActionId, shown.action.c_str());
  SetDlgItemTextA(dialog, kSimpleTrackId, shown.track.c_str());
}

// "Select Recorder": "Select" waits for a choice.
class SelectRecorderDialog : public CDialog {
 public:
  SelectRecorderDialog() : CDialog(kSelectRecorderDialogId, DrumletInstance(), GetActiveWindow()) {}
  DeviceInfo m_chosen{};

 protected:
  BOOL OnInitDialog() override {
    // The modules are asked one by one: that takes a moment.
    CDialog listing(kListingDialogId, DrumletInstance(), m_hWnd);
    listing.Create();
    ListDevicesThroughObjects(&m_devices, GetDlgItem(kSimpleDeviceComboId));
    LoadSkin(m_hWnd, kSimpleSkinId, Library().skinPath.c_str(), {IDOK, IDCANCEL});
    EnableSkinnedButton(m_hWnd, IDOK, false);
    return TRUE;
  }
  BOOL OnCommand(WORD id, WORD code, HWND control) override {
    if (id == kSimpleDeviceComboId) {
      if (code == CBN_SELCHANGE) EnableSkinnedButton(m_hWnd, IDOK, Chosen() >= 0);
      return TRUE;
    }
    return CDialog::OnCommand(id, code, control);
  }
  void OnOK() override {
    const int index = Chosen();
    if (index < 0) return;
    m_chosen = m_devices[static_cast<size_t>(index)];
    EndDialog(IDOK);
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    const int button = SkinnedClickOf(message, wParam, lParam);
    if (button == IDOK) OnOK();
    if (button == IDCANCEL) OnCancel();
    *result = 0;
    return button != 0;
  }

 private:
  int Chosen() const {
    const LRESULT index = SendDlgItemMessageA(m_hWnd, kSimpleDeviceComboId, CB_GETCURSEL, 0, 0);
    return index >= 0 && static_cast<size_t>(index) < m_devices.size() ? static_cast<int>(index) : -1;
  }
  std::vector<DeviceInfo> m_devices;
};

}  // namespace

UINT SimpleBurnProgressMessage() { return kBurnProgress; }
UINT SimpleBurnFinishMessage() { return kBurnFinish; }
UINT SimpleBurnCancelMessage() { return kBurnCancel; }
UINT SimpleEraseProgressMessage() { return kEraseProgress; }

SimpleQuestionDialog::SimpleQuestionDialog(int templateId, bool skinned)
    : CDialog(static_cast<UINT>(templateId), DrumletInstance(), GetActiveWindow()), m_skinned(skinned) {}

BOOL SimpleQuestionDialog::OnInitDialog() {
  if (m_skinned) LoadSkin(m_hWnd, kSimpleSkinId, Library().skinPath.c_str(), {IDOK, IDCANCEL});
  return TRUE;
}

bool SimpleQuestionDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const int button = SkinnedClickOf(message, wParam, lParam);
  if (button == IDOK || button == IDCANCEL) EndDialog(button);
  *result = 0;
  return button != 0;
}

bool SelectRecorder(DeviceInfo* chosen) {
  SelectRecorderDialog dialog;
  if (dialog.DoModal() != IDOK) return false;
  *chosen = dialog.m_chosen;
  return true;
}

SimpleBurnDialog::SimpleBurnDialog(SimpleMode* mode)
    : CDialog(kSimpleBurningDialogId, DrumletInstance()), m_mode(mode) {}

BOOL SimpleBurnDialog::OnInitDialog() {
  SendDlgItemMessageA(m_hWnd, kSimpleProgressId, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  LoadSkin(m_hWnd, kSimpleSkinId, Library().skinPath.c_str(), {IDCANCEL});
  return TRUE;
}

void SimpleBurnDialog::Refresh() { ShowProgress(m_hWnd, m_mode->BurnShown(), true); }

void SimpleBurnDialog::OnCancel() {
  if (m_mode->AskCancel(m_hWnd)) PostMessage(kBurnCancel);
}

bool SimpleBurnDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (message == kBurnProgress) {
    Refresh();
  } else if (message == kBurnFinish) {
    m_mode->OnFinish();
  } else if (message == kBurnCancel) {
    m_mode->OnCancel();
  } else if (SkinnedClickOf(message, wParam, lParam) == IDCANCEL) {
    OnCancel();
  } else {
    return false;
  }
  return true;
}

SimpleEraseDialog::SimpleEraseDialog(SimpleMode* mode)
    : CDialog(kErasingDialogId, DrumletInstance()), m_mode(mode) {}

BOOL SimpleEraseDialog::OnInitDialog() {
  SendDlgItemMessageA(m_hWnd, kSimpleProgressId, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  return TRUE;
}

bool SimpleEraseDialog::OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
  if (message != kEraseProgress) return false;
  ShowProgress(m_hWnd, m_mode->EraseShown(), false);
  *result = 0;
  return true;
}

}  // namespace drumlet
