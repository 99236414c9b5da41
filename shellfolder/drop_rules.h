// What the music folder takes in a drop or paste: its own songs and
// playlists in the private format, by where they come from and where they
// go, and music files from outside (CF_HDROP) with the extensions it knows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/ole/ole_interfaces.h"

namespace cobrell {

// The extension after the last dot is one of a song's (or a playlist
// file's), letter case aside.
bool IsSongFile(std::string_view path);
bool IsPlaylistFile(std::string_view path);

// The files of a CF_HDROP the data object holds; false when it holds none.
bool ReadDroppedFiles(IDataObject* data, std::vector<std::string>* files);

// The effect a drop of data onto a folder of targetKind and targetId would
// have with keys (MK_*) held, within allowed; DROPEFFECT_NONE when the
// folder refuses it.
DWORD DropEffectFor(IDataObject* data, DWORD targetKind, int targetId, DWORD keys,
                    DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);

}  // namespace cobrell
