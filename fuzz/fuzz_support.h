// What every fuzz target shares: the scratch folder that the runtime files
// (hive, cookie jar, music database, HOME) point into before the first
// input, the input written as a file, and a check that stops the run when
// the code under test broke a promise of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/testing/scratch.h"

namespace qap::fuzz {

// The process's scratch folder; removed when the process ends.
const qap::testing::ScratchDir& Scratch();

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Writes bytes to Scratch().File(name), replacing it; its path.
std::string WriteInput(const std::string& name, std::string_view bytes);

// Ends the run as a finding, with what went wrong: for results that no
// sanitizer sees but that the code's own contract rules out.
[[noreturn]] void Fail(const std::string& what);

}  // namespace qap::fuzz
