// How every dialog of the library wires the skin controls its template
// places: the skin file set on the dialog's container, the container handed
// to each skinned button and label, buttons enabled and captioned, and
// their clicks recognised among the dialog's messages.
#pragma once

#include <initializer_list>

#include "platform/ui/user32.h"

// At start-up: sets skinPath on the container control, then hands the
// container to each of the skinned controls. A control that is missing or
// refuses keeps its own look; the dialog works the same.
void LoadSkin(HWND dialog, int containerId, const char* skinPath,
              std::initializer_list<int> skinnedIds);
void EnableSkinnedButton(HWND dialog, int id, bool enable);
void SetSkinnedCaption(HWND dialog, int id, const char* caption);
// The control id of the skinned button whose Click this message is, or 0.
int SkinnedClickOf(UINT message, WPARAM wParam, LPARAM lParam);
