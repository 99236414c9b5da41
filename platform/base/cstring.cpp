// CString operations; case mapping goes through UTF-16 so that non-ASCII
// letters change case as they would under a Windows code page.
#include "platform/base/cstring.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/base/case_map.h"
#include "platform/base/codepage.h"

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string MapCase(const std::string& text, bool upper) {
  std::u16string wide;
  // A text that is not valid in the code page only changes case in its ASCII
  // letters: it must not come back with replacement characters in it.
  if (!IsAscii(text) && WideToAnsi(wide = AnsiToWide(text)) == text) {
    for (char16_t& c : wide) c = upper ? UpperCase16(c) : LowerCase16(c);
    return WideToAnsi(wide);
  }
  std::string out = text;
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x80) {
      c = static_cast<char>(upper ? std::toupper(c) : std::tolower(c));
    }
  }
  return out;
}

}  // namespace

CString::CString(const char* text, int length) {
  if (text != nullptr && length > 0) m_text.assign(text, strnlen(text, length));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) m_text.assign(static_cast<size_t>(repeat), ch);
}

char CString::GetAt(int index) const {
  return index >= 0 && index < GetLength() ? m_text[static_cast<size_t>(index)] : '\0';
}

void CString::SetAt(int index, char ch) {
  if (index >= 0 && index < GetLength()) m_text[static_cast<size_t>(index)] = ch;
}

int CString::Compare(const char* other) const {
  int result = std::strcmp(m_text.c_str(), other != nullptr ? other : "");
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* other) const {
  std::string_view rhs(other != nullptr ? other : "");
  if (IsAscii(m_text) && IsAscii(rhs)) {
    int result = strcasecmp(m_text.c_str(), rhs.data());
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
  }
  std::u16string a = AnsiToWide(m_text);
  std::u16string b = AnsiToWide(rhs);
  for (char16_t& c : a) c = LowerCase16(c);
  for (char16_t& c : b) c = LowerCase16(c);
  return a < b ? -1 : (a > b ? 1 : 0);
}

CString& CString::MakeUpper() {
  m_text = MapCase(m_text, true);
  return *this;
}

CString& CString::MakeLower() {
  m_text = MapCase(m_text, false);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_text.begin(), m_text.end());
  return *this;
}

int CString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  if (start >= GetLength()) return -1;
  size_t at = m_text.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const {
  if (sub == nullptr) return -1;
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  size_t at = m_text.find(sub, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
  size_t at = m_text.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char* chars) const {
  if (chars == nullptr) return -1;
  size_t at = m_text.find_first_of(chars);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)));
}

int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  for (char& c : m_text) {
    if (c == oldCh) {
      c = newCh;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char* oldText, const char* newText) {
  if (oldText == nullptr || *oldText == '\0') return 0;
  std::string_view from(oldText);
  std::string_view to(newText != nullptr ? newText : "");
  std::string out;
  int count = 0;
  size_t pos = 0;
  for (size_t at; (at = m_text.find(from, pos)) != std::string::npos; pos = at + from.size()) {
    out.append(m_text, pos, at - pos).append(to);
    ++count;
  }
  out.append(m_text, pos, std::string::npos);
  m_text = std::move(out);
  return count;
}

int CString::Remove(char ch) {
  size_t before = m_text.size();
  m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
  return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, const char* text) {
  index = std::clamp(index, 0, GetLength());
  if (text != nullptr) m_text.insert(static_cast<size_t>(index), text);
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index >= 0 && index < GetLength() && count > 0) {
    m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  }
  return GetLength();
}

CString& CString::TrimLeft() {
  size_t first = 0;
  while (first < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[first]))) ++first;
  m_text.erase(0, first);
  return *this;
}

CString& CString::TrimRight() {
  while (!m_text.empty() && std::isspace(static_cast<unsigned char>(m_text.back()))) {
    m_text.pop_back();
  }
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
  if (format == nullptr) {
    m_text.clear();
    return;
  }
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed < 0) {
    m_text.clear();
    return;
  }
  std::string out(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<size_t>(needed));
  m_text = std::move(out);
}

char* CString::GetBuffer(int minLength) {
  size_t want = static_cast<size_t>(std::max(minLength, GetLength()));
  m_text.resize(want);
  return m_text.data();
}

char* CString::GetBufferSetLength(int length) {
  m_text.resize(static_cast<size_t>(std::max(length, 0)));
  return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
  size_t length = newLength < 0 ? strnlen(m_text.data(), m_text.size())
                                : std::min(static_cast<size_t>(newLength), m_text.size());
  m_text.resize(length);
}

CString& CString::operator=(const char* text) {
  m_text = text != nullptr ? text : "";
  return *this;
}

CString& CString::operator+=(const CString& other) {
  m_text += other.m_text;
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text != nullptr) m_text += text;
  return *this;
}

CString& CString::operator+=(char ch) {
  m_text += ch;
  return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }

CString operator+(const CString& a, const char* b) {
  CString out(a);
  out += b;
  return out;
}

CString operator+(const char* a, const CString& b) {
  CString out(a);
  out += b;
  return out;
}

CString operator+(const CString& a, char b) {
  CString out(a);
  out += b;
  return out;
}
