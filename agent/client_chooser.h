// Choosing the client program that receives a file when several are
// registered. The window system's dialog "Downloading to clients" will stand
// behind this interface; until then a person at a terminal picks a number.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <vector>

#include "platform/base/cstring.h"

class IClientChooser {
 public:
  // The index of the chosen name (names in list order), or none.
  virtual std::optional<size_t> Choose(const std::vector<CString>& names) = 0;

 protected:
  ~IClientChooser() = default;
};

// Lists the names with numbers from 1 and reads one line: a listed number
// chooses, anything else (or the end of input) cancels. Without a person at
// the terminal there is no choice.
class TerminalClientChooser final : public IClientChooser {
 public:
  // Standard input and output; interactive when standard input is a
  // terminal.
  TerminalClientChooser();
  TerminalClientChooser(std::istream& in, std::ostream& out, bool interactive);

  std::optional<size_t> Choose(const std::vector<CString>& names) override;

 private:
  std::istream& m_in;
  std::ostream& m_out;
  bool m_interactive;
};
