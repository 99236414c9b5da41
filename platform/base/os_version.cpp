// The version the stand-in reports: Windows XP (NT 5.1) unless a test asks
// for Windows 98 or a failure.
#include "platform/base/os_version.h"

#include <atomic>
#include <cstring>

#include "platform/base/last_error.h"

namespace {

std::atomic<ReportedWindows> g_reported{ReportedWindows::kNt};

}  // namespace

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (info == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  switch (g_reported.load()) {
    case ReportedWindows::kNt:
      info->dwMajorVersion = 5;
      info->dwMinorVersion = 1;
      info->dwBuildNumber = 2600;
      info->dwPlatformId = VER_PLATFORM_WIN32_NT;
      std::strcpy(info->szCSDVersion, "Service Pack 3");
      return TRUE;
    case ReportedWindows::kWindows98:
      // 9x keeps the version in the build number's high word.
      info->dwMajorVersion = 4;
      info->dwMinorVersion = 10;
      info->dwBuildNumber = 0x040A07CE;
      info->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
      return TRUE;
    case ReportedWindows::kFailure:
      break;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

void SetReportedWindows(ReportedWindows windows) { g_reported.store(windows); }
