// LBAgent2: the upload agent. Registers or unregisters itself, serves the
// Request2 automation object until its last client has gone, or hands a file
// to one of the registered client programs.
#include <cstdio>
#include <filesystem>
#include <string>

#include "agent/client_manager.h"
#include "agent/command_line.h"
#include "agent/log_file.h"
#include "agent/registration.h"
#include "agent/request2_factory.h"
#include "agent/server_module.h"
#include "platform/base/module_path.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/window_api.h"

namespace {

int Register(HRESULT (*operation)(const std::string&), const char* what) {
  HRESULT hr = operation(ExecutablePath());
  if (FAILED(hr)) {
    std::fprintf(stderr, "LBAgent2: %s failed (0x%08X)\n", what, static_cast<unsigned>(hr));
  }
  return ExitCodeOf(hr);
}

int RunServer() {
  CServerModule module;
  if (!module.StartMonitor()) return 1;
  Request2Options options;
  options.appDirectory = std::filesystem::path(ExecutablePath()).parent_path().string();
  options.serverLock = &module;
  // A window of the main thread, which shows the agent's windows.
  options.windowThread = CreateWindowExA(0, "Static", "LBAgent2", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                         nullptr, nullptr, nullptr);
  ComPtr<CRequest2ClassFactory> factory =
      ComPtr<CRequest2ClassFactory>::Attach(new CRequest2ClassFactory(options));
  module.RunMessageLoop();
  // Releasing the class object ends the instance: the bus name, the worker,
  // the log and the client list go in that order.
  factory.Reset();
  return 0;
}

int RunHandOff(const std::string& file) {
  CLogFile log(".");
  CClientManager clients;
  clients.ReadRegistry();
  clients.HandOff(CString(file));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  StartCommand command = ParseCommandLine(CommandLineOf(argc, argv));
  switch (command.mode) {
    case StartMode::kUnregister: return Register(UnregisterServer, "unregistration");
    case StartMode::kRegister: return Register(RegisterServer, "registration");
    case StartMode::kHandOff: return RunHandOff(command.argument);
    case StartMode::kNothing: return 0;
    case StartMode::kServer: break;
  }
  return RunServer();
}
