// The words for a damaged stream.
#include "converters/stream_damage.h"

#include <cstdio>

#include "platform/base/last_error.h"

namespace {

std::string Seconds(DWORD milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", milliseconds / 1000.0);
  return text;
}

}  // namespace

std::string DescribeDamage(const StreamDamage& damage) {
  std::string text = "damaged: decoding stopped at " + Seconds(damage.stoppedAtMs);
  if (damage.durationMs != 0) text += " of " + Seconds(damage.durationMs);
  return text + ", " + Seconds(damage.deliveredMs) + " of audio decoded (" +
         SystemMessage(damage.error) + ")";
}
