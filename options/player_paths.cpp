// The library's own module file, and the paths that follow from it.
#include "options/player_paths.h"

#include <filesystem>
#include <string>

#include "options/options.h"
#include "platform/base/module_path.h"
#include "platform/base/paths.h"

namespace qap::options {
namespace {

std::string OwnModuleFile() { return ModulePathOf(reinterpret_cast<const void*>(&LoadOptions)); }

}  // namespace

CString PlayerPath() { return SplitPath(OwnModuleFile()).folder + "ZelvarQAP.exe"; }

CString DefaultMusicFolder() {
  const char drive = DriveLetterOf(OwnModuleFile());
  return std::string(1, drive != 0 ? drive : 'C') + ":\\My Music";
}

void CreateFolderQuietly(const CString& folder) {
  const std::string host = ToHostPath(folder.str());
  if (host.empty()) return;
  std::error_code ignored;
  std::filesystem::create_directory(host, ignored);
}

}  // namespace qap::options
