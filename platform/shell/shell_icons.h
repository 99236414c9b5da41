// Icons by location, as the shell takes them from IExtractIcon's answers
// (ExtractIconExW: a module's file and an index, or a negated resource
// identifier), and the shell's own icons for what has none of its own.
#pragma once

#include "platform/base/export.h"
#include "platform/ui/ui_types.h"

// The shell's icons, numbered as Windows' shell numbers its resources.
constexpr int kShellFolderIcon = 4;
constexpr int kShellOpenFolderIcon = 5;
constexpr int kShellComputerIcon = 16;

// The module that holds the shell's icons (LoadIconA with the ids above).
QAP_EXPORT HINSTANCE ShellModule();

// Icon index of file (index >= 0: the index-th icon in id order; < 0: the
// icon whose resource id is -index) into *large and *small (either may be
// null; each is the caller's to destroy). The module is loaded when it is
// not yet, and stays loaded. Answers how many icons it extracted: 1, or 0.
QAP_EXPORT UINT ExtractIconExW(LPCWSTR file, int index, HICON* large, HICON* small, UINT count);
