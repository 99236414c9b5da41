// The class framework's 8-bit string (system code page bytes), with the
// operations the deliverables use. Positions and lengths are in bytes.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

class QAP_EXPORT CString {
 public:
  CString() = default;
  CString(const char* text) : m_text(text != nullptr ? text : "") {}  // NOLINT: implicit as in MFC
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  CString(std::string text) : m_text(std::move(text)) {}  // NOLINT
  CString(std::string_view text) : m_text(text) {}         // NOLINT

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  operator LPCSTR() const { return m_text.c_str(); }  // NOLINT: implicit as in MFC
  const char* c_str() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }

  char GetAt(int index) const;
  void SetAt(int index, char ch);
  char operator[](int index) const { return GetAt(index); }

  // strcmp order: <0, 0, >0.
  int Compare(const char* other) const;
  // Case-insensitive in the system code page (full Unicode case mapping for
  // UTF-8 text).
  int CompareNoCase(const char* other) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();

  // -1 when not found; a start past the end finds nothing.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* chars) const;

  // Counts and positions out of range are clamped, as the framework does.
  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;

  int Replace(char oldCh, char newCh);
  int Replace(const char* oldText, const char* newText);
  int Remove(char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim();

  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);

  // A writable buffer of at least minLength bytes plus a terminator; call
  // ReleaseBuffer after writing (-1: up to the first NUL).
  char* GetBuffer(int minLength);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  CString& operator=(const char* text);
  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);

  friend QAP_EXPORT CString operator+(const CString& a, const CString& b);
  friend QAP_EXPORT CString operator+(const CString& a, const char* b);
  friend QAP_EXPORT CString operator+(const char* a, const CString& b);
  friend QAP_EXPORT CString operator+(const CString& a, char b);

  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
  friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

 private:
  std::string m_text;
};
