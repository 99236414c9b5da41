// D-Bus activation: a service file names the command the session bus runs
// when a call arrives for a well-known name nobody owns yet, which is how a
// client's call starts a local server; the server then gets the bus's
// environment, not its client's.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/base/export.h"
#include "platform/com/hresult.h"

namespace qap::automation {

// $XDG_DATA_HOME/dbus-1/services (XDG_DATA_HOME defaulting to
// ~/.local/share), where the session bus looks for the user's services.
QAP_EXPORT std::string BusServiceDirectory();
// The file that activates busName.
QAP_EXPORT std::string BusServiceFile(const std::string& busName);
// Writes (replaces) the file; command is the program and its arguments,
// quoted for the bus's command-line reader.
QAP_EXPORT HRESULT RegisterBusService(const std::string& busName,
                                      const std::vector<std::string>& command);
// Removes the file; S_OK when it was not there.
QAP_EXPORT HRESULT UnregisterBusService(const std::string& busName);

// Adds (or replaces) variables in the environment the session bus gives the
// servers it starts from now on; a server already running keeps its own.
// RPC_E_DISCONNECTED when the bus cannot be reached or refuses.
QAP_EXPORT HRESULT UpdateActivationEnvironment(
    const std::vector<std::pair<std::string, std::string>>& variables);

}  // namespace qap::automation
