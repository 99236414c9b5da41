// The view-state streams the shell browser hands its views: one per folder,
// kept in the registry as Explorer keeps them. StreamMRU under the
// Explorer key holds each folder's absolute item list in a numbered value
// ("0", "1", ...) and the numbers most recently used first in MRUListEx
// (DWORDs ended by 0xFFFFFFFF); the stream of folder n is the binary value
// "ViewView" of Streams\n. The least recently used slot is reused when all
// are taken.
#pragma once

#include "platform/base/export.h"
#include "platform/com/stream.h"
#include "platform/shell/item_id_list.h"

// Explorer's key under HKEY_CURRENT_USER.
inline constexpr char kExplorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
// How many folders keep a stream.
constexpr DWORD kViewStateSlots = 400;

// The folder's stream opened with mode (STGM_READ, STGM_WRITE,
// STGM_READWRITE), with a reference for the caller. Reading a folder that
// saved nothing fails with STG_E_FILENOTFOUND.
QAP_EXPORT HRESULT OpenViewStateStream(LPCITEMIDLIST folder, DWORD mode, IStream** stream);
