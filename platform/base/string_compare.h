// CompareStringOrdinal: UTF-16 text compared unit by unit, optionally
// without regard to case (both sides mapped to upper case first, as Windows
// does for ordinal comparisons), independent of any locale.
#pragma once

#include "platform/base/export.h"
#include "platform/base/win_types.h"

constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;

// A length of -1 means "up to the terminating zero". Returns 0 with
// ERROR_INVALID_PARAMETER for a null string.
QAP_EXPORT int CompareStringOrdinal(LPCWSTR first, int firstLength, LPCWSTR second,
                                    int secondLength, BOOL ignoreCase);
