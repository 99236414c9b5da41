// A parent window for control tests that writes down every notification it
// hears as a line (in the test's words) and the context menus asked of it,
// and answers from a table of codes or a function.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/tests/ui_test_support.h"

namespace ui::testing {

class NotificationLog {
 public:
  using Describe = std::string (*)(const NMHDR* header);

  explicit NotificationLog(Describe describe) : m_describe(describe) {
    m_parent.onNotify = [this](NMHDR* header) -> LRESULT {
      m_lines.push_back(m_describe(header));
      if (onNotify) return onNotify(header);
      auto answer = answers.find(header->code);
      return answer != answers.end() ? answer->second : 0;
    };
    m_parent.onOther = [this](UINT message, WPARAM, LPARAM) -> LRESULT {
      if (message == WM_CONTEXTMENU) m_lines.push_back("context menu");
      return 0;
    };
  }

  HWND Window() const { return m_parent.Window(); }
  // The lines since the last call.
  std::vector<std::string> Take() { return std::exchange(m_lines, {}); }

  std::map<UINT, LRESULT> answers;
  // When set, answers instead of the table.
  std::function<LRESULT(NMHDR*)> onNotify;

 private:
  Describe m_describe;
  std::vector<std::string> m_lines;
  // Last, so that its window (and what its controls tell while they go)
  // ends first.
  RecordingParent m_parent;
};

}  // namespace ui::testing
