// "label: 37%" redrawn on one line of standard error, for verbs that do long
// work.
#pragma once

#include <cstdint>
#include <string>

namespace qap {

class ProgressLine {
 public:
  // By default the line is drawn only while standard error is a terminal.
  ProgressLine();
  explicit ProgressLine(bool shown);
  void Show(const std::string& label, unsigned percent);
  // done of total, as a percentage capped at 100; nothing for a total of 0.
  void Show(const std::string& label, std::uint64_t done, std::uint64_t total);
  // Ends the line (when one was drawn).
  void Done();

 private:
  bool m_shown;
  std::string m_label;
  int m_percent = -1;
};

}  // namespace qap
