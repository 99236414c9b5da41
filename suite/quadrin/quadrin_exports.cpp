// Quadrin's flat exports for Drumlet and other hosts: the registered
// modules, and making and ending their communication objects.
#include <cstring>

#include "drumlet/transfer_layer.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/object_factory.h"

using namespace quadrin;

extern "C" {

QAP_EXPORT std::int32_t EnumRegisteredModules(char* buffer, DWORD slotSize, DWORD* count) {
  if (buffer == nullptr || count == nullptr || slotSize == 0) return kQuadrinFailed;
  try {
    DWORD filled = 0;
    for (const std::string& id : RegisteredModuleIds()) {
      if (filled == kMaxModules) break;
      // A short ID that does not fit a slot cannot be handed on.
      if (id.size() >= slotSize) continue;
      CopyToField(buffer + static_cast<size_t>(filled) * slotSize, slotSize, id);
      ++filled;
    }
    *count = filled;
    return kQuadrinOk;
  } catch (...) {
    return kQuadrinFailed;
  }
}

QAP_EXPORT std::int32_t CreateCommunicationObject(ICommunication** object, const char* shortId,
                                                  ModuleDescriptor* descriptor) {
  if (object == nullptr) return kQuadrinFailed;
  *object = nullptr;
  if (descriptor != nullptr) std::memset(descriptor, 0, sizeof *descriptor);
  if (shortId == nullptr) return kQuadrinFailed;
  try {
    ModuleEntry entry;
    std::string error;
    ObjectPtr made = Own(MakeObject(shortId, &entry, &error));
    if (!made) return kQuadrinFailed;
    if (descriptor != nullptr) {
      CopyToField(descriptor->shortId, sizeof descriptor->shortId, entry.shortId);
      CopyToField(descriptor->description, sizeof descriptor->description, entry.description);
    }
    *object = made.release();
    return kQuadrinOk;
  } catch (...) {
    return kQuadrinFailed;
  }
}

QAP_EXPORT void DestroyCommunicationObject(ICommunication* object, DWORD reserved) {
  if (CommunicationObject* ours = CommunicationObject::FromHost(object)) ours->Destroy(reserved);
}

}  // extern "C"
