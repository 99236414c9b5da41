// The live-object table and the shared operations.
#include "suite/quadrin/communication_object.h"

#include <mutex>
#include <unordered_set>

namespace quadrin {
namespace {

std::mutex& TableLock() {
  static std::mutex lock;
  return lock;
}

std::unordered_set<const ICommunication*>& Table() {
  static std::unordered_set<const ICommunication*> table;
  return table;
}

}  // namespace

CommunicationObject::CommunicationObject() {
  std::lock_guard lock(TableLock());
  Table().insert(this);
}

CommunicationObject::~CommunicationObject() {
  std::lock_guard lock(TableLock());
  Table().erase(this);
}

CommunicationObject* CommunicationObject::FromHost(const ICommunication* object) {
  if (object == nullptr) return nullptr;
  std::lock_guard lock(TableLock());
  return Table().count(object) != 0
             ? static_cast<CommunicationObject*>(const_cast<ICommunication*>(object))
             : nullptr;
}

std::int32_t CommunicationObject::Destroy(DWORD) {
  m_notifier->Set(nullptr, nullptr);
  try {
    Shutdown();
  } catch (...) {
    // Whatever failed while stopping, the object still goes.
  }
  delete this;
  return kQuadrinOk;
}

std::int32_t CommunicationObject::Command(DWORD code, void* data) {
  try {
    if (code == kCmdGetStyle) {
      if (data == nullptr) return kQuadrinFailed;
      *static_cast<ModuleStyle*>(data) = Style();
      return kQuadrinOk;
    }
    return Handle(code, data);
  } catch (...) {
    return kQuadrinFailed;
  }
}

std::int32_t CommunicationObject::SetNotifyCallback(NotifyCallback callback, void* context) {
  m_notifier->Set(callback, context);
  return kQuadrinOk;
}

ObjectPtr Own(CommunicationObject* object) {
  return ObjectPtr(object, [](CommunicationObject* owned) {
    if (owned != nullptr) owned->Destroy(0);
  });
}

}  // namespace quadrin
