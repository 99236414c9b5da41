// Writing and removing service files, and the bus's activation environment.
#include "platform/automation/bus_service.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>

#include "platform/automation/bus_values.h"
#include "platform/base/runtime_files.h"

namespace qap::automation {
namespace {

// The bus reads Exec like a shell: single quotes keep everything literal, and
// a single quote itself is written as '\''.
std::string Quote(const std::string& arg) {
  bool plain = !arg.empty();
  for (char c : arg) {
    if (!std::isalnum(static_cast<unsigned char>(c)) &&
        std::string_view("/._-+=:,@").find(c) == std::string_view::npos) {
      plain = false;
    }
  }
  if (plain) return arg;
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

std::string BusServiceDirectory() {
  // As for every XDG folder, a relative one does not count.
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base = data != nullptr && data[0] == '/' ? std::string(data)
                                                         : HomeFolder() + "/.local/share";
  return base + "/dbus-1/services";
}

std::string BusServiceFile(const std::string& busName) {
  return BusServiceDirectory() + "/" + busName + ".service";
}

HRESULT RegisterBusService(const std::string& busName, const std::vector<std::string>& command) {
  if (command.empty()) return E_INVALIDARG;
  std::error_code error;
  std::filesystem::create_directories(BusServiceDirectory(), error);
  if (error) return E_ACCESSDENIED;
  std::string exec;
  for (const std::string& arg : command) {
    if (!exec.empty()) exec += ' ';
    exec += Quote(arg);
  }
  std::string file = BusServiceFile(busName);
  // Written aside and renamed, so the bus never reads half a file.
  std::string partial = file + ".part";
  {
    std::ofstream out(partial, std::ios::trunc);
    out << "[D-BUS Service]\nName=" << busName << "\nExec=" << exec << "\n";
    if (!out.flush()) return E_ACCESSDENIED;
  }
  std::filesystem::rename(partial, file, error);
  if (error) {
    std::filesystem::remove(partial, error);
    return E_ACCESSDENIED;
  }
  return S_OK;
}

HRESULT UnregisterBusService(const std::string& busName) {
  std::error_code error;
  std::filesystem::remove(BusServiceFile(busName), error);
  return error ? E_ACCESSDENIED : S_OK;
}

HRESULT UpdateActivationEnvironment(
    const std::vector<std::pair<std::string, std::string>>& variables) {
  std::map<std::string, std::string> environment(variables.begin(), variables.end());
  try {
    auto connection = ConnectSessionBus();
    auto bus = sdbus::createProxy(*connection, kBusName, kBusPath);
    bus->callMethod("UpdateActivationEnvironment").onInterface(kBusName).withArguments(environment);
  } catch (const sdbus::Error&) {
    return RPC_E_DISCONNECTED;
  }
  return S_OK;
}

}  // namespace qap::automation
