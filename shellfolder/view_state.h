// The one thing the music folder's view keeps between visits: the sort
// column and direction, as a 68-byte record in the folder's view-state
// stream.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

constexpr size_t kViewStateSize = 68;
constexpr WORD kViewStateVersion = 1;
// The longest sort column name kept, terminator excluded.
constexpr size_t kSortNameUnits = 31;

struct ViewState {
  CString sortName;
  bool ascending = true;
};

// Little-endian: version (u16), direction (u8, 1 ascending), padding (u8),
// the name as 32 UTF-16 units, zero-terminated.
std::array<BYTE, kViewStateSize> EncodeViewState(const ViewState& state);
// Nothing unless the bytes are exactly one record of this version. A name
// that fills its field without a terminator is cut to 31 characters.
std::optional<ViewState> DecodeViewState(const BYTE* bytes, size_t size);
