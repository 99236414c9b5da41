// Test support: scratch folders and hives that a test owns and that vanish
// with it, and a bounded wait on a condition (tests never sleep for a fixed
// time).
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace qap::testing {

// A fresh folder under the build's scratch area (or $TMPDIR), removed with
// everything in it when the object dies.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return m_path; }
  // Path() + "/" + name
  std::string File(const std::string& name) const;
  // Writes bytes to File(name) and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string m_path;
};

// Points QAP_REGISTRY at a new hive in its own scratch folder for the life of
// the object; the previous hive is in use again afterwards.
class ScratchHive {
 public:
  ScratchHive();
  ~ScratchHive();
  ScratchHive(const ScratchHive&) = delete;
  ScratchHive& operator=(const ScratchHive&) = delete;

  const std::string& Path() const { return m_file; }
  const ScratchDir& Dir() const { return m_dir; }

 private:
  ScratchDir m_dir;
  std::string m_file;
  std::string m_previous;
  bool m_hadPrevious = false;
};

// Points HOME, the XDG folders, the hive, the cookie jar and the music
// database into root, QAP_BIN_DIR at the running program's folder, the code
// page at its default and windows at headless: a program that calls this
// first can never touch the user's files, and programs running side by side
// never share state.
void UseScratchRuntimeFiles(const ScratchDir& root);

// Polls condition until it holds or timeout passes; returns its last value.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace qap::testing
