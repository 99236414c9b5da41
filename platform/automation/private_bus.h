// A session bus of one's own: a dbus-daemon with its own configuration,
// listening on an abstract socket and activating the services of a given
// folder, for tests and the demo, so that nothing reaches the user's bus.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

namespace qap::automation {

class QAP_EXPORT PrivateSessionBus {
 public:
  // folder (a host folder, made when missing) keeps the bus's configuration;
  // serviceDirectory is where it looks for activatable services;
  // workingDirectory becomes the current folder of the daemon and of every
  // server it starts.
  PrivateSessionBus(std::string folder, std::string serviceDirectory, std::string workingDirectory);
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  // Starts the daemon and waits (bounded) until it accepts connections; then
  // DBUS_SESSION_BUS_ADDRESS names it. The daemon inherits the environment
  // as it is now, and hands it on to the servers it starts. False with a
  // reason when the daemon cannot be started.
  bool Start(std::string* error);
  // Ends the daemon (its servers lose their bus) and restores the previous
  // DBUS_SESSION_BUS_ADDRESS.
  void Stop();

  const std::string& Address() const { return m_address; }
  DWORD ProcessId() const { return m_processId; }

 private:
  std::string m_folder;
  std::string m_serviceDirectory;
  std::string m_workingDirectory;
  std::string m_address;
  std::string m_previousAddress;
  bool m_hadPreviousAddress = false;
  HANDLE m_process = nullptr;
  DWORD m_processId = 0;
};

}  // namespace qap::automation
