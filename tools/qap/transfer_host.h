// What qap devices takes of the transfer layer: its objects in owners and
// the options record. The module and device lists are the dialog library's
// own routines (drumlet/module_list.h, drumlet/device_list.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drumlet/transfer_layer.h"

namespace qap {

using TransferObject = CommunicationPtr;

// Null when the module is not registered or cannot make an object.
TransferObject CreateObject(const std::string& shortId);

// The user's recording options as the player hands them to the layer.
bool LoadTransferOptions(TQuadrinInitStruct* init);

}  // namespace qap
