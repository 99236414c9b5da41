// Owns one internet handle (session, connection or request) and closes it.
#pragma once

#include "platform/inet/wininet.h"

class InternetHandle {
 public:
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET handle) : m_handle(handle) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  InternetHandle(InternetHandle&& other) noexcept : m_handle(other.Release()) {}
  InternetHandle& operator=(InternetHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~InternetHandle() { Reset(); }

  HINTERNET Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  HINTERNET Release() {
    HINTERNET handle = m_handle;
    m_handle = nullptr;
    return handle;
  }
  void Reset(HINTERNET handle = nullptr) {
    if (m_handle != nullptr) InternetCloseHandle(m_handle);
    m_handle = handle;
  }

 private:
  HINTERNET m_handle = nullptr;
};
