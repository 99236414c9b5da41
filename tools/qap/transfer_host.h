// What the transfer verbs (devices, burn) share: the transfer layer's objects
// in owners, the options record, and a progress line. The module and device
// lists are the dialog library's own routines (drumlet/module_list.h,
// drumlet/device_list.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drumlet/transfer_layer.h"
#include "tools/qap/progress.h"

namespace qap {

using TransferObject = CommunicationPtr;

// Null when the module is not registered or cannot make an object.
TransferObject CreateObject(const std::string& shortId);

// The user's recording options as the player hands them to the layer.
bool LoadTransferOptions(TQuadrinInitStruct* init);

// The file's tags through the tag library, into the entry's TagBlock (flag
// kTrackTagsRead when there were any). False when none could be read.
bool ReadTags(const std::string& path, TrackEntry* entry);

}  // namespace qap
