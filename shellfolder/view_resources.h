// The module's resources for its views: the icons of the rows and items,
// the menus merged into Explorer's (210) and the view's accelerators (220),
// with the command ids they carry.
#pragma once

#include "platform/ui/ui_types.h"

namespace cobrell {

constexpr int kViewMenu = 210;
constexpr int kViewAccelerators = 220;

// Commands of the menus and accelerators.
constexpr UINT kCommandWebView = 106;
constexpr UINT kCommandLargeIcons = 107;
constexpr UINT kCommandDetails = 108;
constexpr UINT kCommandList = 109;
constexpr UINT kCommandSmallIcons = 110;
constexpr UINT kCommandCut = 117;
constexpr UINT kCommandCopy = 118;
constexpr UINT kCommandPaste = 119;
constexpr UINT kCommandSelectAll = 120;
constexpr UINT kCommandInvertSelection = 121;
constexpr UINT kCommandOpen = 122;
constexpr UINT kCommandDelete = 32776;
constexpr UINT kCommandNew = 32785;
constexpr UINT kCommandRename = 32790;

// The module's handle for LoadIcon, LoadMenu and LoadAccelerators.
HINSTANCE Resources();

}  // namespace cobrell
