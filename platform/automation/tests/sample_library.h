// A small type library for the transport's tests: one dispatch interface
// with a method of each kind and two event interfaces.
#pragma once

#include <string>

#include "platform/com/guid.h"

namespace qap::testing {

// {7E570000-0000-0000-0000-0000000000C1}, {...C5}, {...C4}, {...E1}, {...E2}
constexpr GUID kSampleLibId{0x7E570000, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xC1}};
constexpr CLSID kSampleClass{0x7E570000, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xC5}};
constexpr IID kSampleInterface{0x7E570000, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xC4}};
constexpr IID kSampleEvents{0x7E570000, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xE1}};
constexpr IID kSampleNews{0x7E570000, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xE2}};
constexpr const char* kSampleBusName = "org.qap.test.Sample";

// Echo(text s, number i) -> s; Check(what v) -> success; Fail(); Fire(n);
// Hold(), which returns when the test lets it; Announce(s). Events:
// Notify(value n); on a second interface, with the same dispatch
// identifier, Headline(text s).
std::string SampleLibraryText();

}  // namespace qap::testing
