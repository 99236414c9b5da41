// One track's engine in the conversion dialog: a reader object of the
// layer for the source and a writer object for the output, set up in the
// order the layer expects and connected, the reader feeding the writer.
#pragma once

#include <string>

#include "drumlet/transfer_layer.h"

namespace drumlet {

class ConversionEngine {
 public:
  ConversionEngine() = default;
  ConversionEngine(const ConversionEngine&) = delete;
  ConversionEngine& operator=(const ConversionEngine&) = delete;

  // Makes both objects, opens the source of entry and the output
  // destination, hands over the format, the options and the tags, connects
  // them and starts the reader, whose notifications go to callback with
  // context. False (no object left) when a step fails or objects exist.
  // *tagsRefused: the writer did not take the entry's tags.
  bool Start(const TrackEntry& entry, const char* writerId, const std::string& destination,
             TQuadrinInitStruct* init, NotifyCallback callback, void* context, bool* tagsRefused);
  bool Exists() const { return m_reader != nullptr; }
  // The source's length, in the unit of the reader's progress.
  DWORD Total() const { return m_total; }
  // Asks the running reader to stop; its end notification follows.
  void Abort();
  // Ends both objects.
  void Destroy();

 private:
  CommunicationPtr m_reader;
  CommunicationPtr m_writer;
  DWORD m_total = 0;
};

}  // namespace drumlet
