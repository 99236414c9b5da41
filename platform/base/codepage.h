// Conversions between the system code page ("ANSI") and UTF-16.
//
// The system code page is UTF-8 (65001) unless QAP_ACP=1252 selects
// Windows-1252. Invalid input never fails a conversion: it becomes U+FFFD
// (to UTF-16) or the code page's replacement ('?' for 1252, U+FFFD's UTF-8
// bytes for UTF-8), so the output length is always bounded by the input.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
constexpr UINT CP_1252 = 1252;

// 65001 or 1252, from QAP_ACP at the time of the call.
QAP_EXPORT UINT GetACP();

// Win32 shape: srcLen -1 means "up to and including the terminating NUL".
// dstLen 0 asks for the size needed. A destination too small gives 0 and
// ERROR_INSUFFICIENT_BUFFER; nothing is written past dstLen. Flags are
// ignored. An unknown code page gives 0 and ERROR_INVALID_PARAMETER.
QAP_EXPORT int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLen,
                                   char16_t* dst, int dstLen);
QAP_EXPORT int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* src, int srcLen,
                                   char* dst, int dstLen, const char* defaultChar,
                                   BOOL* usedDefaultChar);

QAP_EXPORT std::u16string AnsiToWide(std::string_view text, UINT codePage = CP_ACP);
QAP_EXPORT std::string WideToAnsi(std::u16string_view text, UINT codePage = CP_ACP);

// System code page text to UTF-8 (host file names, the music database) and
// back; unchanged when the system code page is UTF-8, so file names that are
// not valid UTF-8 still round-trip.
QAP_EXPORT std::string AnsiToUtf8(std::string_view ansi);
QAP_EXPORT std::string Utf8ToAnsi(std::string_view utf8);
// Whether the bytes are UTF-8 that decodes without a replacement.
QAP_EXPORT bool IsValidUtf8(std::string_view text);
