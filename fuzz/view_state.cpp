// Fuzz target: the bytes of a folder's view-state stream, which any program
// of the user can rewrite in the registry, read as the classic view reads
// them: up to one byte more than a record. What is taken must come back
// unchanged through a write and a new read, with a sort name of at most 31
// characters.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "shellfolder/view_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t read = std::min(size, kViewStateSize + 1);
  const std::optional<ViewState> state = DecodeViewState(data, read);
  if (!state) return 0;
  if (read != kViewStateSize) qap::fuzz::Fail("a stream that is no record was taken");
  if (state->sortName.GetLength() > static_cast<int>(kSortNameUnits) * 4)
    qap::fuzz::Fail("the sort name is longer than its field");
  const auto bytes = EncodeViewState(*state);
  const std::optional<ViewState> again = DecodeViewState(bytes.data(), bytes.size());
  if (!again || again->sortName != state->sortName || again->ascending != state->ascending)
    qap::fuzz::Fail("a record read back as something else");
  return 0;
}
