// In-process servers: a class identifier (or its ProgID) found in the
// registry, the module named under InprocServer32 loaded, and its class
// object taken from DllGetClassObject, as COM does for CLSCTX_INPROC_SERVER.
// CoCreateInstance (platform/automation) comes here for the in-process
// context and reaches local servers through the session bus.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/com/unknown.h"

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

using LPCOLESTR = const char16_t*;

// The entry point an in-process server exports.
using DllGetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);

// A braced class identifier, or a ProgID looked up under
// HKEY_CLASSES_ROOT\<ProgID>\CLSID. CO_E_CLASSSTRING for anything else.
QAP_EXPORT HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
QAP_EXPORT HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);

// With CLSCTX_INPROC_SERVER: HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32
// names the module, a path (mapped like any program path) or a bare file
// name, which is looked for beside the running program. The module is
// loaded once and stays loaded for the life of the process, as COM keeps
// servers until CoFreeUnusedLibraries, which this platform does not offer.
// REGDB_E_CLASSNOTREG when the class has no in-process server (or context
// does not ask for one), CO_E_DLLNOTFOUND when the module cannot be
// loaded, CO_E_ERRORINDLL when it exports no DllGetClassObject; otherwise
// what DllGetClassObject answers.
QAP_EXPORT HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* serverInfo, REFIID iid,
                                    void** object);

// What regsvr32 does: loads the server module (named as under
// InprocServer32) and calls its DllRegisterServer, or DllUnregisterServer;
// CO_E_DLLNOTFOUND or CO_E_ERRORINDLL when that cannot be done, else the
// entry point's answer.
QAP_EXPORT HRESULT CallServerRegistration(const std::string& server, bool registering);
