// Where a reader object's blocks go: the writer of a conversion, or the
// recorder's own preparation of a track.
#pragma once

#include "converters/converter.h"
#include "platform/base/win_types.h"

namespace quadrin {

// Called from the reader's delivery thread, one call at a time.
class BlockSink {
 public:
  virtual ~BlockSink() = default;
  // Before the first block, with the reader's format; false when the sink
  // cannot take it (nothing was started then).
  virtual bool Begin(const PcmFormat& format) = 0;
  virtual bool Write(const BYTE* data, DWORD length) = 0;
  // The end of the stream; complete tells whether the whole source went
  // in. False when the output could not be completed, which then leaves
  // none.
  virtual bool Finish(bool complete) = 0;
  // Why Begin, Write or Finish failed, as a Win32 code (a full disk); 0
  // when there was no failure or no cause is known.
  virtual DWORD Failure() const = 0;
};

}  // namespace quadrin
