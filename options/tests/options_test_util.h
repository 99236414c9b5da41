// Test support for the Options library: the hive read and written through
// the registry API (never through the library's getters), and a recorder of
// change callbacks that removes itself with the test.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "options/options.h"
#include "platform/registry/reg_key.h"
#include "platform/registry/tests/registry_test_util.h"

namespace qap::options::testing {

inline std::string GroupKey(const char* group) {
  return std::string("SOFTWARE\\ZelVar\\QAP") + (*group != '\0' ? "\\" : "") + group;
}

inline bool KeyExists(HKEY root, const std::string& path) {
  RegKey key;
  return key.Open(root, path.c_str()) == ERROR_SUCCESS;
}

// The stored number of a REG_DWORD value; nothing when missing or another type.
inline std::optional<DWORD> StoredNumber(HKEY root, const std::string& path, const char* name) {
  RegKey key;
  if (key.Open(root, path.c_str()) != ERROR_SUCCESS) return std::nullopt;
  const auto value = registry::testing::Read(key.Get(), name);
  if (value.status != ERROR_SUCCESS || value.type != REG_DWORD || value.data.size() != 4) {
    return std::nullopt;
  }
  DWORD number = 0;
  std::memcpy(&number, value.data.data(), 4);
  return number;
}

// The stored text of a REG_SZ value, which must carry its terminator.
inline std::optional<std::string> StoredText(HKEY root, const std::string& path, const char* name) {
  RegKey key;
  if (key.Open(root, path.c_str()) != ERROR_SUCCESS) return std::nullopt;
  const auto value = registry::testing::Read(key.Get(), name);
  if (value.status != ERROR_SUCCESS || value.type != REG_SZ || value.data.empty() ||
      value.data.back() != '\0') {
    return std::nullopt;
  }
  return value.data.substr(0, value.data.size() - 1);
}

inline void StoreNumber(HKEY root, const std::string& path, const char* name, DWORD number) {
  RegKey key;
  ASSERT_EQ(key.Create(root, path.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(registry::testing::SetDword(key.Get(), name, number), ERROR_SUCCESS);
}

inline void StoreText(HKEY root, const std::string& path, const char* name,
                      const std::string& text) {
  RegKey key;
  ASSERT_EQ(key.Create(root, path.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(registry::testing::SetText(key.Get(), name, text), ERROR_SUCCESS);
}

inline void StoreVersion(const std::string& stamp) {
  StoreText(HKEY_CURRENT_USER, GroupKey(""), "Version", stamp);
}

struct CallbackCall {
  void* object;
  DWORD reserved;
  DWORD valueId;
  DWORD userData;
};

// Installs itself as the callback of one group for its lifetime. The user
// data is a token of its own, so that the recorder can be found again.
class CallbackRecorder {
 public:
  template <typename Group>
  explicit CallbackRecorder(Group& group, std::function<void(const CallbackCall&)> during = {})
      : m_during(std::move(during)), m_token(Register(this)) {
    EXPECT_TRUE(group.SetCallback(&CallbackRecorder::Callback, m_token));
    m_remove = [&group, token = m_token] { group.SetCallback(nullptr, token); };
  }
  ~CallbackRecorder() {
    m_remove();
    Slots()[m_token - kFirstToken] = nullptr;
  }
  CallbackRecorder(const CallbackRecorder&) = delete;
  CallbackRecorder& operator=(const CallbackRecorder&) = delete;

  const std::vector<CallbackCall>& Calls() const { return m_calls; }
  std::vector<DWORD> ValueIds() const {
    std::vector<DWORD> ids;
    for (const auto& call : m_calls) ids.push_back(call.valueId);
    return ids;
  }
  DWORD Token() const { return m_token; }

 private:
  static constexpr DWORD kFirstToken = 0x5100;

  static std::vector<CallbackRecorder*>& Slots() {
    static std::vector<CallbackRecorder*> slots;
    return slots;
  }
  static DWORD Register(CallbackRecorder* recorder) {
    auto& slots = Slots();
    for (size_t i = 0; i < slots.size(); ++i) {
      if (slots[i] == nullptr) {
        slots[i] = recorder;
        return kFirstToken + static_cast<DWORD>(i);
      }
    }
    slots.push_back(recorder);
    return kFirstToken + static_cast<DWORD>(slots.size() - 1);
  }
  static void Callback(void* object, DWORD reserved, DWORD valueId, DWORD userData) {
    CallbackRecorder* recorder = Slots().at(userData - kFirstToken);
    const CallbackCall call{object, reserved, valueId, userData};
    recorder->m_calls.push_back(call);
    if (recorder->m_during) recorder->m_during(call);
  }

  std::function<void(const CallbackCall&)> m_during;
  DWORD m_token;
  std::vector<CallbackCall> m_calls;
  std::function<void()> m_remove;
};

}  // namespace qap::options::testing
