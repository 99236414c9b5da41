// Where the running program and the loaded shared libraries live: the
// deliverables derive their folders (configuration, player path, modules)
// from these. Host paths.
#pragma once

#include <string>

#include "platform/base/export.h"

QAP_EXPORT std::string ExecutablePath();
// The file of the shared library (or executable) that contains address, for
// instance the address of one of the library's own functions. Empty when the
// address belongs to no loaded file.
QAP_EXPORT std::string ModulePathOf(const void* address);
