// Streams the shell hands out: over a block of memory (SHCreateMemStream),
// and over a binary registry value (SHOpenRegStream2A), which is where
// Explorer keeps what views save of themselves.
#pragma once

#include "platform/base/export.h"
#include "platform/com/stream.h"
#include "platform/registry/registry.h"

// A stream over a copy of size bytes at data (may be null for none), with
// a reference for the caller; null when out of memory.
QAP_EXPORT IStream* SHCreateMemStream(const BYTE* data, UINT size);

// A stream over the REG_BINARY value valueName of root\subKey. STGM_READ
// reads what the value holds and fails (null) when the key or the value is
// missing; STGM_WRITE starts empty and STGM_READWRITE with the value's
// bytes, and both write the stream's bytes back to the value, creating the
// key, when the last reference goes (or on Commit).
QAP_EXPORT IStream* SHOpenRegStream2A(HKEY root, LPCSTR subKey, LPCSTR valueName, DWORD mode);
