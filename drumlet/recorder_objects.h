// What the recorder dialog and the simple mode share about the layer's
// objects: making one by short ID, the CD writer's disc-image device and the
// image file beside the skin, and how an end notification tells its outcome.
#pragma once

#include <string>

#include "drumlet/transfer_layer.h"

namespace drumlet {

inline constexpr const char* kRecorderModuleId = "QuadrinRecorder";

// Null when the module is not registered or makes no object.
CommunicationPtr MakeCommunicationObject(const char* shortId);

// Device 0 of the CD writer writes a disc image instead of a disc.
bool IsDiscImageDevice(const char* moduleId, DWORD index);

// The disc image's file: the skin file's folder + "image.cdi". Made
// writable and deleted (with its CUE sheet), so that a session starts with
// an empty disc.
std::string FreshDiscImagePath();

// A finished erase (103) or burn (104): the value word is the layer's
// result, and the data, when there is any, a 32-bit word that is 0 for
// success. Anything else failed (a 108 text before it said why).
bool EndSucceeded(DWORD value, const void* data);

}  // namespace drumlet
