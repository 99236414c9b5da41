// The shell's open: documents to the desktop's opener, folders to the shell
// browser.
#include "platform/shell/shell_execute.h"

#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/base/paths.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "platform/shell/shell_browser.h"

namespace {

// Verbs and classes are ASCII words, compared without regard to case.
bool Is(LPCSTR text, const char* wanted) {
  return text != nullptr && strcasecmp(text, wanted) == 0;
}

// Fails the call as the shell fails it: the error for the caller to show
// and the old-style code in hInstApp.
BOOL Fail(SHELLEXECUTEINFOA* info, DWORD error) {
  UINT_PTR code = SE_ERR_NOASSOC;
  if (error == ERROR_FILE_NOT_FOUND) code = SE_ERR_FNF;
  if (error == ERROR_PATH_NOT_FOUND) code = SE_ERR_PNF;
  if (error == ERROR_ACCESS_DENIED) code = SE_ERR_ACCESSDENIED;
  if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) code = SE_ERR_OOM;
  info->hInstApp = reinterpret_cast<HINSTANCE>(code);
  SetLastError(error);
  return FALSE;
}

BOOL OpenFolder(SHELLEXECUTEINFOA* info) {
  const bool explore = Is(info->lpVerb, "explore");
  if (!explore && info->lpVerb != nullptr && *info->lpVerb != '\0' && !Is(info->lpVerb, "open"))
    return Fail(info, ERROR_NO_ASSOCIATION);
  if (OpenShellBrowser(static_cast<LPCITEMIDLIST>(info->lpIDList), explore) == nullptr)
    return Fail(info, GetLastError() != 0 ? GetLastError() : ERROR_PATH_NOT_FOUND);
  info->hInstApp = reinterpret_cast<HINSTANCE>(kShellExecuteSucceeded);
  return TRUE;
}

BOOL OpenDocument(SHELLEXECUTEINFOA* info) {
  if (info->lpVerb != nullptr && *info->lpVerb != '\0' && !Is(info->lpVerb, "open"))
    return Fail(info, ERROR_NO_ASSOCIATION);
  if (info->lpFile == nullptr || *info->lpFile == '\0') return Fail(info, ERROR_FILE_NOT_FOUND);
  std::string file = info->lpFile;
  const bool relative = !IsPathSeparator(file[0]) && DriveLetterOf(file) == '\0';
  if (relative && info->lpDirectory != nullptr && *info->lpDirectory != '\0')
    file = AppendSeparator(info->lpDirectory) + file;
  const std::string host = ToHostPath(file);
  struct stat status {};
  if (host.empty()) return Fail(info, ERROR_PATH_NOT_FOUND);
  if (stat(host.c_str(), &status) != 0)
    return Fail(info, errno == ENOENT ? ERROR_FILE_NOT_FOUND : Win32ErrorOfErrno(errno));
  const char* opener = std::getenv("QAP_OPEN");
  const std::string program = opener != nullptr && *opener != '\0' ? opener : "xdg-open";
  std::string commandLine = ArgsToCommandLine({program, host});
  STARTUPINFOA startup{sizeof startup, 0, static_cast<WORD>(info->nShow)};
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &started))
    return Fail(info, GetLastError());
  if ((info->fMask & SEE_MASK_NOCLOSEPROCESS) != 0) {
    info->hProcess = started.hProcess;
  } else {
    CloseHandle(started.hProcess);
  }
  info->hInstApp = reinterpret_cast<HINSTANCE>(kShellExecuteSucceeded);
  return TRUE;
}

}  // namespace

BOOL ShellExecuteExA(LPSHELLEXECUTEINFOA info) try {
  if (info == nullptr || info->cbSize != sizeof(SHELLEXECUTEINFOA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  info->hProcess = nullptr;
  // An item list of the class "folder" is a folder to browse; any other
  // item list names no document here.
  if ((info->fMask & SEE_MASK_IDLIST) != 0 && info->lpIDList != nullptr) {
    if ((info->fMask & SEE_MASK_CLASSNAME) != 0 && !Is(info->lpClass, "folder"))
      return Fail(info, ERROR_NO_ASSOCIATION);
    return OpenFolder(info);
  }
  return OpenDocument(info);
} catch (...) {
  return Fail(info, ERROR_NOT_ENOUGH_MEMORY);
}

HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, int show) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.hwnd = window;
  info.lpVerb = verb;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.lpDirectory = directory;
  info.nShow = show;
  ShellExecuteExA(&info);
  return info.hInstApp;
}
