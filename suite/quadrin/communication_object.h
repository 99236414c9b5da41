// What every communication object of the layer shares: the notification
// callback, the style answer, the boundary rule that nothing thrown leaves
// the library, and the table of live objects that lets the layer tell its
// own objects from any other pointer a host hands in.
#pragma once

#include <memory>

#include "drumlet/transfer_layer.h"
#include "suite/quadrin/notifier.h"

namespace quadrin {

class CommunicationObject : public ICommunication {
 public:
  std::int32_t Destroy(DWORD reserved) final;
  std::int32_t Command(DWORD code, void* data) final;
  std::int32_t Read(void*, DWORD*) override { return kQuadrinOk; }
  std::int32_t Write(const void*, const DWORD*) override { return kQuadrinOk; }
  std::int32_t SetNotifyCallback(NotifyCallback callback, void* context) final;

  virtual ModuleStyle Style() const = 0;

  // The live object behind a host's pointer, or null when it is not one.
  static CommunicationObject* FromHost(const ICommunication* object);

 protected:
  CommunicationObject();
  virtual ~CommunicationObject();

  virtual std::int32_t Handle(DWORD code, void* data) = 0;
  // Stops whatever the object runs; called with the callback already
  // silenced, before the object is freed.
  virtual void Shutdown() {}

  const std::shared_ptr<Notifier>& Notifications() const { return m_notifier; }

 private:
  std::shared_ptr<Notifier> m_notifier = std::make_shared<Notifier>();
};

using ObjectPtr = std::unique_ptr<CommunicationObject, void (*)(CommunicationObject*)>;
// Owns an object the layer made for its own use.
ObjectPtr Own(CommunicationObject* object);

}  // namespace quadrin
