// What the benchmark programs share: timing and medians, peak memory, a
// scratch folder, and running a baseline command (ffmpeg, cp) quietly.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration);
double Millis(Clock::duration duration);
double Median(std::vector<double> samples);
// The process's peak resident memory so far.
double PeakMiB();
// A new folder under $TMPDIR (or /tmp) named after the program; empty, with
// the reason on standard error, when it cannot be made.
std::string MakeScratchFolder(const char* program);
// A run's own scratch folder (MakeScratchFolder) with the suite's programs
// pointed at a registry, a home and XDG folders inside it; removed with
// everything in it at the end. Empty when it could not be made.
class ScratchRun {
 public:
  explicit ScratchRun(const char* program);
  ~ScratchRun();
  ScratchRun(const ScratchRun&) = delete;
  ScratchRun& operator=(const ScratchRun&) = delete;

  const std::string& Folder() const { return m_folder; }

 private:
  std::string m_folder;
};

// Runs argv (searched in PATH) with its standard output discarded and its
// standard input from inputFile (empty: the bench's own); true when it exits
// with 0. usage, when given, receives the child's resource usage.
bool RunQuietly(std::vector<std::string> argv, const std::string& inputFile = "",
                rusage* usage = nullptr);
// ffmpeg on one thread, quiet and overwriting, with args after that.
bool Ffmpeg(std::vector<std::string> args);

}  // namespace bench
