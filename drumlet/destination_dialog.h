// "Select Destination Path": where converted files go, picked in the path
// picker or typed.
#pragma once

#include <string>

#include "platform/ui/user32.h"

// Shows the dialog with *path in its edit box. OK gives the edit box's
// (possibly edited) path in *path and true; Cancel leaves *path and gives
// false.
bool SelectDestinationPath(HWND owner, const char* skinPath, std::string* path);
