// A track's five tag strings as one TagBlock, read from a file or written
// to one through the tag objects: for the transfer layer and the hosts,
// which carry a source's tags over to what is made of it.
#pragma once

#include "drumlet/transfer_layer.h"
#include "platform/base/export.h"

// The file's tags with their presence bits; false when the file's tags
// cannot be read (the block is left as it was).
QAP_EXPORT bool ReadTagBlock(const char* path, TagBlock* tags);
// Writes all five strings into the file; false when it could not.
QAP_EXPORT bool WriteTagBlock(const char* path, const TagBlock& tags);
