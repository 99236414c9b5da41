// Test support: what a real browser makes of a page. Loads a URL or a local
// file in headless chromium, lets its scripts, form posts and redirects run,
// and hands back the DOM the browser ended on (and a screenshot when asked).
// Each run has a scratch profile and home, reaches the hosts its rules name
// on loopback while the page keeps its real URLs, is bounded in time, and
// leaves no browser process behind.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace qap::testing {

struct BrowserRun {
  // A URL, or the path of a local file.
  std::string page;
  // Host-resolver rules such as LoopbackRule gives; every other host name is
  // unknown, so a run never reaches beyond the machine.
  std::vector<std::string> hostRules;
  // A PNG of the page as shown at the end; empty for none.
  std::string screenshot;
  int width = 1024;
  int height = 768;
  // Real time the page's loading, form posts and redirects may take to come
  // to rest; the DOM is taken once the page has loaded and started nothing
  // new for half a second.
  std::chrono::milliseconds pageTime{20000};
  // Real time the whole run may take.
  std::chrono::seconds limit{60};
};

struct BrowserResult {
  bool ok = false;
  // The final document, serialised (its root element's outerHTML).
  std::string dom;
  // When not ok: what went wrong and what to install or look at.
  std::string error;
};

BrowserResult RunHeadlessChromium(const BrowserRun& run);

// The rule that sends host, on any port, to 127.0.0.1:port.
std::string LoopbackRule(const std::string& host, int port);

// The file: URL of an absolute local path.
std::string FileUrl(const std::string& path);

}  // namespace qap::testing
