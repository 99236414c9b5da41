// The recorder's commands.
#include "suite/quadrin/recorder_object.h"

namespace quadrin {

std::int32_t RecorderObject::Handle(DWORD code, void* data) {
  switch (code) {
    case kCmdConnect: {
      CommunicationObject* device = FromHost(static_cast<ICommunication*>(data));
      if (device == nullptr || device->Style() != kStyleDevice) return kQuadrinFailed;
      return m_recorder->Target(static_cast<DeviceObject*>(device)->Core());
    }
    case kCmdSetOptions:
      if (data == nullptr) return kQuadrinFailed;
      m_recorder->SetOptions(*static_cast<const TQuadrinInitStruct*>(data));
      return kQuadrinOk;
    case kCmdQueueTrack:
      if (data == nullptr) return kQuadrinFailed;
      return m_recorder->Queue(*static_cast<const TrackEntry*>(data));
    case kCmdPrepare:
      return m_recorder->StartPrepare();
    case kCmdStart:
      return m_recorder->StartBurn();
    case kCmdEraseMedium:
      return m_recorder->StartErase();
    case kCmdAbort:
      m_recorder->Abort();
      return kQuadrinOk;
    default:
      return kQuadrinNotSupported;
  }
}

}  // namespace quadrin
