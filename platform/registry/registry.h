// Registry stand-in shaped like the Win32 registry API, backed by one SQLite
// hive file per user ($QAP_REGISTRY, else $XDG_CONFIG_HOME/qap/registry.db).
//
// Names are byte strings in the system code page. Key and value names
// compare without regard to case and keep the case they were created with;
// the empty (or null) value name is the key's default value. Texts (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) are kept in Unicode whatever the code page of
// the process that wrote them, and converted at these calls with the calling
// process's. Windows' limits hold with its error, ERROR_INVALID_PARAMETER:
// key names of up to 255 characters, value names of up to 16,383, trees of up
// to 512 levels. Results are Win32 error codes (ERROR_SUCCESS on success).
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/last_error.h"
#include "platform/base/win_types.h"

using HKEY = struct HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Access rights are accepted and ignored: the hive has no security.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

QAP_EXPORT LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM sam, PHKEY result);
QAP_EXPORT LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result);
// disposition (may be null) receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
// Missing intermediate keys are created too.
QAP_EXPORT LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                DWORD options, REGSAM sam, const void* security, PHKEY result,
                                LPDWORD disposition);
QAP_EXPORT LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);
QAP_EXPORT LONG RegCloseKey(HKEY key);
// Makes every write made so far durable in the hive file and visible to
// other processes.
QAP_EXPORT LONG RegFlushKey(HKEY key);

// type and data may be null. When data is null, *size receives the size.
// When the buffer is too small: ERROR_MORE_DATA, *size the needed size,
// buffer contents unspecified.
QAP_EXPORT LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type,
                                 LPBYTE data, LPDWORD size);
QAP_EXPORT LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                               const BYTE* data, DWORD size);
// The wide forms take and give names and texts in UTF-16 (data sizes in
// bytes): for values that must not depend on the code page, such as host
// names, which are UTF-8 whatever it is.
QAP_EXPORT LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                 LPBYTE data, LPDWORD size);
QAP_EXPORT LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type,
                               const BYTE* data, DWORD size);
// Sets the default value (REG_SZ, dwType must be REG_SZ) of subKey, creating it.
QAP_EXPORT LONG RegSetValueA(HKEY key, LPCSTR subKey, DWORD type, LPCSTR data, DWORD size);
QAP_EXPORT LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
// Refuses (ERROR_ACCESS_DENIED) a key that still has subkeys, as Windows does.
QAP_EXPORT LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Deletes subKey with everything below it; with a null or empty subKey,
// deletes everything below key (values and subkeys) but keeps key itself.
QAP_EXPORT LONG RegDeleteTreeA(HKEY key, LPCSTR subKey);

// Subkeys enumerate in case-insensitive name order, values in the order they
// were first set. Past the end: ERROR_NO_MORE_ITEMS. nameSize is in
// characters: in, the buffer size including the terminator; out, the length
// without it. A buffer too small gives ERROR_MORE_DATA, and *nameSize the
// length needed (without the terminator).
QAP_EXPORT LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize,
                              LPDWORD reserved, LPSTR keyClass, LPDWORD classSize,
                              void* lastWriteTime);
QAP_EXPORT LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
QAP_EXPORT LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize,
                              LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
// Any out pointer may be null. Lengths are in characters, without terminator.
QAP_EXPORT LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                                 LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD maxClassLen,
                                 LPDWORD values, LPDWORD maxValueNameLen, LPDWORD maxValueLen,
                                 LPDWORD securityDescriptor, void* lastWriteTime);

// --- Outside the Win32 shape: hive management and .reg files. ---

// The hive file in use (resolved from the environment at first use).
QAP_EXPORT std::string RegHivePath();
// Commits pending writes, closes the hive and forgets it; the next call opens
// the hive named by the environment then. Handles opened before become
// invalid (ERROR_INVALID_HANDLE). Tests use it to switch hives.
QAP_EXPORT void RegResetHive();
// Empty when the hive is usable; otherwise why not, naming the file.
QAP_EXPORT std::string RegHiveError();

// Full key names: "HKEY_CURRENT_USER\Software\X"; the roots may also be
// written HKCU, HKCR, HKLM. Splits into root and path; false for an unknown root.
QAP_EXPORT bool RegParseKeyName(const std::string& fullName, HKEY* root, std::string* path);
// "HKEY_CURRENT_USER" and so on; empty for a handle that is not a root.
QAP_EXPORT const char* RegRootName(HKEY root);

enum class RegFileFormat {
  kVersion5,  // "Windows Registry Editor Version 5.00": UTF-16LE, as regedit writes it
  kRegedit4,  // "REGEDIT4": the system code page
};
// Writes the key, its values and all its subkeys as a .reg file, with CRLF
// line ends. A REGEDIT4 file whose text the code page cannot carry is
// refused (ERROR_NO_UNICODE_TRANSLATION).
QAP_EXPORT LONG RegExportKey(const std::string& fullKeyName, const std::string& file,
                             std::string* error, RegFileFormat format = RegFileFormat::kVersion5);
// The text of the 5.00 file, in the system code page with '\n' line ends.
QAP_EXPORT LONG RegExportKeyToString(const std::string& fullKeyName, std::string* text,
                                     std::string* error);
// Applies a .reg file as one change: on any syntax error nothing is changed
// and error names the line. The file is UTF-16LE or UTF-8 with a byte order
// mark, or else in the system code page.
QAP_EXPORT LONG RegImportFile(const std::string& file, std::string* error);
QAP_EXPORT LONG RegImportString(const std::string& text, std::string* error);
