// Window classes: those a program registers and the built-in ones, known
// by their Windows names ("Button", "SysListView32", "#32770", ...).
#pragma once

#include <memory>
#include <string>

#include "platform/ui/core/window.h"

namespace ui::core {

// A built-in class: registered on first use by name.
struct BuiltinClass {
  const char* name;
  WNDPROC proc;
  int windowExtra;
};

// The built-in classes, listed in builtin_classes.cpp.
const BuiltinClass* BuiltinClasses(size_t* count);

// The class a window of module instance is made of: that module's own
// class of the name, else a built-in or global one, else (for callers that
// name no module or another one) any class of the name.
std::shared_ptr<const WindowClass> FindClass(const std::string& name, HINSTANCE instance = nullptr);

bool SameName(const std::string& a, const std::string& b);

}  // namespace ui::core
