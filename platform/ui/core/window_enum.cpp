// Finding and enumerating windows: this process's from the window tree,
// other processes' from what they list on the session bus.
#include <cstring>
#include <string>
#include <vector>

#include "platform/ui/core/remote_windows.h"
#include "platform/ui/core/window.h"
#include "platform/ui/core/window_class.h"
#include "platform/ui/driver.h"

using namespace ui::core;

namespace {

struct Candidate {
  HWND window;
  std::string className;
  std::string title;
};

std::vector<Candidate> LocalCandidates(const std::vector<HWND>& windows) {
  std::vector<Candidate> out;
  std::lock_guard lock(WindowLock());
  for (HWND window : windows) {
    if (auto object = FindWindowObject(window)) {
      out.push_back({window, object->windowClass->name, object->text});
    }
  }
  return out;
}

// Children of parent (null: the top-level windows), this process's first.
std::vector<Candidate> CandidatesUnder(HWND parent) {
  if (parent != nullptr && HandleTable::IsForeign(HandleValue(parent))) {
    std::vector<Candidate> out;
    for (const RemoteWindow& remote : RemoteWindows()) {
      if (remote.parent == parent) out.push_back({remote.window, remote.className, remote.title});
    }
    return out;
  }
  std::vector<Candidate> out =
      LocalCandidates(parent == nullptr ? TopLevelWindows() : ui::driver::Children(parent));
  if (parent == nullptr) {
    for (const RemoteWindow& remote : RemoteWindows()) {
      if (remote.parent == nullptr) out.push_back({remote.window, remote.className, remote.title});
    }
  }
  return out;
}

bool Matches(const Candidate& candidate, LPCSTR className, LPCSTR windowName) {
  if (className != nullptr && !IS_INTRESOURCE(className) &&
      !SameName(candidate.className, className)) {
    return false;
  }
  return windowName == nullptr || candidate.title == windowName;
}

}  // namespace

namespace ui::core {

// What another process last listed of one of its windows.
bool RemoteWindowOf(HWND window, RemoteWindow* out) {
  for (const RemoteWindow& remote : RemoteWindows()) {
    if (remote.window == window) {
      *out = remote;
      return true;
    }
  }
  return false;
}

}  // namespace ui::core

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  return FindWindowExA(nullptr, nullptr, className, windowName);
}

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
  bool started = childAfter == nullptr;
  for (const Candidate& candidate : CandidatesUnder(parent)) {
    if (!started) {
      started = candidate.window == childAfter;
      continue;
    }
    if (Matches(candidate, className, windowName)) return candidate.window;
  }
  return nullptr;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  if (proc == nullptr) return FALSE;
  for (const Candidate& candidate : CandidatesUnder(nullptr)) {
    if (!proc(candidate.window, lParam)) return FALSE;
  }
  return TRUE;
}

static bool EnumDescendants(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  for (const Candidate& candidate : CandidatesUnder(parent)) {
    if (!proc(candidate.window, lParam)) return false;
    if (!EnumDescendants(candidate.window, proc, lParam)) return false;
  }
  return true;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (proc == nullptr || parent == nullptr) return FALSE;
  return EnumDescendants(parent, proc, lParam) ? TRUE : FALSE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam) {
  if (proc == nullptr) return FALSE;
  for (HWND window : TopLevelWindows()) {
    auto object = FindWindowObject(window);
    if (object && object->threadId == threadId && !proc(window, lParam)) return FALSE;
  }
  return TRUE;
}
