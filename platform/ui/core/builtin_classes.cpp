// The built-in window classes by their Windows names, each with the window
// procedure of its control file.
#include "platform/ui/commctrl.h"
#include "platform/ui/controls/control_procs.h"
#include "platform/ui/core/window_class.h"
#include "platform/ui/dialog.h"
#include "platform/ui/ole.h"
#include "platform/ui/menu.h"
#include "platform/ui/progress_status.h"
#include "platform/ui/std_controls.h"

namespace ui::core {

namespace {

const BuiltinClass kBuiltins[] = {
    {WC_DIALOG, DefDlgProcA, DLGWINDOWEXTRA},
    {kControlHostClass, ControlHostProc, 0},
    {WC_STATIC, ui::controls::StaticProc, 0},
    {WC_BUTTON, ui::controls::ButtonProc, 0},
    {WC_EDIT, ui::controls::EditProc, 0},
    {WC_COMBOBOX, ui::controls::ComboBoxProc, 0},
    {WC_LISTBOX, ui::controls::ListBoxProc, 0},
    {PROGRESS_CLASSA, ui::controls::ProgressProc, 0},
    {STATUSCLASSNAMEA, ui::controls::StatusBarProc, 0},
    {kMenuWindowClass, ui::controls::MenuWindowProc, 0},
    {WC_LISTVIEW, ui::controls::ListViewProc, 0},
    {WC_TREEVIEW, ui::controls::TreeViewProc, 0},
};

}  // namespace

const BuiltinClass* BuiltinClasses(size_t* count) {
  *count = sizeof kBuiltins / sizeof kBuiltins[0];
  return kBuiltins;
}

}  // namespace ui::core
