// One owner for every kind of handle the suite keeps (events and threads,
// registry keys, internet handles, file descriptors): Traits names the
// handle's type, the value that means "none" and how a handle is closed.
#pragma once

#include <utility>

template <typename Traits>
class UniqueOwner {
 public:
  using Handle = typename Traits::Handle;

  UniqueOwner() = default;
  explicit UniqueOwner(Handle handle) : m_handle(handle) {}
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  UniqueOwner(UniqueOwner&& other) noexcept : m_handle(other.Release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueOwner() { Reset(); }

  Handle Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != Traits::kNone; }
  Handle Release() { return std::exchange(m_handle, Traits::kNone); }
  void Reset(Handle handle = Traits::kNone) {
    const Handle old = std::exchange(m_handle, handle);
    if (old != Traits::kNone) Traits::Close(old);
  }
  // For calls that hand a new handle out through a pointer; closes the
  // one held first.
  Handle* Out() {
    Reset();
    return &m_handle;
  }

 private:
  Handle m_handle = Traits::kNone;
};
