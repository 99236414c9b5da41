// Owns one internet handle (session, connection or request) and closes it.
#pragma once

#include "platform/base/unique_owner.h"
#include "platform/inet/wininet.h"

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static constexpr HINTERNET kNone = nullptr;
  static void Close(HINTERNET handle) { InternetCloseHandle(handle); }
};
using InternetHandle = UniqueOwner<InternetHandleTraits>;
