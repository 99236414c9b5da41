// GetOpenFileNameA as a dialog of the window system: the current folder's
// entries that match the chosen filter (folders first) in lst1, the name
// box edt1, the filters in cmb1, the read-only box chx1 (hidden with
// OFN_HIDEREADONLY), Open and Cancel. A person types one name or several
// in double quotes and presses Open; a folder named so is entered instead.
// Folders are program paths, listed through the host file system by way of
// the path mapping.
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/last_error.h"
#include "platform/base/paths.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/controls/file_names.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_api.h"
#include "platform/ui/message_box.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/window_api.h"

namespace ui::controls {

namespace {

thread_local DWORD t_lastError = 0;

struct FileDialog {
  OPENFILENAMEA* ofn = nullptr;
  std::string caption;
  std::vector<FilterEntry> filters;
  std::vector<std::string> patterns;
  std::string folder;
  std::vector<FolderEntry> entries;
  DWORD error = 0;
};

bool Multi(const FileDialog& dialog) { return (dialog.ofn->Flags & OFN_ALLOWMULTISELECT) != 0; }

DialogTemplate BuildTemplate(const FileDialog& dialog) {
  const OPENFILENAMEA& ofn = *dialog.ofn;
  DialogTemplate form;
  form.caption = dialog.caption;
  form.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
  form.cx = 280;
  form.cy = 178;
  form.fontFace = "MS Shell Dlg";
  form.pointSize = 8;
  DWORD list = WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
               ((ofn.Flags & OFN_ALLOWMULTISELECT) ? LBS_EXTENDEDSEL : 0);
  DWORD readOnly = WS_TABSTOP | BS_AUTOCHECKBOX | ((ofn.Flags & OFN_HIDEREADONLY) ? 0 : WS_VISIBLE);
  bool explorer = (ofn.Flags & OFN_EXPLORER) != 0;
  form.items = {
      {WC_STATIC, stc4, "Look &in:", WS_VISIBLE | SS_LEFT, 0, 7, 8, 38, 8, {}},
      {WC_STATIC, stc1, "", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 48, 8, 225, 8, {}},
      {WC_LISTBOX, lst1, "", list, 0, 7, 22, 266, 88, {}},
      {WC_STATIC, stc3, "File &name:", WS_VISIBLE | SS_LEFT, 0, 7, 118, 46, 8, {}},
      {WC_EDIT, edt1, "", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 55, 116, 160, 12, {}},
      {WC_STATIC, stc2, "Files of &type:", WS_VISIBLE | SS_LEFT, 0, 7, 136, 46, 8, {}},
      {WC_COMBOBOX, cmb1, "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 55, 134, 160,
       100, {}},
      {WC_BUTTON, chx1, "Open as &read-only", readOnly, 0, 55, 152, 100, 10, {}},
      {WC_BUTTON, IDOK, explorer ? "&Open" : "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 222,
       115, 50, 14, {}},
      {WC_BUTTON, IDCANCEL, "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 222, 133, 50, 14, {}},
  };
  return form;
}

void Refill(HWND window, FileDialog* dialog) {
  dialog->entries = ListFolder(dialog->folder, dialog->patterns);
  SetDlgItemTextA(window, stc1, dialog->folder.c_str());
  HWND list = GetDlgItem(window, lst1);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const FolderEntry& entry : dialog->entries) {
    SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.name.c_str()));
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void EnterFolder(HWND window, FileDialog* dialog, const std::string& folder) {
  dialog->folder = folder;
  SetDlgItemTextA(window, edt1, "");
  Refill(window, dialog);
}

// Where the dialog starts: the folder of the name it was given, the
// initial folder, or the process's current folder.
void StartingPoint(FileDialog* dialog, std::string* name) {
  const OPENFILENAMEA& ofn = *dialog->ofn;
  std::string given = ofn.lpstrFile != nullptr ? std::string(ofn.lpstrFile) : std::string();
  PathParts parts = SplitPath(given);
  if (!parts.folder.empty() && PathIsFolder(parts.folder)) {
    dialog->folder = parts.folder;
    *name = parts.baseName + parts.extension;
    return;
  }
  *name = given;
  if (ofn.lpstrInitialDir != nullptr && *ofn.lpstrInitialDir != '\0' && PathIsFolder(ofn.lpstrInitialDir)) {
    dialog->folder = ofn.lpstrInitialDir;
    return;
  }
  std::error_code error;
  dialog->folder = Utf8ToAnsi(std::filesystem::current_path(error).string());
  if (error) dialog->folder = "C:\\";
}

std::string ItemText(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Complain(HWND window, const FileDialog* dialog, const std::string& text) {
  MessageBoxA(window, text.c_str(), dialog->caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::string WithDefaultExtension(const FileDialog* dialog, std::string name) {
  LPCSTR defaultExtension = dialog->ofn->lpstrDefExt;
  if (defaultExtension != nullptr && *defaultExtension != '\0' && SplitPath(name).extension.empty()) {
    name += '.';
    name += defaultExtension;
  }
  return name;
}

// Open pressed: a pattern filters the list, a folder is entered, files
// are checked as the flags ask and become the answer.
void Accept(HWND window, FileDialog* dialog) {
  std::string typed = ItemText(window, edt1);
  std::vector<std::string> names = SplitTypedNames(typed);
  if (names.empty()) return;
  if (names.size() == 1) {
    if (HasWildcards(names[0])) {
      dialog->patterns = {names[0]};
      EnterFolder(window, dialog, dialog->folder);
      return;
    }
    std::string path = ResolvePath(dialog->folder, names[0]);
    if (PathIsFolder(path)) {
      EnterFolder(window, dialog, path);
      return;
    }
  } else if (!Multi(*dialog)) {
    Complain(window, dialog, typed + "\nThe file name is not valid.");
    return;
  }
  DWORD flags = dialog->ofn->Flags;
  std::string folder = dialog->folder;
  for (std::string& name : names) {
    name = WithDefaultExtension(dialog, name);
    std::string path = ResolvePath(dialog->folder, name);
    if ((flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !PathIsFolder(SplitPath(path).folder)) {
      Complain(window, dialog, path + "\nPath does not exist.\nCheck the path and try again.");
      return;
    }
    if ((flags & OFN_FILEMUSTEXIST) && !PathExists(path)) {
      Complain(window, dialog, FileNameOf(path) + "\nFile not found.\nPlease verify the correct file name was given.");
      return;
    }
    // A single file named by a path of its own answers from its folder.
    if (names.size() == 1) {
      folder = SplitPath(path).folder;
      name = FileNameOf(path);
    }
  }
  OPENFILENAMEA* ofn = dialog->ofn;
  if (!(flags & OFN_HIDEREADONLY)) {
    ofn->Flags = IsDlgButtonChecked(window, chx1) ? (ofn->Flags | OFN_READONLY) : (ofn->Flags & ~OFN_READONLY);
  }
  LRESULT filter = SendDlgItemMessageA(window, cmb1, CB_GETCURSEL, 0, 0);
  if (filter >= 0) ofn->nFilterIndex = static_cast<DWORD>(filter + 1);
  dialog->error = WriteResult(ofn, folder, names);
  EndDialog(window, dialog->error == 0 ? IDOK : IDCANCEL);
}

// The files selected in the list become the name box's text: one name, or
// each in double quotes.
void SelectionToName(HWND window, FileDialog* dialog) {
  HWND list = GetDlgItem(window, lst1);
  std::vector<int> rows;
  if (Multi(*dialog)) {
    int count = static_cast<int>(SendMessageA(list, LB_GETSELCOUNT, 0, 0));
    rows.resize(static_cast<size_t>(std::max(0, count)));
    if (count > 0) SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
  } else {
    auto row = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (row >= 0) rows.push_back(row);
  }
  std::vector<std::string> files;
  for (int row : rows) {
    if (row >= 0 && static_cast<size_t>(row) < dialog->entries.size() && !dialog->entries[row].folder) {
      files.push_back(dialog->entries[row].name);
    }
  }
  if (files.empty()) return;
  std::string text = files.size() == 1 ? files.front() : std::string();
  if (files.size() > 1) {
    for (const std::string& file : files) text += (text.empty() ? "\"" : " \"") + file + "\"";
  }
  SetDlgItemTextA(window, edt1, text.c_str());
}

void Opened(HWND window, FileDialog* dialog) {
  auto row = static_cast<int>(SendDlgItemMessageA(window, lst1, LB_GETCARETINDEX, 0, 0));
  if (row < 0 || static_cast<size_t>(row) >= dialog->entries.size()) return;
  const FolderEntry& entry = dialog->entries[row];
  if (entry.folder) {
    EnterFolder(window, dialog, ResolvePath(dialog->folder, entry.name));
    return;
  }
  SetDlgItemTextA(window, edt1, entry.name.c_str());
  Accept(window, dialog);
}

void Initialize(HWND window, FileDialog* dialog) {
  HWND combo = GetDlgItem(window, cmb1);
  for (const FilterEntry& filter : dialog->filters) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(filter.description.c_str()));
  }
  if (!dialog->filters.empty()) {
    DWORD index = dialog->ofn->nFilterIndex;
    size_t chosen = index >= 1 && index <= dialog->filters.size() ? index - 1 : 0;
    SendMessageA(combo, CB_SETCURSEL, chosen, 0);
    dialog->patterns = dialog->filters[chosen].patterns;
  }
  if (dialog->ofn->Flags & OFN_READONLY) CheckDlgButton(window, chx1, BST_CHECKED);
  std::string name;
  StartingPoint(dialog, &name);
  SetDlgItemTextA(window, edt1, name.c_str());
  Refill(window, dialog);
  HWND edit = GetDlgItem(window, edt1);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
}

INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<FileDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    Initialize(window, reinterpret_cast<FileDialog*>(lParam));
    return FALSE;
  }
  if (dialog == nullptr || message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      Accept(window, dialog);
      return TRUE;
    case IDCANCEL:
      EndDialog(window, IDCANCEL);
      return TRUE;
    case lst1:
      if (HIWORD(wParam) == LBN_SELCHANGE) SelectionToName(window, dialog);
      if (HIWORD(wParam) == LBN_DBLCLK) Opened(window, dialog);
      return TRUE;
    case cmb1:
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        auto index = static_cast<size_t>(SendDlgItemMessageA(window, cmb1, CB_GETCURSEL, 0, 0));
        if (index < dialog->filters.size()) {
          dialog->patterns = dialog->filters[index].patterns;
          Refill(window, dialog);
        }
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

}  // namespace ui::controls

using namespace ui::controls;

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) {
  t_lastError = 0;
  if (ofn == nullptr ||
      (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
    t_lastError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (ofn->lpstrFile == nullptr || ofn->nMaxFile == 0) {
    t_lastError = CDERR_INITIALIZATION;
    return FALSE;
  }
  FileDialog dialog;
  dialog.ofn = ofn;
  dialog.caption = ofn->lpstrTitle != nullptr && *ofn->lpstrTitle != '\0' ? ofn->lpstrTitle : "Open";
  dialog.filters = ParseFilter(ofn->lpstrFilter);
  DialogTemplate form = BuildTemplate(dialog);
  INT_PTR answer = DialogBoxIndirectParamA(ofn->hInstance, &form, ofn->hwndOwner, DialogProc,
                                           reinterpret_cast<LPARAM>(&dialog));
  if (answer == -1) {
    // Nobody to answer the dialog counts as a cancel; anything else failed.
    t_lastError = GetLastError() == ERROR_NOT_SUPPORTED ? 0 : CDERR_DIALOGFAILURE;
    return FALSE;
  }
  t_lastError = answer == IDOK ? 0 : dialog.error;
  return answer == IDOK ? TRUE : FALSE;
}

DWORD CommDlgExtendedError() { return t_lastError; }

static_assert(sizeof(OPENFILENAMEA) == 152, "OPENFILENAMEA as on 64-bit Windows");
static_assert(offsetof(OPENFILENAMEA, pvReserved) == OPENFILENAME_SIZE_VERSION_400A);
