// Hobrin's flat exports.
#include <new>

#include "drumlet/transfer_layer.h"
#include "platform/base/paths.h"
#include "suite/hobrin/tag_file.h"

extern "C" {

QAP_EXPORT TagObject* CreateHobrin(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  try {
    const std::string host = ToHostPath(path);
    return host.empty() ? nullptr : TagFile::Open(host);
  } catch (...) {
    return nullptr;
  }
}

QAP_EXPORT void DestroyHobrin(TagObject* object) {
  if (object != nullptr) object->Destroy(0);
}

}  // extern "C"
