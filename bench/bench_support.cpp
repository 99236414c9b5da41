// Benchmark helpers.
#include "bench/bench_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

extern char** environ;

namespace bench {

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double Millis(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

std::string MakeScratchFolder(const char* program) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" + program + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror((std::string(program) + ": cannot make a scratch folder").c_str());
    return {};
  }
  return pattern;
}

ScratchRun::ScratchRun(const char* program) : m_folder(MakeScratchFolder(program)) {
  if (m_folder.empty()) return;
  setenv("QAP_REGISTRY", (m_folder + "/registry.db").c_str(), 1);
  setenv("HOME", m_folder.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (m_folder + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (m_folder + "/data").c_str(), 1);
}

ScratchRun::~ScratchRun() {
  std::error_code ignored;
  if (!m_folder.empty()) std::filesystem::remove_all(m_folder, ignored);
}

bool RunQuietly(std::vector<std::string> argv, const std::string& inputFile, rusage* usage) {
  if (argv.empty()) return false;
  std::vector<char*> pointers;
  for (auto& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (!inputFile.empty()) {
    posix_spawn_file_actions_addopen(&actions, 0, inputFile.c_str(), O_RDONLY, 0);
  }
  pid_t pid = 0;
  const bool spawned =
      posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage ignored{};
  if (spawned) wait4(pid, &status, 0, usage != nullptr ? usage : &ignored);
  return spawned && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Ffmpeg(std::vector<std::string> args) {
  args.insert(args.begin(), {"ffmpeg", "-v", "error", "-nostdin", "-y", "-threads", "1"});
  return RunQuietly(std::move(args));
}

}  // namespace bench
