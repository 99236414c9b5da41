// Owners of the window system's handles: each frees its handle with the
// call that frees that kind, on every path out of the owner's scope.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

template <typename Handle, auto Free>
struct UiHandleFree {
  void operator()(Handle handle) const { Free(handle); }
};

template <typename Handle, auto Free>
using UiHandle = std::unique_ptr<std::remove_pointer_t<Handle>, UiHandleFree<Handle, Free>>;

using UniqueWindow = UiHandle<HWND, DestroyWindow>;
using UniqueMenu = UiHandle<HMENU, DestroyMenu>;
using UniqueAccelerators = UiHandle<HACCEL, DestroyAcceleratorTable>;
using UniqueImageList = UiHandle<HIMAGELIST, ImageList_Destroy>;
using UniqueIcon = UiHandle<HICON, DestroyIcon>;
