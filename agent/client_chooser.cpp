// The terminal chooser.
#include "agent/client_chooser.h"

#include <unistd.h>

#include <iostream>
#include <string>

TerminalClientChooser::TerminalClientChooser()
    : TerminalClientChooser(std::cin, std::cout, isatty(STDIN_FILENO) != 0) {}

TerminalClientChooser::TerminalClientChooser(std::istream& in, std::ostream& out, bool interactive)
    : m_in(in), m_out(out), m_interactive(interactive) {}

std::optional<size_t> TerminalClientChooser::Choose(const std::vector<CString>& names) {
  if (!m_interactive || names.empty()) return std::nullopt;
  m_out << "Downloading to clients\n"
        << "Select client to download :\n";
  for (size_t i = 0; i < names.size(); ++i)
    m_out << "  " << i + 1 << ". " << names[i].str() << "\n";
  m_out << "Number (anything else cancels): " << std::flush;
  std::string line;
  if (!std::getline(m_in, line)) return std::nullopt;
  size_t start = line.find_first_not_of(" \t");
  size_t end = line.find_last_not_of(" \t\r");
  if (start == std::string::npos) return std::nullopt;
  std::string number = line.substr(start, end - start + 1);
  if (number.empty() || number.size() > 9 ||
      number.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  size_t chosen = std::stoul(number);
  if (chosen < 1 || chosen > names.size()) return std::nullopt;
  return chosen - 1;
}
