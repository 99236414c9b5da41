// The identities of the shell's view and user-interface interfaces, so that
// a folder can recognise what it is asked for (CreateViewObject,
// GetUIObjectOf). Their members come with the window system they run on,
// whose OLE pieces already give the data object and the drop target.
#pragma once

#include "platform/com/guid.h"
#include "platform/ui/ole/ole_interfaces.h"

class IShellView;
class IShellView2;
class IShellBrowser;
class IContextMenu;

// {000214E3-0000-0000-C000-000000000046}
constexpr IID IID_IShellView{0x000214E3, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {88E39E80-3578-11CF-AE69-08002B2E1262}
constexpr IID IID_IShellView2{
    0x88E39E80, 0x3578, 0x11CF, {0xAE, 0x69, 0x08, 0x00, 0x2B, 0x2E, 0x12, 0x62}};
// {000214E2-0000-0000-C000-000000000046}
constexpr IID IID_IShellBrowser{0x000214E2, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {000214E4-0000-0000-C000-000000000046}
constexpr IID IID_IContextMenu{0x000214E4, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
