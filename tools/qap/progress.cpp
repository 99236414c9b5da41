// The one-line progress display of the qap verbs.
#include "tools/qap/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace qap {

ProgressLine::ProgressLine() : m_shown(isatty(STDERR_FILENO) != 0) {}

ProgressLine::ProgressLine(bool shown) : m_shown(shown) {}

void ProgressLine::Show(const std::string& label, unsigned percent) {
  if (!m_shown) return;
  if (label == m_label && static_cast<int>(percent) == m_percent) return;
  if (label != m_label && m_percent >= 0) std::fputc('\n', stderr);
  m_label = label;
  m_percent = static_cast<int>(percent);
  std::fprintf(stderr, "\r%s: %3u%%", label.c_str(), percent);
  std::fflush(stderr);
}

void ProgressLine::Show(const std::string& label, std::uint64_t done, std::uint64_t total) {
  if (total == 0) return;
  Show(label, static_cast<unsigned>(std::min<std::uint64_t>(done * 100 / total, 100)));
}

void ProgressLine::Done() {
  if (m_shown && m_percent >= 0) std::fputc('\n', stderr);
  m_label.clear();
  m_percent = -1;
}

}  // namespace qap
