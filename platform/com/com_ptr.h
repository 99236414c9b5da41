// A reference-counting owner of one COM interface pointer.
#pragma once

#include <utility>

#include "platform/com/unknown.h"

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT
  // Takes a new reference.
  explicit ComPtr(T* pointer) : m_pointer(pointer) {
    if (m_pointer != nullptr) m_pointer->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.m_pointer) {}
  ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_pointer, other.m_pointer);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Adopts a pointer whose reference the caller already owns.
  static ComPtr Attach(T* pointer) {
    ComPtr out;
    out.m_pointer = pointer;
    return out;
  }
  T* Detach() { return std::exchange(m_pointer, nullptr); }
  void Reset() {
    if (m_pointer != nullptr) std::exchange(m_pointer, nullptr)->Release();
  }

  T* Get() const { return m_pointer; }
  T* operator->() const { return m_pointer; }
  T& operator*() const { return *m_pointer; }
  explicit operator bool() const { return m_pointer != nullptr; }
  // For out parameters: releases what is held, then hands out the slot.
  T** Out() {
    Reset();
    return &m_pointer;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }

  template <typename U>
  HRESULT As(REFIID iid, ComPtr<U>* out) const {
    if (m_pointer == nullptr) return E_POINTER;
    return m_pointer->QueryInterface(iid, out->OutVoid());
  }

 private:
  T* m_pointer = nullptr;
};
