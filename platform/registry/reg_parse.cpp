// The .reg text parser: headers, byte order marks, [key] and [-key] lines,
// "name"=value lines with string, dword and hex data, and hex lists continued
// over several lines. The file is read as UTF-8 whatever its encoding (a
// UTF-16LE or UTF-8 byte order mark, else the code page); names go to the
// code page and texts to the hive's stored form.
#include "platform/registry/reg_parse.h"

#include <cstdint>
#include <optional>

#include "platform/base/codepage.h"
#include "platform/registry/reg_text.h"

namespace qap::registry {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kSpaces = " \t";

std::string_view TrimLeft(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kSpaces);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRight(std::string_view text) {
  const std::size_t last = text.find_last_not_of(kSpaces);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

// UTF-16LE bytes as UTF-8; false, naming the line, for bytes that are no
// UTF-16 text.
bool Utf16ToUtf8(std::string_view bytes, int line, std::string* text, std::string* error) {
  auto unitAt = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size() && unitAt(i + 2) >= 0xDC00 &&
        unitAt(i + 2) <= 0xDFFF) {
      i += 2;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      *error = "line " + std::to_string(line) + ": invalid UTF-16 text";
      return false;
    } else if (unit == u'\n') {
      ++line;
    }
  }
  if (bytes.size() % 2 != 0) {
    *error = "line " + std::to_string(line) + ": UTF-16 text ends in half a character";
    return false;
  }
  *text = Utf16ToStored(bytes);
  return true;
}

// A carriage return inside a line, or a zero byte, cannot be in a name: the
// calls take names as zero-ended text, and an export could not write it.
bool IsNameText(std::string_view name) {
  return name.find_first_of(std::string_view("\r\0", 2)) == std::string_view::npos;
}

