// The layer's options record: the hosts' defaults, the temporary folder the
// layer works in, and the MP3 bit rate.
#pragma once

#include <string>

#include "drumlet/transfer_layer.h"

namespace quadrin {

// The defaults a host without options fills in (no temporary folder).
TQuadrinInitStruct DefaultInitStruct();
// $TMPDIR, else /tmp.
std::string DefaultTempFolder();
// The record's temporary folder, or the default one when it names none.
std::string TempFolderOf(const TQuadrinInitStruct& init);
// The bit rate MP3 files are made at: the record's MP3 rate, or for a host
// that fills in only the writers' rate, that one.
inline DWORD Mp3KbpsOf(const TQuadrinInitStruct& init) {
  return init.mp3BitRateKbps != 0 ? init.mp3BitRateKbps : init.bitRateKbps;
}

}  // namespace quadrin
