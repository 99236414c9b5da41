// The communication object of "QuadrinRecorder": its commands, over the
// recorder that works on its own thread.
#pragma once

#include <memory>

#include "suite/quadrin/communication_object.h"
#include "suite/quadrin/recorder.h"

namespace quadrin {

class RecorderObject final : public CommunicationObject {
 public:
  RecorderObject() : m_recorder(std::make_shared<Recorder>(Notifications())) {}

  ModuleStyle Style() const override { return kStyleRecorder; }

 protected:
  std::int32_t Handle(DWORD code, void* data) override;
  void Shutdown() override { m_recorder->Shutdown(); }

 private:
  std::shared_ptr<Recorder> m_recorder;
};

}  // namespace quadrin