class Parser {
 public:
  // text: UTF-8.
  Parser(std::string_view text, std::vector<RegChange>* changes) : m_changes(changes) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      m_lines.push_back(line);
      start = end + 1;
    }
  }

  bool Parse() {
    const std::string_view header = TrimRight(m_lines.front());
    if (header != kHeader5 && header != kHeader4)
      return Fail("expected the header '" + std::string(kHeader5) + "' or 'REGEDIT4'");
    // Regedit's 5.00 files hold the hex(N) data of texts in UTF-16LE;
    // REGEDIT4 files in the code page.
    m_wideTexts = header == kHeader5;
    // What is not text in the file's encoding could only be stored as some
    // other text, which an export would not give back.
    for (m_index = 0; m_index < m_lines.size(); ++m_index) {
      if (!IsValidUtf8(m_lines[m_index]))
        return Fail("bytes that are no text in the file's encoding");
    }
    for (m_index = 1; m_index < m_lines.size(); ++m_index) {
      const std::string_view line = TrimRight(TrimLeft(m_lines[m_index]));
      if (line.empty() || line.front() == ';') continue;
      bool parsed = false;
      if (line.front() == '[')
        parsed = ParseKeyLine(line);
      else if (line.front() == '"' || line.front() == '@')
        parsed = ParseValueLine(line);
      else
        parsed = Fail("expected a [key] line or a \"name\"=value line");
      if (!parsed) return false;
    }
    return true;
  }

  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const std::string& what) {
    m_error = "line " + std::to_string(m_index + 1) + ": " + what;
    return false;
  }

  bool ParseKeyLine(std::string_view line) {
    if (line.back() != ']') return Fail("expected ']' at the end of the key name");
    std::string_view name = line.substr(1, line.size() - 2);
    const bool remove = !name.empty() && name.front() == '-';
    if (remove) name.remove_prefix(1);
    if (!IsNameText(name)) return Fail("a key name holds a carriage return or a zero byte");
    RegChange change;
    change.kind = remove ? RegChange::Kind::kDeleteKey : RegChange::Kind::kOpenKey;
    if (!RegParseKeyName(Utf8ToAnsi(name), &change.root, &change.path))
      return Fail("unknown root key in '" + std::string(name) + "'");
    if (remove && change.path.find_first_not_of('\\') == std::string::npos)
      return Fail("a root key cannot be deleted");
    m_changes->push_back(std::move(change));
    m_haveKey = !remove;
    return true;
  }

  // A "..." string at text[*pos] with the \\ and \" escapes.
  bool ParseQuoted(std::string_view text, std::size_t* pos, std::string* out) {
    for (++*pos; *pos < text.size(); ++*pos) {
      const char c = text[*pos];
      if (c == '"') {
        ++*pos;
        return true;
      }
      if (c == '\\') {
        if (*pos + 1 >= text.size() || (text[*pos + 1] != '\\' && text[*pos + 1] != '"'))
          return Fail("unknown escape after '\\' (only \\\\ and \\\" are allowed)");
        ++*pos;
      }
      out->push_back(text[*pos]);
    }
    return Fail("missing the closing '\"'");
  }

  bool ParseValueLine(std::string_view line) {
    if (!m_haveKey) return Fail("a value line must follow a [key] line");
    RegChange change;
    std::size_t pos = 1;  // past '@', the default value's name
    if (line.front() == '"') {
      pos = 0;
      if (!ParseQuoted(line, &pos, &change.name)) return false;
      if (!IsNameText(change.name))
        return Fail("a value name holds a carriage return or a zero byte");
      change.name = Utf8ToAnsi(change.name);
    }
    const std::string_view afterName = TrimLeft(line.substr(pos));
    if (afterName.empty() || afterName.front() != '=') return Fail("expected '=' after value name");
    const std::string_view data = TrimLeft(afterName.substr(1));
    if (data == "-") {
      change.kind = RegChange::Kind::kDeleteValue;
    } else if (!ParseData(data, &change)) {
      return false;
    }
    m_changes->push_back(std::move(change));
    return true;
  }

  bool ParseData(std::string_view data, RegChange* change) {
    change->kind = RegChange::Kind::kSetValue;
    if (!data.empty() && data.front() == '"') {
      std::size_t pos = 0;
      if (!ParseQuoted(data, &pos, &change->data)) return false;
      if (pos != data.size()) return Fail("unexpected text after the closing '\"'");
      change->type = REG_SZ;
      change->data.push_back('\0');
      return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
      const auto value = ParseHexNumber(data.substr(6), 8);
      if (!value) return Fail("expected up to 8 hex digits after 'dword:'");
      change->type = REG_DWORD;
      for (int shift = 0; shift < 32; shift += 8)
        change->data.push_back(static_cast<char>((*value >> shift) & 0xFF));
      return true;
    }
    if (StartsWithNoCase(data, "hex:")) {
      change->type = REG_BINARY;
      return ParseHexList(data.substr(4), &change->data);
    }
    if (StartsWithNoCase(data, "hex(")) {
      const std::size_t close = data.find("):");
      const auto type = close == std::string_view::npos
                            ? std::nullopt
                            : ParseHexNumber(data.substr(4, close - 4), 8);
      if (!type) return Fail("expected a hex type number and '):' after 'hex('");
      change->type = *type;
      const std::size_t first = m_index;
      if (!ParseHexList(data.substr(close + 2), &change->data)) return false;
      if (!IsTextType(change->type)) return true;
      if (!m_wideTexts) {
        // Bytes that are no text in the code page would be stored as some
        // other text, which an export would not give back.
        std::string stored = StoredText(change->data);
        if (!IsValidUtf8(stored) || CallerText(stored) != change->data)
          return Fail("hex bytes that are no text in the code page");
        change->data = std::move(stored);
        return true;
      }
      std::string text;
      if (!Utf16ToUtf8(change->data, static_cast<int>(first) + 1, &text, &m_error)) return false;
      change->data = std::move(text);
      return true;
    }
    return Fail("unknown value type (expected \"text\", dword:, hex: or hex(N):)");
  }

  // Comma-separated bytes; a line ending in '\' continues on the next one.
  bool ParseHexList(std::string_view segment, std::string* bytes) {
    for (;;) {
      segment = TrimRight(segment);
      const bool continues = !segment.empty() && segment.back() == '\\';
      if (continues) segment = TrimRight(segment.substr(0, segment.size() - 1));
      std::size_t start = 0;
      while (!segment.empty() && start <= segment.size()) {
        std::size_t comma = segment.find(',', start);
        if (comma == std::string_view::npos) comma = segment.size();
        const std::string_view piece = TrimRight(TrimLeft(segment.substr(start, comma - start)));
        const bool trailingComma = comma == segment.size() && start == segment.size();
        if (piece.empty() && !(trailingComma && continues))
          return Fail("expected a hex byte between commas");
        if (!piece.empty()) {
          const auto byte = ParseHexNumber(piece, 2);
          if (!byte) return Fail(std::string(1, '\'').append(piece).append("' is not a hex byte"));
          bytes->push_back(static_cast<char>(*byte));
        }
        start = comma + 1;
      }
      if (!continues) return true;
      if (m_index + 1 >= m_lines.size())
        return Fail("the hex list continues past the end of the text");
      segment = TrimLeft(m_lines[++m_index]);
    }
  }

  std::vector<RegChange>* m_changes;
  std::vector<std::string_view> m_lines;
  std::size_t m_index = 0;
  bool m_haveKey = false;
  bool m_wideTexts = false;
  std::string m_error;
};

}  // namespace

bool ParseRegText(std::string_view text, std::vector<RegChange>* changes, std::string* error) {
  std::string decoded;
  if (text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE') {
    if (!Utf16ToUtf8(text.substr(2), 1, &decoded, error)) return false;
  } else if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    decoded = text.substr(3);
  } else {
    decoded = AnsiToUtf8(text);
  }
  Parser parser(decoded, changes);
  if (parser.Parse()) return true;
  *error = parser.Error();
  changes->clear();
  return false;
}

}  // namespace qap::registry
