// The destination dialog: the path picker above, the path edit box below,
// skinned Cancel and OK.
#include "drumlet/destination_dialog.h"

#include "drumlet/path_picker_ctrl.h"
#include "drumlet/resources.h"
#include "drumlet/skin_wiring.h"
#include "platform/com/guid.h"
#include "platform/ui/framework/cdialog.h"
#include "suite/skin/skin_controls.h"

namespace {

constexpr int kDialogId = 4029;
constexpr int kTree = 4048;
constexpr int kPathEdit = 4049;
constexpr int kContainer = 4057;

class CDestinationPathDlg : public CDialog {
 public:
  CDestinationPathDlg(HWND owner, const char* skinPath, std::string path)
      : CDialog(kDialogId, DrumletInstance(), owner),
        m_skinPath(skinPath != nullptr ? skinPath : ""),
        m_path(std::move(path)) {}

  const std::string& Path() const { return m_path; }

 protected:
  BOOL OnInitDialog() override {
    m_picker.Attach(GetDlgItem(kTree));
    m_picker.PopulateTree();
    LoadSkin(m_hWnd, kContainer, m_skinPath.c_str(), {IDCANCEL, IDOK});
    SetDlgItemText(kPathEdit, m_path.c_str());
    return TRUE;
  }

  BOOL OnNotify(NMHDR* header, LRESULT* result) override {
    if (!m_picker.OnNotify(header, result)) return FALSE;
    if (header->code == TVN_SELCHANGED) SetDlgItemText(kPathEdit, m_picker.CurrentPath().c_str());
    return TRUE;
  }

  void OnOK() override {
    m_path = GetDlgItemText(kPathEdit).c_str();
    CDialog::OnOK();
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    const int clicked = SkinnedClickOf(message, wParam, lParam);
    if (clicked == IDOK) {
      OnOK();
    } else if (clicked == IDCANCEL) {
      OnCancel();
    } else {
      return false;
    }
    *result = 0;
    return true;
  }

 private:
  std::string m_skinPath;
  std::string m_path;
  CPathPickerCtrl m_picker;
};

}  // namespace

const DialogTemplate kDestinationPathTemplate{
    kDialogId,
    "Select Destination Path",
    DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
    0,
    0,
    0,
    206,
    214,
    "MS Sans Serif",
    8,
    {
        {GuidToString(CLSID_SkinContainer), kContainer, "", WS_CHILD, 0, 0, 0, 1, 1, {}},
        {WC_TREEVIEW, kTree, "",
         WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
             TVS_LINESATROOT | TVS_SHOWSELALWAYS,
         0, 7, 7, 192, 162, {}},
        {WC_EDIT, kPathEdit, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
         0, 7, 174, 192, 13, {}},
        {GuidToString(CLSID_SkinnedButton), IDCANCEL, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0,
         95, 193, 50, 15,
         {{"Caption", "Cancel"}, {"Font", "MS Sans Serif"}}},
        {GuidToString(CLSID_SkinnedButton), IDOK, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 149,
         193, 50, 15,
         {{"Caption", "OK"}, {"Font", "MS Sans Serif"}}},
    }};

bool SelectDestinationPath(HWND owner, const char* skinPath, std::string* path) {
  if (path == nullptr) return false;
  CDestinationPathDlg dialog(owner, skinPath, *path);
  if (dialog.DoModal() != IDOK) return false;
  *path = dialog.Path();
  return true;
}
