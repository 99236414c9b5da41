// What every option group object shares: it begins with its change
// notifier, keeps its single values in a ValueSet, and hands out its
// interface. Groups with only single values load and save them the common
// way; the others add their own steps around them.
#pragma once

#include <span>

#include "options/change_notifier.h"
#include "options/group_key.h"
#include "options/value_set.h"

namespace qap::options {

template <typename Interface>
class OptionGroup : public Interface {
 public:
  bool SetCallback(OptionChangeCallback callback, DWORD userData) override {
    return m_notifier.SetCallback(callback, userData);
  }

 protected:
  OptionGroup(const char* keyName, std::span<const ValueRow> rows)
      : m_values(m_notifier, Object(), rows), m_keyName(keyName) {}

  // The interface pointer, as the callback receives it.
  void* Object() { return static_cast<Interface*>(this); }

  bool LoadValues() {
    return LoadGroup(m_notifier, m_keyName, [this](HKEY key) { m_values.Load(key); });
  }
  bool SaveValues() {
    return SaveGroup(m_notifier, m_keyName, [this](HKEY key) { return m_values.Save(key); });
  }

  ChangeNotifier m_notifier;
  ValueSet m_values;
  const char* const m_keyName;
};

}  // namespace qap::options
