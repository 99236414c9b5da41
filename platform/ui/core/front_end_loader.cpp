// Loading the front-end module and deciding when windows are shown.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "platform/base/module_path.h"
#include "platform/base/sync.h"
#include "platform/ui/driver.h"
#include "platform/ui/front_end.h"

namespace ui {

namespace {

std::atomic<DisplayMode> g_mode{DisplayMode::kAuto};

struct Loaded {
  std::mutex mutex;
  bool started = false;
  DWORD thread = 0;
  FrontEndInterface interface{};
};

Loaded& GetLoaded() {
  static auto* loaded = new Loaded;
  return *loaded;
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

void SetDisplayMode(DisplayMode mode) { g_mode = mode; }

bool WantsDisplayAsked() {
  if (g_mode.load() != DisplayMode::kAuto) return g_mode.load() == DisplayMode::kGui;
  const char* setting = std::getenv("QAP_UI");
  return setting != nullptr && std::string(setting) == "gui";
}

bool WantsDisplay() {
  DisplayMode mode = g_mode.load();
  if (mode == DisplayMode::kAuto) {
    const char* setting = std::getenv("QAP_UI");
    std::string value = setting != nullptr ? setting : "";
    if (value == "gui") mode = DisplayMode::kGui;
    if (value == "headless") mode = DisplayMode::kHeadless;
  }
  if (mode == DisplayMode::kAuto) return HasDisplay();
  return mode == DisplayMode::kGui;
}

bool StartFrontEnd(bool offscreen, std::string* error) {
  Loaded& loaded = GetLoaded();
  std::lock_guard lock(loaded.mutex);
  if (loaded.started) {
    if (loaded.thread == GetCurrentThreadId()) return true;
    if (error != nullptr) *error = "the front-end shows the windows of another thread";
    return false;
  }
  // The module sits beside this library, as the suite's modules do.
  std::string folder =
      std::filesystem::path(ModulePathOf(reinterpret_cast<const void*>(&StartFrontEnd))).parent_path();
  std::string path = folder + "/libqap_ui_qt.so";
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = dlerror();
    if (error != nullptr) *error = "cannot load the front-end: " + std::string(reason != nullptr ? reason : path);
    return false;
  }
  auto start = reinterpret_cast<StartFrontEndFunction>(dlsym(module, "QapUiStartFrontEnd"));
  std::string reason;
  if (start == nullptr || !start(offscreen, &loaded.interface, &reason)) {
    if (error != nullptr) *error = reason.empty() ? "the front-end did not start" : reason;
    // Qt cannot be unloaded safely once it has started; the module stays.
    return false;
  }
  loaded.started = true;
  loaded.thread = GetCurrentThreadId();
  return true;
}

bool FrontEndRunsHere() {
  Loaded& loaded = GetLoaded();
  std::lock_guard lock(loaded.mutex);
  return loaded.started && loaded.thread == GetCurrentThreadId();
}

bool Screenshot(HWND window, const std::string& file, std::string* error) {
  bool made = false;
  bool reached = driver::RunOnWindowThread(window, [&] {
    if (!FrontEndRunsHere() && !StartFrontEnd(!WantsDisplay(), error)) return;
    Loaded& loaded = GetLoaded();
    made = loaded.interface.screenshot(window, file.c_str(), error);
  });
  if (!reached && error != nullptr) *error = "the window is gone";
  return reached && made;
}

void StartScriptFromEnvironment() {
  static std::atomic<bool> tried{false};
  const char* path = std::getenv("QAP_UI_SCRIPT");
  if (path == nullptr || *path == '\0' || tried.exchange(true)) return;
  std::string folder =
      std::filesystem::path(ModulePathOf(reinterpret_cast<const void*>(&StartFrontEnd))).parent_path();
  void* module = dlopen((folder + "/libqap_ui_script.so").c_str(), RTLD_NOW | RTLD_GLOBAL);
  using Start = bool (*)(const char*, std::string*);
  auto start = module != nullptr ? reinterpret_cast<Start>(dlsym(module, "QapUiStartScript")) : nullptr;
  std::string error = module == nullptr ? "the script module cannot be loaded" : "";
  if (start == nullptr || !start(path, &error)) {
    std::fprintf(stderr, "QAP_UI_SCRIPT: %s\n", error.c_str());
  }
}

}  // namespace ui
