// The chooser dialog, from its template: a list of the clients in the order
// they were added, and an OK button that only a selection enables.
#include "agent/client_chooser.h"

#include "platform/ui/framework/cdialog.h"
#include "platform/ui/resources.h"
#include "platform/ui/user32.h"

namespace {

constexpr int kChooserDialog = 101;
constexpr int kClientList = 1003;

const DialogTemplate kChooserTemplate{
    kChooserDialog,
    "Downloading to clients",
    DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
    0,
    0,
    0,
    176,
    95,
    "MS Sans Serif",
    8,
    {
        {WC_STATIC, -1, "Select client to download :", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 7, 7, 84, 8, {}},
        {WC_LISTBOX, kClientList, "",
         WS_CHILD | WS_VISIBLE | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, 0,
         7, 19, 104, 69, {}},
        {WC_BUTTON, IDOK, "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_DISABLED | WS_TABSTOP, 0, 119,
         7, 50, 14, {}},
        {WC_BUTTON, IDCANCEL, "Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 0, 119, 24, 50,
         14, {}},
    }};

const ui::res::ModuleResources kResources{{&kChooserTemplate}, {}, {}, {}, {}, {}};
const HINSTANCE g_instance = ui::res::RegisterModuleResources(&kResources);

class CClientChooserDialog : public CDialog {
 public:
  explicit CClientChooserDialog(const std::vector<CString>& names)
      : CDialog(kChooserDialog, g_instance, GetActiveWindow()), m_names(names) {}

  std::optional<size_t> Choice() const { return m_choice; }

 protected:
  BOOL OnInitDialog() override {
    for (const CString& name : m_names) SendDlgItemMessageA(m_hWnd, kClientList, LB_ADDSTRING, 0,
                                                            reinterpret_cast<LPARAM>(name.c_str()));
    return TRUE;
  }

  BOOL OnCommand(WORD id, WORD code, HWND control) override {
    if (id == kClientList && code == LBN_SELCHANGE) {
      LRESULT index = SendDlgItemMessageA(m_hWnd, kClientList, LB_GETCURSEL, 0, 0);
      if (index >= 0) {
        m_selected = static_cast<size_t>(index);
        ::EnableWindow(GetDlgItem(IDOK), TRUE);
      }
      return TRUE;
    }
    return CDialog::OnCommand(id, code, control);
  }

  void OnOK() override {
    m_choice = m_selected;
    CDialog::OnOK();
  }

 private:
  const std::vector<CString>& m_names;
  std::optional<size_t> m_selected;
  std::optional<size_t> m_choice;
};

}  // namespace

std::optional<size_t> ChooseClient(const std::vector<CString>& names) {
  CClientChooserDialog dialog(names);
  if (dialog.DoModal() != IDOK) return std::nullopt;
  return dialog.Choice();
}
