// Per-thread last-error code, as GetLastError keeps it on Windows, and the
// table between errno values and Win32 codes.
#include "platform/base/last_error.h"

#include <cerrno>
#include <cstring>

namespace {

thread_local DWORD t_lastError = 0;

struct ErrnoCode {
  int error;
  LONG code;
};
// The first row of an errno gives its code, the first row of a code its
// words.
constexpr ErrnoCode kErrnoCodes[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND}, {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},  {EPERM, ERROR_ACCESS_DENIED},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}, {ENOMEM, ERROR_OUTOFMEMORY},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EROFS, ERROR_WRITE_PROTECT},   {EIO, ERROR_WRITE_FAULT},
    {EEXIST, ERROR_FILE_EXISTS},    {ENOSPC, ERROR_DISK_FULL},
    {EFBIG, ERROR_FILE_TOO_LARGE},
};

struct CodeWords {
  LONG code;
  const char* words;
};
// Codes without an errno behind them, in Windows' words.
constexpr CodeWords kCodeWords[] = {
    {ERROR_BAD_FORMAT, "The file is not in the format expected"},
    {ERROR_HANDLE_EOF, "The file ends before its header says it does"},
    {ERROR_INVALID_DATA, "The data is invalid"},
    {ERROR_NOT_SUPPORTED, "The request is not supported"},
    {ERROR_FILE_CORRUPT, "The file or directory is corrupted and unreadable"},
    {ERROR_BADDB, "The configuration registry database is corrupt"},
    {ERROR_CANTWRITE, "Could not write the registry key"},
    {ERROR_REGISTRY_IO_FAILED, "An I/O operation initiated by the registry failed"},
    {ERROR_KEY_DELETED, "The registry key has been marked for deletion"},
};

}  // namespace

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD code) { t_lastError = code; }

DWORD Win32ErrorOfErrno(int error) {
  for (const ErrnoCode& row : kErrnoCodes) {
    if (row.error == error) return static_cast<DWORD>(row.code);
  }
  return kApplicationErrorBit | static_cast<DWORD>(error);
}

std::string SystemMessage(DWORD code) {
  if ((code & kApplicationErrorBit) != 0) return std::strerror(static_cast<int>(code & ~kApplicationErrorBit));
  for (const ErrnoCode& row : kErrnoCodes) {
    if (static_cast<DWORD>(row.code) == code) return std::strerror(row.error);
  }
  for (const CodeWords& row : kCodeWords) {
    if (static_cast<DWORD>(row.code) == code) return row.words;
  }
  return "error " + std::to_string(code);
}
