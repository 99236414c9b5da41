// The devices of the layer's device modules, as the library's exports and
// its recorder dialogs list them, and the tracks stored on one device.
#pragma once

#include <vector>

#include "drumlet/transfer_layer.h"
#include "platform/ui/ui_types.h"

namespace drumlet {

// The device table's way: the device modules of the registry, each asked
// for its devices through an object. Replaces *table; false (table emptied)
// when the registry view cannot be opened.
bool EnumerateDeviceModules(std::vector<DeviceInfo>* table);

// The recorder dialogs' way: every registered module is asked for its kind,
// and those with devices for each device. Appends them to *devices and, in
// the same order, their names to combo (when not null).
void ListDevicesThroughObjects(std::vector<DeviceInfo>* devices, HWND combo);

// The tracks stored on an open device, one entry per track, into *tracks
// (cleared first); the count. When the device cannot list them: a message
// box naming its storage and -1. Both arguments are required (-1 without).
int ListStoredTracks(ICommunication* pCommunication, std::vector<TrackEntry>* pTracks);

}  // namespace drumlet
