// The built-in window classes by their Windows names, each with the window
// procedure of its control file.
#include "platform/ui/commctrl.h"
#include "platform/ui/controls/control_procs.h"
#include "platform/ui/core/window_class.h"
#include "platform/ui/dialog.h"

namespace ui::core {

namespace {

const BuiltinClass kBuiltins[] = {
    {WC_DIALOG, DefDlgProcA, DLGWINDOWEXTRA},
    {WC_LISTVIEW, ui::controls::ListViewProc, 0},
    {WC_TREEVIEW, ui::controls::TreeViewProc, 0},
};

}  // namespace

const BuiltinClass* BuiltinClasses(size_t* count) {
  *count = sizeof kBuiltins / sizeof kBuiltins[0];
  return kBuiltins;
}

}  // namespace ui::core
