// GetVersionExA: which Windows the program believes it runs on. The stand-in
// reports Windows NT (platform id 2); a test can make it report Windows 98
// or fail, to reach code that only runs there.
#pragma once

#include "platform/base/export.h"
#include "platform/base/win_types.h"

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// The caller sets dwOSVersionInfoSize to sizeof(OSVERSIONINFOA); any other
// size fails with ERROR_INSUFFICIENT_BUFFER, as on Windows.
QAP_EXPORT BOOL GetVersionExA(OSVERSIONINFOA* info);

enum class ReportedWindows { kNt, kWindows98, kFailure };
// For tests: what GetVersionExA reports from now on, process-wide.
QAP_EXPORT void SetReportedWindows(ReportedWindows windows);
