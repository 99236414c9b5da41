// OLE pieces of the window system: the clipboard with registered formats
// and global memory blocks, drag and drop, and hosting of embedded
// controls created by class identifier from the registry.
#pragma once

#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/control_host.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/drag_drop.h"
#include "platform/ui/ole/drop_files.h"
#include "platform/ui/ole/global_memory.h"
#include "platform/ui/ole/ole_interfaces.h"
#include "platform/ui/ui_types.h"

// The window class that hosts an embedded control in a dialog: a template
// item whose class is a class identifier in braces becomes a window of this
// class, which creates the control and carries its properties and events.
// Made directly, its text names the class ("{CLSID}" or a ProgID) and its
// creation parameter must be null (a dialog passes its template item).
inline constexpr const char* kControlHostClass = "AtlAxWin";
