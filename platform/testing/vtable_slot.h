// The dispatch-table slot of a virtual member, for tests that pin the slot
// order of interfaces other modules are compiled against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qap::testing {

// Under the Itanium C++ ABI a pointer to a virtual member function holds one
// plus the member's byte offset in the vtable; -1 for a non-virtual member.
template <typename Member>
std::ptrdiff_t SlotOf(Member member) {
  struct Raw {
    std::uintptr_t pointer;
    std::ptrdiff_t adjustment;
  };
  static_assert(sizeof(Member) == sizeof(Raw));
  Raw raw;
  std::memcpy(&raw, &member, sizeof raw);
  if ((raw.pointer & 1) == 0) return -1;
  return static_cast<std::ptrdiff_t>((raw.pointer - 1) / sizeof(void*));
}

}  // namespace qap::testing
