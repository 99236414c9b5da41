// Whether converted files can be written into a folder (a program path).
#pragma once

#include <string>

namespace drumlet {

bool FolderIsWritable(const std::string& folder);

}  // namespace drumlet
