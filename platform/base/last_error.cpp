// Per-thread last-error code, as GetLastError keeps it on Windows.
#include "platform/base/last_error.h"

namespace {
thread_local DWORD t_lastError = 0;
}

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD code) { t_lastError = code; }
