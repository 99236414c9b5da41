// The reference counting every COM object of the module shares: an object
// derives from ComObject with its interfaces, answers QueryInterface itself,
// and is deleted by its last Release. While it lives it keeps the module
// loaded.
#pragma once

#include "platform/com/unknown.h"
#include "shellfolder/module.h"

template <typename Derived, typename... Interfaces>
class ComObject : public Interfaces... {
 public:
  ULONG AddRef() override { return m_refs.Increment(); }
  ULONG Release() override {
    const ULONG left = m_refs.Decrement();
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  ComObject() = default;
  ~ComObject() = default;

 private:
  RefCount m_refs;
  cobrell::ModuleReference m_module;
};
