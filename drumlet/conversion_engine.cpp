// The engine's set-up: every checked step that fails ends both objects.
#include "drumlet/conversion_engine.h"

#include <cstring>

namespace drumlet {

namespace {

CommunicationPtr MakeObject(const char* shortId) {
  ModuleDescriptor descriptor;
  std::memset(&descriptor, 0, sizeof descriptor);
  ICommunication* object = nullptr;
  if (CreateCommunicationObject(&object, shortId, &descriptor) != kQuadrinOk) return nullptr;
  return CommunicationPtr(object);
}

}  // namespace

bool ConversionEngine::Start(const TrackEntry& entry, const char* writerId,
                             const std::string& destination, TQuadrinInitStruct* init,
                             NotifyCallback callback, void* context, bool* tagsRefused) {
  if (m_reader || m_writer) return false;
  *tagsRefused = false;
  m_reader = MakeObject(entry.readerId);
  m_writer = m_reader ? MakeObject(writerId) : nullptr;
  // The format block is the layer's: room for any record it hands over.
  alignas(8) BYTE format[256] = {};
  TrackEntry source = entry;
  std::string output = destination;
  m_total = 0;
  const bool ready = m_reader && m_writer && m_reader->Command(kCmdOpen, &source) == kQuadrinOk &&
                     m_reader->Command(kCmdGetFormat, format) == kQuadrinOk &&
                     m_reader->Command(kCmdGetLength, &m_total) == kQuadrinOk &&
                     m_writer->Command(kCmdOpen, output.data()) == kQuadrinOk &&
                     m_writer->Command(kCmdSetInputFormat, format) == kQuadrinOk &&
                     m_writer->Command(kCmdIsOpen, format) == kQuadrinOk;
  if (!ready) {
    Destroy();
    return false;
  }
  // A module without options answers "not supported", which is no failure.
  m_writer->Command(kCmdSetOptions, init);
  m_reader->Command(kCmdSetOptions, init);
  TagBlock tags = entry.tags;
  *tagsRefused = m_writer->Command(kCmdSetTags, &tags) != kQuadrinOk;
  if (m_reader->Command(kCmdConnect, m_writer.get()) != kQuadrinOk) {
    Destroy();
    return false;
  }
  m_reader->SetNotifyCallback(callback, context);
  if (m_reader->Command(kCmdStart, nullptr) != kQuadrinOk) {
    Destroy();
    return false;
  }
  return true;
}

void ConversionEngine::Abort() {
  if (m_reader) m_reader->Command(kCmdAbort, nullptr);
}

void ConversionEngine::Destroy() {
  // The reader goes first: it feeds the writer until it ends.
  m_reader.reset();
  m_writer.reset();
}

}  // namespace drumlet
