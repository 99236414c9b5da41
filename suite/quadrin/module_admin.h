// Quadrin's exports for hosts that maintain the module registry (the qap
// command, set-up): registering converter components and the built-in
// modules, and naming portable players. Texts are in the system code page;
// on failure the error buffer says why.
#pragma once

#include "drumlet/transfer_layer.h"

extern "C" {

// Registers the converter component in the module file (a program path)
// under its own short name, with its description, extensions and kind.
// registered (may be null) receives the short name and description.
QAP_EXPORT std::int32_t RegisterModuleFile(const char* path, ModuleDescriptor* registered,
                                           char* error, DWORD errorSize);
// Registers the converter components built with the layer (found beside its
// library) and the layer's own modules: the CD writer, the portable players
// and the recorder. Registers what it can when some component is missing.
QAP_EXPORT std::int32_t RegisterBuiltinModules(char* error, DWORD errorSize);
QAP_EXPORT std::int32_t UnregisterModule(const char* shortId);
// A portable player: a music folder (program path) and its capacity.
QAP_EXPORT std::int32_t AddPortablePlayer(const char* name, const char* folder,
                                          DWORD capacityMb, char* error, DWORD errorSize);
QAP_EXPORT std::int32_t RemovePortablePlayer(const char* name);

}  // extern "C"
