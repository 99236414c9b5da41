// The conversion dialog's tracks: an entry made from a file (its reader, its
// size and, when asked, its tags through the tag library), the image of its
// kind, the name its output gets, and tags written into an output by the
// tag library.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drumlet/transfer_layer.h"

namespace drumlet {

// Null when the file has no extension or no reader takes it.
std::unique_ptr<TrackEntry> EntryForFile(const std::string& path, bool readTags,
                                         const std::vector<ModuleInfo>& readers);

// The track column's image for a file, by its extension.
int TrackImageFor(std::string_view path);

// A track name as the name of a file in the destination folder: each of
// ?\/:"*<>| becomes '_', so that a title like "AC/DC: Live" stays one name.
std::string OutputFileName(std::string_view trackName);

// Writes the five strings of tags into file; nothing when the tag library
// has no object for it. False when it could not write them.
bool WriteTagsByLibrary(const std::string& file, const TagBlock& tags);

}  // namespace drumlet
