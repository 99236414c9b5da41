// Resources. Each module declares its dialog templates, string table,
// menus and accelerator tables as C++ data, and its bitmaps and icons as PNG
// files compiled into it (cmake: qap_embed_images), and registers them once
// at load; a module handle is the module's load address, as on Windows, so
// LoadString and friends find them by module handle and id. A missing id
// fails as Windows fails (ERROR_RESOURCE_NAME_NOT_FOUND).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_api.h"
#include "platform/ui/pixels.h"

namespace ui::res {

struct StringEntry {
  int id;
  const char* text;
};

// A menu item; flags are MF_* (MF_POPUP when it has items, MF_SEPARATOR,
// MF_GRAYED, MF_CHECKED, MF_DEFAULT for the default item).
struct MenuItemTemplate {
  UINT id = 0;
  std::string text;
  UINT flags = 0;
  std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
  int id = 0;
  std::vector<MenuItemTemplate> items;
};

struct AcceleratorTemplate {
  int id = 0;
  std::vector<ACCEL> entries;
};

struct ImageResource {
  int id;
  const unsigned char* png;
  std::size_t size;
};

struct ModuleResources {
  std::vector<const DialogTemplate*> dialogs;
  std::vector<StringEntry> strings;
  std::vector<const MenuTemplate*> menus;
  std::vector<const AcceleratorTemplate*> accelerators;
  std::vector<ImageResource> bitmaps;
  std::vector<ImageResource> icons;
};

// The handle of the module (shared library or program) holding address.
QAP_EXPORT HINSTANCE ModuleHandleOf(const void* address);
// Registers resources for the module holding them and returns its handle.
// The resources must live as long as the module.
QAP_EXPORT HINSTANCE RegisterModuleResources(const ModuleResources* resources);

QAP_EXPORT const MenuTemplate* FindMenuTemplate(HINSTANCE instance, LPCSTR name);
QAP_EXPORT const AcceleratorTemplate* FindAcceleratorTemplate(HINSTANCE instance, LPCSTR name);

}  // namespace ui::res

QAP_EXPORT const DialogTemplate* FindDialogTemplate(HINSTANCE instance, LPCSTR name);

// Resource types, for EnumResourceNamesA.
inline LPCSTR RT_BITMAP = MAKEINTRESOURCEA(2);
inline LPCSTR RT_MENU = MAKEINTRESOURCEA(4);
inline LPCSTR RT_DIALOG = MAKEINTRESOURCEA(5);
inline LPCSTR RT_ACCELERATOR = MAKEINTRESOURCEA(9);
inline LPCSTR RT_GROUP_ICON = MAKEINTRESOURCEA(14);
using ENUMRESNAMEPROCA = BOOL (*)(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param);
// Calls proc with each resource of the type the module holds, named by
// number (MAKEINTRESOURCEA), in ascending order as a module's resource
// directory lists them, until proc answers FALSE. FALSE with
// ERROR_RESOURCE_TYPE_NOT_FOUND when the module holds none of the type.
QAP_EXPORT BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc,
                                   LONG_PTR param);
QAP_EXPORT int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
QAP_EXPORT HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name);
QAP_EXPORT HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
// instance null: the system's icons (IDI_*).
QAP_EXPORT HICON LoadIconA(HINSTANCE instance, LPCSTR name);
QAP_EXPORT HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_LOADTRANSPARENT = 0x0020;
constexpr UINT LR_DEFAULTSIZE = 0x0040;
constexpr UINT LR_SHARED = 0x8000;
QAP_EXPORT HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height,
                             UINT flags);
QAP_EXPORT BOOL DestroyIcon(HICON icon);
QAP_EXPORT HICON CopyIcon(HICON icon);

inline LPCSTR IDI_APPLICATION = MAKEINTRESOURCEA(32512);
inline LPCSTR IDI_HAND = MAKEINTRESOURCEA(32513);
inline LPCSTR IDI_QUESTION = MAKEINTRESOURCEA(32514);
inline LPCSTR IDI_EXCLAMATION = MAKEINTRESOURCEA(32515);
inline LPCSTR IDI_ASTERISK = MAKEINTRESOURCEA(32516);
inline LPCSTR IDI_ERROR = IDI_HAND;
inline LPCSTR IDI_WARNING = IDI_EXCLAMATION;
inline LPCSTR IDI_INFORMATION = IDI_ASTERISK;
inline LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);
inline LPCSTR IDC_WAIT = MAKEINTRESOURCEA(32514);

// Bitmaps and icons as pixels, for image lists and the driver.
namespace ui::res {

using ui::Pixels;

// Decodes a PNG file's bytes; false when they are not a readable PNG.
QAP_EXPORT bool DecodePng(const unsigned char* bytes, std::size_t size, Pixels* out);
QAP_EXPORT HBITMAP CreateBitmapFromPixels(Pixels pixels);
QAP_EXPORT HICON CreateIconFromPixels(Pixels pixels);
QAP_EXPORT bool BitmapPixels(HBITMAP bitmap, Pixels* out);
QAP_EXPORT bool IconPixels(HICON icon, Pixels* out);

}  // namespace ui::res
