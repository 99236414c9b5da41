// The interface-description reader: a recursive descent over the text.
#include "platform/automation/xml_reader.h"

#include <cstdlib>

namespace qap::automation {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : m_text(text) {}

  bool Document(XmlElement* root) {
    SkipMisc();
    if (!Element(root, 0)) return false;
    SkipMisc();
    if (m_failed) return false;
    if (m_at != m_text.size()) return Fail("text after the document element");
    return true;
  }

  std::string Error() const { return m_error; }

 private:
  static constexpr int kMaxDepth = 64;

  bool Fail(const std::string& message) {
    if (!m_failed) {
      size_t line = 1;
      for (size_t i = 0; i < m_at && i < m_text.size(); ++i) line += m_text[i] == '\n';
      m_error = "line " + std::to_string(line) + ": " + message;
      m_failed = true;
    }
    return false;
  }
  bool StartsWith(std::string_view prefix) const {
    return m_text.substr(m_at, prefix.size()) == prefix;
  }
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
  }
  void SkipSpace() {
    while (m_at < m_text.size() && IsSpace(m_text[m_at])) ++m_at;
  }
  // Skips up to and including terminator; false when it never comes.
  bool SkipPast(std::string_view terminator) {
    size_t end = m_text.find(terminator, m_at);
    if (end == std::string_view::npos) return Fail("unterminated markup");
    m_at = end + terminator.size();
    return true;
  }
  // Blanks, comments, processing instructions and the document type.
  void SkipMisc() {
    while (!m_failed) {
      SkipSpace();
      if (StartsWith("<!--")) {
        SkipPast("-->");
      } else if (StartsWith("<?")) {
        SkipPast("?>");
      } else if (StartsWith("<!DOCTYPE")) {
        SkipPast(">");
      } else {
        return;
      }
    }
  }
  bool Name(std::string* name) {
    size_t start = m_at;
    while (m_at < m_text.size() && IsNameChar(m_text[m_at])) ++m_at;
    if (m_at == start) return Fail("a name was expected");
    *name = std::string(m_text.substr(start, m_at - start));
    return true;
  }
  bool Unescape(std::string_view raw, std::string* out) {
    out->clear();
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        *out += raw[i];
        continue;
      }
      size_t end = raw.find(';', i);
      if (end == std::string_view::npos) return Fail("unterminated entity");
      std::string_view entity = raw.substr(i + 1, end - i - 1);
      if (entity == "lt")
        *out += '<';
      else if (entity == "gt")
        *out += '>';
      else if (entity == "amp")
        *out += '&';
      else if (entity == "quot")
        *out += '"';
      else if (entity == "apos")
        *out += '\'';
      else if (entity.size() > 1 && entity[0] == '#') {
        std::string digits(entity.substr(entity[1] == 'x' ? 2 : 1));
        char* endPtr = nullptr;
        unsigned long code = std::strtoul(digits.c_str(), &endPtr, entity[1] == 'x' ? 16 : 10);
        if (digits.empty() || *endPtr != '\0' || code == 0 || code > 0x10FFFF) {
          return Fail("bad character reference");
        }
        AppendUtf8(static_cast<char32_t>(code), out);
      } else {
        return Fail("unknown entity &" + std::string(entity) + ";");
      }
      i = end;
    }
    return true;
  }
  static void AppendUtf8(char32_t code, std::string* out) {
    if (code < 0x80) {
      *out += static_cast<char>(code);
    } else if (code < 0x800) {
      *out += static_cast<char>(0xC0 | (code >> 6));
      *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      *out += static_cast<char>(0xE0 | (code >> 12));
      *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      *out += static_cast<char>(0xF0 | (code >> 18));
      *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      *out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  bool Element(XmlElement* element, int depth) {
    if (depth > kMaxDepth) return Fail("elements nested too deeply");
    if (!StartsWith("<")) return Fail("an element was expected");
    ++m_at;
    if (!Name(&element->name)) return false;
    while (true) {
      SkipSpace();
      if (StartsWith("/>")) {
        m_at += 2;
        return true;
      }
      if (StartsWith(">")) {
        ++m_at;
        break;
      }
      std::string attributeName;
      if (!Name(&attributeName)) return false;
      SkipSpace();
      if (!StartsWith("=")) return Fail("'=' was expected after " + attributeName);
      ++m_at;
      SkipSpace();
      if (m_at >= m_text.size() || (m_text[m_at] != '"' && m_text[m_at] != '\'')) {
        return Fail("a quoted value was expected for " + attributeName);
      }
      char quote = m_text[m_at++];
      size_t end = m_text.find(quote, m_at);
      if (end == std::string_view::npos) return Fail("unterminated attribute value");
      std::string value;
      if (!Unescape(m_text.substr(m_at, end - m_at), &value)) return false;
      m_at = end + 1;
      element->attributes.emplace_back(std::move(attributeName), std::move(value));
    }
    while (true) {
      while (m_at < m_text.size() && m_text[m_at] != '<') ++m_at;
      if (m_at >= m_text.size()) return Fail("<" + element->name + "> is not closed");
      if (StartsWith("<!--")) {
        if (!SkipPast("-->")) return false;
      } else if (StartsWith("<?")) {
        if (!SkipPast("?>")) return false;
      } else if (StartsWith("</")) {
        m_at += 2;
        std::string closing;
        if (!Name(&closing)) return false;
        SkipSpace();
        if (closing != element->name || !StartsWith(">")) {
          return Fail("</" + closing + "> does not close <" + element->name + ">");
        }
        ++m_at;
        return true;
      } else if (StartsWith("<!")) {
        return Fail("unsupported markup");
      } else {
        element->children.emplace_back();
        if (!Element(&element->children.back(), depth + 1)) return false;
      }
    }
  }

  std::string_view m_text;
  size_t m_at = 0;
  bool m_failed = false;
  std::string m_error;
};

}  // namespace

const std::string* XmlElement::Attribute(std::string_view attributeName) const {
  for (const auto& [name, value] : attributes) {
    if (name == attributeName) return &value;
  }
  return nullptr;
}

bool ParseXml(std::string_view text, XmlElement* root, std::string* error) {
  Reader reader(text);
  *root = XmlElement{};
  if (reader.Document(root)) return true;
  if (error != nullptr) *error = reader.Error();
  return false;
}

}  // namespace qap::automation
