// Hobrin's flat exports.
#include <new>

#include "drumlet/transfer_layer.h"
#include "suite/hobrin/tag_file.h"
#include "suite/quadrin/common/ansi_text.h"

extern "C" {

QAP_EXPORT TagObject* CreateHobrin(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  try {
    const std::string host = HostPathOfAnsi(path);
    return host.empty() ? nullptr : TagFile::Open(host);
  } catch (...) {
    return nullptr;
  }
}

QAP_EXPORT void DestroyHobrin(TagObject* object) {
  if (object != nullptr) object->Destroy(0);
}

}  // extern "C"
