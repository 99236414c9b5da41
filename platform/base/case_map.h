// Simple (one unit to one unit) Unicode case mapping of UTF-16 code units,
// independent of the process's locale. Surrogates, and letters whose mapping
// leaves the basic plane, map to themselves.
#pragma once

#include "platform/base/export.h"

QAP_EXPORT char16_t UpperCase16(char16_t c);
QAP_EXPORT char16_t LowerCase16(char16_t c);
