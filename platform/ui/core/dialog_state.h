// What a dialog keeps beside its window: its procedure's end state, the
// default button, the focus to give back on activation, its font and base
// units.
#pragma once

#include "platform/ui/core/window.h"
#include "platform/ui/dialog.h"
#include "platform/ui/gdi.h"

namespace ui::core {

class DialogState : public ControlState {
 public:
  void* QueryModel(const std::type_info&) override { return nullptr; }

  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  int defaultId = 0;
  HWND savedFocus = nullptr;
  HFONT font = nullptr;
  ui::gdi::FontMetrics units;
  int templateId = 0;
};

DialogState* DialogOf(HWND window);

// The dialog's default push button as the dialog manager keeps it: the
// focused push button while one has the focus, else the template's.
int DefaultButtonId(HWND dialog);

}  // namespace ui::core
