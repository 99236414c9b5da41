// The music folder's junction as the shell makes it for the benchmarks: the
// folder object from the module's class factory, initialised with the
// junction's place under My Computer.
#pragma once

#include "platform/com/com_ptr.h"
#include "platform/shell/shell_folder.h"

namespace qap::bench {

// Null when the module cannot make or place the folder.
ComPtr<IShellFolder> OpenMusicJunction();

}  // namespace qap::bench
