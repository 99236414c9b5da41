// Cobrell, the music folder's in-process COM server: its entry points and the
// identifiers of the classes a host can create through DllGetClassObject.
#pragma once

#include "platform/base/export.h"
#include "platform/com/class_object.h"
#include "platform/com/unknown.h"

// {49C49A94-996D-11D3-8830-5254ABDE229C}
constexpr CLSID CLSID_Mp3DbShellFolder{
    0x49C49A94, 0x996D, 0x11D3, {0x88, 0x30, 0x52, 0x54, 0xAB, 0xDE, 0x22, 0x9C}};
// {49C49AE4-996D-11D3-8830-5254ABDE229C}
constexpr CLSID CLSID_EnumIDList{
    0x49C49AE4, 0x996D, 0x11D3, {0x88, 0x30, 0x52, 0x54, 0xAB, 0xDE, 0x22, 0x9C}};

// The folder's name in the shell, and the junction's name in the registry.
constexpr char kMusicFolderName[] = "QAP Music Jukebox";
constexpr char16_t kMusicFolderNameWide[] = u"QAP Music Jukebox";

extern "C" {
QAP_EXPORT HRESULT DllGetClassObject(REFCLSID classId, REFIID iid, void** object);
// S_OK when no object and no server lock is alive, else S_FALSE.
QAP_EXPORT HRESULT DllCanUnloadNow();
QAP_EXPORT HRESULT DllRegisterServer();
QAP_EXPORT HRESULT DllUnregisterServer();
}

// The other entry points' type, for hosts that find them with dlsym
// (DllGetClassObjectFunction comes with the platform's class objects).
using DllServerFunction = HRESULT (*)();
