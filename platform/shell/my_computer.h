// My Computer, the folder the shell hangs namespace extensions under: each
// class registered as a key under its Namespace key is one child, a class
// item, whose folder is made through the registry (the class's in-process
// server, DllGetClassObject, IClassFactory) and told where it stands
// (IPersistFolder). The absolute lists the shell browser walks start with
// My Computer's item.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/shell/shell_folder.h"

// {20D04FE0-3AEA-1069-A2D8-08002B30309D}
constexpr CLSID CLSID_MyComputer{
    0x20D04FE0, 0x3AEA, 0x1069, {0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D}};

// Under HKEY_LOCAL_MACHINE.
inline constexpr char kMyComputerNamespaceKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\Namespace";
inline constexpr char16_t kMyComputerName[] = u"My Computer";

// My Computer's folder, with a reference for the caller.
QAP_EXPORT HRESULT CreateMyComputerFolder(IShellFolder** folder);
// The list naming My Computer itself.
QAP_EXPORT HRESULT MyComputerList(LPITEMIDLIST* list);
// The folder an absolute list names (My Computer's item first), bound as
// the shell binds it; E_INVALIDARG for a list that does not start there.
QAP_EXPORT HRESULT BindToFolder(LPCITEMIDLIST absolute, IShellFolder** folder);
// The name of the last item of an absolute list as its parent folder gives
// it (My Computer's own name for My Computer).
QAP_EXPORT HRESULT DisplayNameOfList(LPCITEMIDLIST absolute, SHGDNF flags, std::u16string* name);
// The folder below My Computer named by display names separated by '\'
// ("QAP Music Jukebox\Music", a leading "My Computer" allowed, case
// ignored), or by class items ("::{CLSID}\..."); empty means My Computer.
QAP_EXPORT HRESULT ParseFolderPath(const std::string& path, LPITEMIDLIST* absolute);
