// The library's resources: its dialog templates (each defined beside its
// dialog) and bitmaps, registered once for the module.
#pragma once

#include "platform/ui/resources.h"

// The dialog templates, each defined in its dialog's file.
extern const DialogTemplate kZVMessageBoxTemplate;
extern const DialogTemplate kDestinationPathTemplate;

// The module handle that finds the library's resources.
HINSTANCE DrumletInstance();

// Bitmaps.
constexpr int IDB_DEVICES = 4007;
constexpr int IDB_TRACKS = 4008;
constexpr int IDB_PATH_PICKER = 4009;
