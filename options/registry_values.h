// Registry access shared by the option groups: how their keys are opened and
// how numbers and texts are read and written.
#pragma once

#include <string>

#include "platform/base/cstring.h"
#include "platform/registry/reg_key.h"

namespace qap::options {

// Every key of the settings is opened with read and write access.
constexpr REGSAM kKeyAccess = KEY_READ | KEY_WRITE;
// The settings' root, under HKEY_CURRENT_USER\SOFTWARE.
constexpr const char* kRootKey = "ZelVar\\QAP";
// The largest text buffer a group reads with.
constexpr DWORD kMaxTextBuffer = 260;
// The most entries a stored list count ("GENRES_COUNT", "ThemesCount") is
// taken for: the value names number entries with three digits, and a
// damaged count must not make a load write billions of defaults.
constexpr DWORD kMaxListEntries = 1000;

LONG OpenKey(HKEY parent, const char* path, RegKey* key);
// No class, non-volatile.
LONG CreateKey(HKEY parent, const char* path, RegKey* key);
LONG OpenOrCreateKey(HKEY parent, const char* path, RegKey* key);
// HKEY_CURRENT_USER\SOFTWARE, opened only.
LONG OpenSoftware(RegKey* key);
// "ZelVar\QAP\<group>", relative to SOFTWARE.
std::string GroupKeyPath(const char* group);

// Four bytes whatever the stored type; shorter data is zero-extended, longer
// data does not read.
bool ReadNumber(HKEY key, const char* name, DWORD* value);
// A text (REG_SZ or REG_EXPAND_SZ) that fits bufferSize bytes with its
// terminator; anything else counts as missing.
bool ReadText(HKEY key, const char* name, DWORD bufferSize, CString* text);
bool WriteNumber(HKEY key, const char* name, DWORD value);
// REG_SZ, the terminator counted in the length.
bool WriteText(HKEY key, const char* name, const char* text);

// The C library's atoi, but saturating where atoi's overflow is undefined.
int DecimalValue(const char* text);

}  // namespace qap::options
