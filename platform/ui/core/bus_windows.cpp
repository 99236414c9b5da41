// This process's windows in the session's window directory, and other
// processes' windows through it.
#include <atomic>

#include "platform/automation/window_directory.h"
#include "platform/ui/core/remote_windows.h"
#include "platform/ui/core/window.h"
#include "platform/ui/front_end.h"
#include "platform/ui/message_api.h"

namespace ui::core {

std::uint64_t Value(HWND window) { return static_cast<std::uint64_t>(HandleValue(window)); }

namespace {

// How long a process may take to list its windows or answer a copy-data
// message before it counts as gone.
constexpr std::chrono::milliseconds kListTimeout{1000};
constexpr std::chrono::milliseconds kCopyDataTimeout{5000};
constexpr UINT kCopyDataWaitMs = 4000;


class BusWindows final : public RemoteWindowProvider, public qap::automation::WindowDirectorySource {
 public:
  std::vector<RemoteWindow> List() override {
    std::vector<RemoteWindow> windows;
    for (const auto& entry : qap::automation::ListSessionWindows(kListTimeout)) {
      windows.push_back({AsHandle<HWND>(entry.window), AsHandle<HWND>(entry.parent), entry.className,
                         entry.title});
    }
    return windows;
  }

  bool CopyData(HWND window, HWND from, const COPYDATASTRUCT& data, LRESULT* result) override {
    const auto* bytes = static_cast<const std::uint8_t*>(data.lpData);
    std::vector<std::uint8_t> copy(bytes, bytes + (bytes != nullptr ? data.cbData : 0));
    std::int64_t answer = 0;
    bool sent = qap::automation::SendCopyData(Value(window), Value(from), data.dwData, copy, &answer,
                                              kCopyDataTimeout);
    *result = static_cast<LRESULT>(answer);
    return sent;
  }

  // Top-level windows first, then each one's children, depth first.
  std::vector<qap::automation::DirectoryEntry> Windows() override {
    std::vector<qap::automation::DirectoryEntry> entries;
    std::vector<HWND> tops = TopLevelWindows();
    for (HWND top : tops) Add(top, nullptr, &entries);
    for (HWND top : tops) AddChildren(top, &entries);
    return entries;
  }

  bool CopyData(std::uint64_t window, std::uint64_t from, std::uint64_t data,
                const std::vector<std::uint8_t>& bytes, std::int64_t* result) override {
    HWND target = AsHandle<HWND>(static_cast<std::uintptr_t>(window));
    if (HandleTable::IsForeign(HandleValue(target)) || !IsWindow(target)) return false;
    COPYDATASTRUCT copy{static_cast<ULONG_PTR>(data), static_cast<DWORD>(bytes.size()),
                        const_cast<std::uint8_t*>(bytes.data())};
    DWORD_PTR answer = 0;
    // Sent from the bus's thread to the window's, which answers it in turn.
    if (!SendMessageTimeoutA(target, WM_COPYDATA, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&copy),
                             SMTO_BLOCK, kCopyDataWaitMs, &answer)) {
      return false;
    }
    *result = static_cast<std::int64_t>(answer);
    return true;
  }

  bool Picture(std::uint64_t window, const std::string& file, std::string* error) override {
    HWND target = AsHandle<HWND>(static_cast<std::uintptr_t>(window));
    if (HandleTable::IsForeign(HandleValue(target)) || !IsWindow(target)) {
      *error = "no such window";
      return false;
    }
    return ui::Screenshot(target, file, error);
  }

 private:
  static void Add(HWND window, HWND parent, std::vector<qap::automation::DirectoryEntry>* entries) {
    auto object = FindWindowObject(window);
    if (!object) return;
    std::lock_guard lock(WindowLock());
    entries->push_back({Value(window), Value(parent), object->windowClass->name, object->text});
  }

  static void AddChildren(HWND window, std::vector<qap::automation::DirectoryEntry>* entries) {
    std::vector<HWND> children;
    if (auto object = FindWindowObject(window)) {
      std::lock_guard lock(WindowLock());
      children = object->children;
    }
    for (HWND child : children) {
      Add(child, window, entries);
      AddChildren(child, entries);
    }
  }
};

BusWindows& Bus() {
  static auto* bus = new BusWindows;
  return *bus;
}

const bool g_installed = [] {
  SetRemoteWindowProvider(&Bus());
  return true;
}();

}  // namespace

void PublishWindowsOnce() {
  static std::atomic<bool> tried{false};
  if (tried.exchange(true)) return;
  qap::automation::PublishWindows(&Bus());
}

}  // namespace ui::core

namespace ui::driver {

bool PictureOfSessionWindow(HWND window, const std::string& file, std::string* error) {
  // Rendering may first have to bring up the front-end in that process.
  return qap::automation::RequestPicture(ui::core::Value(window), file, error, std::chrono::seconds(30));
}

}  // namespace ui::driver
