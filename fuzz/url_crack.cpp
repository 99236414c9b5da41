// Fuzz target: URLs through the HTTP layer's cracker, in each way the
// agent asks (pointers into the URL, copies into buffers of a given size,
// decoded or not, with or without the extra information), and through the
// cookie store's look-up.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/inet/wininet.h"

namespace {

struct Field {
  LPSTR URL_COMPONENTSA::*pointer;
  DWORD URL_COMPONENTSA::*length;
};

constexpr Field kFields[] = {
    {&URL_COMPONENTSA::lpszScheme, &URL_COMPONENTSA::dwSchemeLength},
    {&URL_COMPONENTSA::lpszHostName, &URL_COMPONENTSA::dwHostNameLength},
    {&URL_COMPONENTSA::lpszUserName, &URL_COMPONENTSA::dwUserNameLength},
    {&URL_COMPONENTSA::lpszPassword, &URL_COMPONENTSA::dwPasswordLength},
    {&URL_COMPONENTSA::lpszUrlPath, &URL_COMPONENTSA::dwUrlPathLength},
    {&URL_COMPONENTSA::lpszExtraInfo, &URL_COMPONENTSA::dwExtraInfoLength},
};

// Each component as a pointer into the URL and its length.
void Pointers(const std::string& url, bool extra) {
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  for (const Field& field : kFields) parts.*field.length = 1;
  if (!extra) parts.dwExtraInfoLength = 0;
  if (!InternetCrackUrlA(url.data(), static_cast<DWORD>(url.size()), 0, &parts)) return;
  for (const Field& field : kFields) {
    const char* at = parts.*field.pointer;
    const DWORD length = parts.*field.length;
    if (at == nullptr && length != 0) qap::fuzz::Fail("a component without a pointer");
    if (at != nullptr && (at < url.data() || at + length > url.data() + url.size()))
      qap::fuzz::Fail("a component points outside the URL");
  }
}

// Each component copied into a buffer of capacity bytes. One too small
// says how much it needs; buffers of those sizes must then do.
void Copies(const std::string& url, DWORD capacity, DWORD flags) {
  std::vector<DWORD> sizes(std::size(kFields), capacity);
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::vector<std::vector<char>> buffers;
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    for (size_t i = 0; i < std::size(kFields); ++i) {
      buffers.emplace_back(sizes[i]);
      parts.*kFields[i].pointer = buffers[i].data();
      parts.*kFields[i].length = sizes[i];
    }
    const bool cracked = InternetCrackUrlA(url.c_str(), 0, flags, &parts) != FALSE;
    if (!cracked && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return;
    if (!cracked && attempt == 1) qap::fuzz::Fail("buffers of the sizes asked for are too small");
    for (size_t i = 0; i < std::size(kFields); ++i) {
      const DWORD length = parts.*kFields[i].length;
      if (cracked && sizes[i] != 0 && std::strlen(buffers[i].data()) != length)
        qap::fuzz::Fail("a copied component's length is not its text's");
      if (!cracked && length > sizes[i]) sizes[i] = length;
    }
    if (cracked) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the buffers' size; the rest is the URL.
  const DWORD capacity = data[0];
  const std::string url(qap::fuzz::Bytes(data + 1, size - 1));
  Pointers(url, true);
  Pointers(url, false);
  const std::string text = url.substr(0, url.find('\0'));
  Copies(text, capacity, 0);
  Copies(text, capacity, ICU_DECODE);
  DWORD cookieSize = 0;
  InternetGetCookieA(text.c_str(), nullptr, nullptr, &cookieSize);
  return 0;
}
