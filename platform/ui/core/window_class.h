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

std::shared_ptr<const WindowClass> FindClass(const std::string& name);

bool SameName(const std::string& a, const std::string& b);

}  // namespace ui::core
