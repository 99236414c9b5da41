// The class object of a class whose objects need nothing of their maker:
// CreateInstance makes one (no aggregation), LockServer holds nothing, for
// modules that stay loaded once loaded.
#pragma once

#include "platform/com/com_object.h"

template <typename Object>
class SimpleClassFactory final : public ComObject<SimpleClassFactory<Object>, IClassFactory> {
 public:
  InterfaceTable Interfaces() { return {{&IID_IClassFactory, static_cast<IClassFactory*>(this)}}; }
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object != nullptr) *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return Object::NewInstance(iid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }

 private:
  friend ComObject<SimpleClassFactory<Object>, IClassFactory>;
  SimpleClassFactory() = default;
  ~SimpleClassFactory() = default;
};
