// The window system as user32 offers it: include this to write window code.
#pragma once

#include "platform/ui/dialog.h"
#include "platform/ui/gdi.h"
#include "platform/ui/message_api.h"
#include "platform/ui/menu.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/window_api.h"
