// Scratch folders and hives for tests.
#include "platform/testing/scratch.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/base/module_path.h"
#include "platform/registry/registry.h"

namespace qap::testing {

ScratchDir::ScratchDir() {
  const char* home = std::getenv("TMPDIR");
  std::string base = home != nullptr && *home != '\0' ? home : "/tmp";
  std::string pattern = base + "/qap-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed in " + base);
  m_path = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string ScratchDir::File(const std::string& name) const { return m_path + "/" + name; }

std::string ScratchDir::Write(const std::string& name, const std::string& bytes) const {
  std::string path = File(name);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return path;
}

ScratchHive::ScratchHive() : m_file(m_dir.File("registry.db")) {
  if (const char* previous = std::getenv("QAP_REGISTRY")) {
    m_previous = previous;
    m_hadPrevious = true;
  }
  setenv("QAP_REGISTRY", m_file.c_str(), 1);
  RegResetHive();
}

ScratchHive::~ScratchHive() {
  if (m_hadPrevious) {
    setenv("QAP_REGISTRY", m_previous.c_str(), 1);
  } else {
    unsetenv("QAP_REGISTRY");
  }
  RegResetHive();
}

void UseScratchRuntimeFiles(const ScratchDir& root) {
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                           "XDG_RUNTIME_DIR"}) {
    std::string folder = root.File(name);
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0700);
    setenv(name, folder.c_str(), 1);
  }
  setenv("QAP_REGISTRY", root.File("registry.db").c_str(), 1);
  setenv("QAP_COOKIE_JAR", root.File("cookies.txt").c_str(), 1);
  setenv("QAP_MUSIC_DB", root.File("music.db").c_str(), 1);
  setenv("QAP_BIN_DIR", std::filesystem::path(ExecutablePath()).parent_path().c_str(), 1);
  unsetenv("QAP_ACP");
  // Windows stay headless, whatever display the program was started on.
  setenv("QAP_UI", "headless", 1);
  // Nothing started here opens a program for a person: documents and pages
  // go to a program that does nothing, unless a test points these at a
  // recorder of its own.
  setenv("QAP_OPEN", "true", 1);
  setenv("BROWSER", "true", 1);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace qap::testing
