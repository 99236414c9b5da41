// The library's state, set up when the library is loaded.
#include "drumlet/library_state.h"

#include "platform/base/codepage.h"
#include "platform/base/module_path.h"
#include "platform/base/paths.h"
#include "platform/ui/ole/control_host.h"

namespace drumlet {

LibraryState::LibraryState()
    : skinPath(SplitPath(Utf8ToAnsi(ExecutablePath())).folder + "Drumlet.skn") {}

LibraryState& Library() {
  static LibraryState state;
  return state;
}

namespace {

// At load, as the host would find it when it first calls in: the skin path
// set and the hosting of embedded controls ready for the dialogs.
const bool g_loaded = (Library(), AtlAxWinInit() != FALSE);

}  // namespace

}  // namespace drumlet
