// A host's words for a reader's report of a damaged stream, for messages.
#pragma once

#include <string>

#include "converters/converter.h"

// "damaged: decoding stopped at 15.2 s of 30.0 s, 15.2 s of audio decoded
// (The file or directory is corrupted and unreadable)"
std::string DescribeDamage(const StreamDamage& damage);
