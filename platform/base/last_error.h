// The calling thread's last-error code, the Win32 error numbers the
// stand-ins report, and the system's words for them.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_BAD_FORMAT = 11;
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_OUTOFMEMORY = 14;
constexpr LONG ERROR_WRITE_PROTECT = 19;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_HANDLE_EOF = 38;
constexpr LONG ERROR_NOT_SUPPORTED = 50;
constexpr LONG ERROR_FILE_EXISTS = 80;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_DISK_FULL = 112;
constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LONG ERROR_ALREADY_EXISTS = 183;
constexpr LONG ERROR_FILE_TOO_LARGE = 223;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_BADKEY = 1010;
constexpr LONG ERROR_CANTOPEN = 1011;
constexpr LONG ERROR_CANTREAD = 1012;
constexpr LONG ERROR_CANTWRITE = 1013;
constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_FILE_CORRUPT = 1392;

QAP_EXPORT DWORD GetLastError();
QAP_EXPORT void SetLastError(DWORD code);

// The bit Windows leaves to applications in an error code.
constexpr DWORD kApplicationErrorBit = 1u << 29;

// The Win32 code of a C library errno value. An errno that Windows has no
// code for keeps its own number, with the application bit, so that its
// words are not lost.
QAP_EXPORT DWORD Win32ErrorOfErrno(int error);
// What the system says of a code, as FormatMessage tells it, in the host's
// words where an errno stands behind it ("No space left on device").
QAP_EXPORT std::string SystemMessage(DWORD code);
