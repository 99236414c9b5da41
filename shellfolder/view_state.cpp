// The view-state record's bytes.
#include "shellfolder/view_state.h"

#include <cstring>
#include <string>

#include "platform/base/codepage.h"

namespace {

constexpr size_t kNameOffset = 4;
constexpr size_t kNameField = 32;

// Cut to at most units without leaving half a surrogate pair behind.
std::u16string CutName(std::u16string name) {
  if (name.size() <= kSortNameUnits) return name;
  size_t length = kSortNameUnits;
  if (name[length - 1] >= 0xD800 && name[length - 1] <= 0xDBFF) --length;
  name.resize(length);
  return name;
}

}  // namespace

std::array<BYTE, kViewStateSize> EncodeViewState(const ViewState& state) {
  std::array<BYTE, kViewStateSize> bytes{};
  bytes[0] = static_cast<BYTE>(kViewStateVersion & 0xFF);
  bytes[1] = static_cast<BYTE>(kViewStateVersion >> 8);
  bytes[2] = state.ascending ? 1 : 0;
  const std::u16string name = CutName(AnsiToWide(state.sortName.str()));
  for (size_t i = 0; i < name.size(); ++i) {
    bytes[kNameOffset + 2 * i] = static_cast<BYTE>(name[i] & 0xFF);
    bytes[kNameOffset + 2 * i + 1] = static_cast<BYTE>(name[i] >> 8);
  }
  return bytes;
}

std::optional<ViewState> DecodeViewState(const BYTE* bytes, size_t size) {
  if (bytes == nullptr || size != kViewStateSize) return std::nullopt;
  if ((bytes[0] | (bytes[1] << 8)) != kViewStateVersion) return std::nullopt;
  std::u16string name;
  for (size_t i = 0; i < kNameField; ++i) {
    const char16_t unit =
        static_cast<char16_t>(bytes[kNameOffset + 2 * i] | (bytes[kNameOffset + 2 * i + 1] << 8));
    if (unit == u'\0') break;
    name.push_back(unit);
  }
  ViewState state;
  state.ascending = bytes[2] != 0;
  state.sortName = WideToAnsi(CutName(std::move(name)));
  return state;
}
