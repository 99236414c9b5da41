// The window directory on the session bus. A process's windows carry its
// process id in their handles' upper half, so the name to call is known
// from the handle alone.
#include "platform/automation/window_directory.h"

#include <unistd.h>

#include <memory>
#include <mutex>

#include "platform/automation/bus_values.h"

namespace qap::automation {

namespace {

constexpr const char* kNamePrefix = "org.qap.Windows.p";
constexpr const char* kPath = "/org/qap/Windows";
constexpr const char* kInterface = "org.qap.Windows";

using Entry = sdbus::Struct<std::uint64_t, std::uint64_t, std::string, std::string>;

struct Published {
  std::mutex mutex;
  std::unique_ptr<sdbus::IConnection> connection;
  std::unique_ptr<sdbus::IObject> object;
};

Published& GetPublished() {
  // Kept to the end of the process: its windows stay reachable as long as
  // they exist.
  static auto* published = new Published;
  return *published;
}

bool HasSessionBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address != nullptr && *address != '\0';
}

}  // namespace

std::string DirectoryNameOf(std::uint64_t window) {
  return kNamePrefix + std::to_string(window >> 32);
}

bool PublishWindows(WindowDirectorySource* source) {
  if (!HasSessionBus()) return false;
  Published& published = GetPublished();
  std::lock_guard lock(published.mutex);
  if (published.connection) return true;
  try {
    auto connection = ConnectSessionBus();
    connection->requestName(kNamePrefix + std::to_string(getpid()));
    auto object = sdbus::createObject(*connection, kPath);
    object->registerMethod("List").onInterface(kInterface).implementedAs([source] {
      std::vector<Entry> entries;
      for (const DirectoryEntry& entry : source->Windows()) {
        entries.emplace_back(entry.window, entry.parent, entry.className, entry.title);
      }
      return entries;
    });
    object->registerMethod("CopyData")
        .onInterface(kInterface)
        .implementedAs([source](std::uint64_t window, std::uint64_t from, std::uint64_t data,
                                const std::vector<std::uint8_t>& bytes) {
          std::int64_t result = 0;
          if (!source->CopyData(window, from, data, bytes, &result)) {
            throw sdbus::Error("org.qap.Windows.NoSuchWindow", "no such window");
          }
          return result;
        });
    object->registerMethod("Picture")
        .onInterface(kInterface)
        .implementedAs([source](std::uint64_t window, const std::string& file) {
          std::string error;
          if (!source->Picture(window, file, &error)) throw sdbus::Error("org.qap.Windows.NoPicture", error);
        });
    object->finishRegistration();
    connection->enterEventLoopAsync();
    published.connection = std::move(connection);
    published.object = std::move(object);
    return true;
  } catch (const sdbus::Error&) {
    return false;
  }
}

std::vector<DirectoryEntry> ListSessionWindows(std::chrono::milliseconds timeout) {
  std::vector<DirectoryEntry> windows;
  if (!HasSessionBus()) return windows;
  try {
    auto connection = ConnectSessionBus();
    auto bus = sdbus::createProxy(*connection, kBusName, kBusPath);
    std::vector<std::string> names;
    bus->callMethod("ListNames").onInterface(kBusName).withTimeout(timeout).storeResultsTo(names);
    std::string own = kNamePrefix + std::to_string(getpid());
    for (const std::string& name : names) {
      if (name.rfind(kNamePrefix, 0) != 0 || name == own) continue;
      try {
        auto process = sdbus::createProxy(*connection, name, kPath);
        std::vector<Entry> entries;
        process->callMethod("List").onInterface(kInterface).withTimeout(timeout).storeResultsTo(entries);
        for (const Entry& entry : entries) {
          windows.push_back({entry.get<0>(), entry.get<1>(), entry.get<2>(), entry.get<3>()});
        }
      } catch (const sdbus::Error&) {
        // A process that ended or hangs is simply not listed.
      }
    }
  } catch (const sdbus::Error&) {
  }
  return windows;
}

bool SendCopyData(std::uint64_t window, std::uint64_t from, std::uint64_t data,
                  const std::vector<std::uint8_t>& bytes, std::int64_t* result,
                  std::chrono::milliseconds timeout) {
  if (!HasSessionBus()) return false;
  try {
    auto connection = ConnectSessionBus();
    auto process = sdbus::createProxy(*connection, DirectoryNameOf(window), kPath);
    std::int64_t answer = 0;
    process->callMethod("CopyData")
        .onInterface(kInterface)
        .withTimeout(timeout)
        .withArguments(window, from, data, bytes)
        .storeResultsTo(answer);
    if (result != nullptr) *result = answer;
    return true;
  } catch (const sdbus::Error&) {
    return false;
  }
}

bool RequestPicture(std::uint64_t window, const std::string& file, std::string* error,
                    std::chrono::milliseconds timeout) {
  if (!HasSessionBus()) {
    *error = "there is no session bus";
    return false;
  }
  try {
    auto connection = ConnectSessionBus();
    auto process = sdbus::createProxy(*connection, DirectoryNameOf(window), kPath);
    process->callMethod("Picture").onInterface(kInterface).withTimeout(timeout).withArguments(window, file);
    return true;
  } catch (const sdbus::Error& failure) {
    *error = failure.getMessage().empty() ? "the window's process did not answer" : failure.getMessage();
    return false;
  }
}

}  // namespace qap::automation
