// RegisterClass and friends. Class names compare without regard to case.
#include "platform/ui/core/window_class.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/ui/core/atoms.h"

namespace ui::core {

namespace {

struct ClassTable {
  std::mutex mutex;
  std::vector<std::shared_ptr<WindowClass>> classes;
};

ClassTable& Classes() {
  static auto* table = new ClassTable;
  return *table;
}

std::string ClassNameOf(LPCSTR name) {
  if (name == nullptr) return {};
  if (IS_INTRESOURCE(name)) return AtomName(static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name)));
  return name;
}

// As on Windows, a class a program registers is its module's own: two
// modules may each have a class of one name, and each module's windows are
// made of its own.
std::shared_ptr<WindowClass> FindLocked(ClassTable& table, const std::string& name,
                                        HINSTANCE instance) {
  std::shared_ptr<WindowClass> other;
  for (auto& windowClass : table.classes) {
    if (!SameName(windowClass->name, name)) continue;
    if (windowClass->instance == instance || (windowClass->style & CS_GLOBALCLASS) != 0)
      return windowClass;
    if (!other) other = windowClass;
  }
  return other;
}

// Whether a class registered by instance would clash with one there is.
bool ClashesLocked(ClassTable& table, const std::string& name, HINSTANCE instance) {
  for (auto& windowClass : table.classes) {
    if (SameName(windowClass->name, name) &&
        (windowClass->instance == instance || (windowClass->style & CS_GLOBALCLASS) != 0))
      return true;
  }
  return false;
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::shared_ptr<const WindowClass> FindClass(const std::string& name, HINSTANCE instance) {
  ClassTable& table = Classes();
  std::lock_guard lock(table.mutex);
  if (auto found = FindLocked(table, name, instance)) return found;
  size_t count = 0;
  const BuiltinClass* builtins = BuiltinClasses(&count);
  for (size_t i = 0; i < count; ++i) {
    if (!SameName(builtins[i].name, name)) continue;
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->name = builtins[i].name;
    windowClass->proc = builtins[i].proc;
    windowClass->windowExtra = builtins[i].windowExtra;
    windowClass->style = CS_DBLCLKS | CS_GLOBALCLASS;
    windowClass->atom = AddAtom(windowClass->name);
    table.classes.push_back(windowClass);
    return windowClass;
  }
  return nullptr;
}

}  // namespace ui::core

using ui::core::Classes;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
      windowClass->lpfnWndProc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name = ui::core::ClassNameOf(windowClass->lpszClassName);
  // A built-in name stays the built-in class, as system classes do.
  auto existing = ui::core::FindClass(name, windowClass->hInstance);
  if (existing != nullptr && (existing->instance == windowClass->hInstance ||
                              (existing->style & CS_GLOBALCLASS) != 0)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto entry = std::make_shared<ui::core::WindowClass>();
  entry->name = name;
  entry->style = windowClass->style;
  entry->proc = windowClass->lpfnWndProc;
  entry->classExtra = windowClass->cbClsExtra;
  entry->windowExtra = windowClass->cbWndExtra;
  entry->instance = windowClass->hInstance;
  entry->icon = windowClass->hIcon;
  entry->cursor = windowClass->hCursor;
  entry->background = windowClass->hbrBackground;
  if (windowClass->lpszMenuName != nullptr && !IS_INTRESOURCE(windowClass->lpszMenuName)) {
    entry->menuName = windowClass->lpszMenuName;
  }
  entry->atom = ui::core::AddAtom(name);
  auto& table = Classes();
  std::lock_guard lock(table.mutex);
  if (ui::core::ClashesLocked(table, name, windowClass->hInstance)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  table.classes.push_back(entry);
  return entry->atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
  std::string name = ui::core::ClassNameOf(className);
  auto& table = Classes();
  std::lock_guard lock(table.mutex);
  for (auto it = table.classes.begin(); it != table.classes.end(); ++it) {
    if (ui::core::SameName((*it)->name, name) && (*it)->instance == instance) {
      table.classes.erase(it);
      return TRUE;
    }
  }
  SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
  return FALSE;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* out) {
  auto found = ui::core::FindClass(ui::core::ClassNameOf(className), instance);
  if (!found || out == nullptr) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *out = WNDCLASSA{found->style,      found->proc,   found->classExtra, found->windowExtra,
                   found->instance,   found->icon,   found->cursor,     found->background,
                   nullptr,           nullptr};
  return TRUE;
}

int GetClassNameA(HWND window, LPSTR buffer, int size) {
  auto object = ui::core::FindWindowObject(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (buffer == nullptr || size <= 0) return 0;
  const std::string& name = object->windowClass->name;
  int length = std::min<int>(static_cast<int>(name.size()), size - 1);
  std::memcpy(buffer, name.data(), static_cast<size_t>(length));
  buffer[length] = '\0';
  return length;
}
