// What every component's converter object shares: the notification
// callback with its user data, and the boundary rule that nothing thrown
// inside a component leaves it.
#pragma once

#include <atomic>
#include <new>

#include "converters/converter.h"
#include "platform/base/last_error.h"

class ConverterObject : public Converter {
 public:
  std::int32_t SetNotifyCallback(ConverterCallback callback,
                                 ConverterUserData userData) override {
    m_userData = userData;
    m_callback = callback;
    return kConvSuccess;
  }

 protected:
  ConverterObject() = default;
  ~ConverterObject() = default;

  // Sends an event to the installed callback, if any.
  void Notify(DWORD event, void* data) {
    if (ConverterCallback callback = m_callback) callback(this, event, data, m_userData);
  }
  bool HasCallback() const { return m_callback != nullptr; }

  // A failure result, with the system's reason (a full disk, a damaged
  // file) left in the calling thread's last error for the host to tell.
  static std::int32_t FailWith(DWORD error) {
    SetLastError(error);
    return kConvFailure;
  }

  // Runs an operation; anything it throws becomes a failure result.
  template <typename Operation>
  static std::int32_t Guarded(Operation&& operation) {
    try {
      return operation();
    } catch (...) {
      return kConvFailure;
    }
  }

 private:
  // Read by the delivery thread while the client may replace them.
  std::atomic<ConverterCallback> m_callback{nullptr};
  std::atomic<ConverterUserData> m_userData{0};
};

// The body of a component's CreateObject export: a new object of type
// Object, refused (and ended) when it reports that it could not be made
// ready through a Valid() member.
template <typename Object>
std::int32_t CreateConverter(Converter** object) {
  if (object == nullptr) return kConvFailure;
  *object = nullptr;
  auto* made = new (std::nothrow) Object;
  if (made == nullptr) return kConvFailure;
  if constexpr (requires { made->Valid(); }) {
    if (!made->Valid()) {
      made->Destroy(0);
      return kConvFailure;
    }
  }
  *object = made;
  return kConvSuccess;
}
