// What the transfer verbs (convert, devices, burn) share: the transfer
// layer's objects in owners, the module and device lists built the way the
// dialog library builds them, the options record, and a progress line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drumlet/transfer_layer.h"
#include "tools/qap/progress.h"

namespace qap {

struct ObjectCloser {
  void operator()(ICommunication* object) const { DestroyCommunicationObject(object, 0); }
};
using TransferObject = std::unique_ptr<ICommunication, ObjectCloser>;

// Null when the module is not registered or cannot make an object.
TransferObject CreateObject(const std::string& shortId);

// The registered modules whose style has a bit of mask, in registry order.
std::vector<ModuleInfo> ListModules(ModuleStyle mask);
// The first module of the list whose extension list holds the extension
// (upper-case substring match); null when none.
const ModuleInfo* ModuleForExtension(const std::vector<ModuleInfo>& modules,
                                     const std::string& extension);

// Every device of every device module, through their objects.
std::vector<DeviceInfo> ListDevices();

// The user's recording options as the player hands them to the layer.
bool LoadTransferOptions(TQuadrinInitStruct* init);

// The file's tags through the tag library, into the entry's TagBlock (flag
// kTrackTagsRead when there were any). False when none could be read.
bool ReadTags(const std::string& path, TrackEntry* entry);

// The extension without its dot, as given ("" for none).
std::string ExtensionOf(const std::string& path);

}  // namespace qap
