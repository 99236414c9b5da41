// The "Add" of the dialogs that take tracks: the file-open dialog over the
// readers' extensions, with several files at once.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace drumlet {

// The files the person chose (full paths), none when they cancelled.
// readerFilter: the filter in "Name|*.ext|...|" form.
std::vector<std::string> ChooseTrackFiles(HWND owner, const std::string& readerFilter);

}  // namespace drumlet
