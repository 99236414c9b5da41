// The registered reader, writer and device modules as the dialogs list them
// from the layer's registry view, the reader that takes a file, and the
// filter of the dialogs' Add boxes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drumlet/transfer_layer.h"

namespace drumlet {

// Appends every module whose style shares a bit with kind, in registry
// order. False, with the list untouched, when the registry view cannot be
// opened.
bool ListModules(ModuleStyle kind, std::vector<ModuleInfo>* modules);

// A module's extensions, as listed (without dots).
std::vector<std::string> ExtensionsOf(const ModuleInfo& module);
// The extensions of all the modules in module order, each once (compared
// exactly).
std::vector<std::string> DistinctExtensions(const std::vector<ModuleInfo>& modules);

// The first module whose extension list holds extension as a substring,
// both upper-cased; null for an empty extension or when none does.
const ModuleInfo* ModuleForExtension(const std::vector<ModuleInfo>& modules,
                                     std::string_view extension);
// The reader of a file by its extension; null when it has none or no reader
// lists it. Only files with a reader are ever put in a list.
const ModuleInfo* ReaderForFile(const std::vector<ModuleInfo>& readers, std::string_view path);

// The open-file filter for the modules' files, '|'-separated:
// "All Files|*.wav;*.wma|wav|*.wav|wma|*.wma||".
std::string BuildFilter(const std::vector<ModuleInfo>& modules);

}  // namespace drumlet
