// LBAgent2's registration: the keys of registry scripts 102 (the AppID) and
// 103 (the Request2 class and its ProgIDs) under HKEY_CLASSES_ROOT, then the
// type library, which is the file beside the executable with the extension
// ".tlb", with the bus activation file that starts the executable with
// "-Embedding".
#pragma once

#include <string>

#include "platform/com/hresult.h"

// modulePath: the executable's path (written as the class's LocalServer32).
HRESULT RegisterServer(const std::string& modulePath);
// Removes the same, in the same order; keys the scripts only pass through
// (AppID, CLSID) stay.
HRESULT UnregisterServer(const std::string& modulePath);

// The process exit code of a registration result: 0 for success; otherwise
// the result's low byte, or 1 when that byte is 0, since a process reports
// only 8 bits and a failure must never read as success.
int ExitCodeOf(HRESULT result);
