// Paths derived from the library's own module file: the player program
// beside it and the default music folder on its drive.
#pragma once

#include "platform/base/cstring.h"

namespace qap::options {

// The folder of the library's module followed by "ZelvarQAP.exe".
CString PlayerPath();
// "X:\My Music" on the drive of the library's module; a module path without
// a drive letter lies on C:.
CString DefaultMusicFolder();
// Creates the (program path) folder; a failure is ignored, as the player
// only offers the folder.
void CreateFolderQuietly(const CString& folder);

}  // namespace qap::options
