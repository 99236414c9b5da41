// Text at the suite's flat boundaries: paths and strings arrive in the system
// code page, host file names are UTF-8, and fixed-size fields take what fits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The same text in UTF-8 (unchanged when the system code page is UTF-8).
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
// The host file name of a program path in the system code page; empty when
// it names an unmapped drive.
std::string HostPathOfAnsi(std::string_view ansiPath);
// Copies text into a field of size bytes, always terminated; text that does
// not fit is cut at a character boundary of the system code page.
void CopyText(char* field, size_t size, std::string_view text);
// A field's text up to its NUL, never past its size.
std::string_view FieldText(const char* field, size_t size);
