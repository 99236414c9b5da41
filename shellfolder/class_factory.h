// The class objects DllGetClassObject hands out: one factory per creatable
// class, each a live object of the module while it is held.
#pragma once

#include "shellfolder/com_object.h"

class ClassFactory final : public CobrellObject<ClassFactory, IClassFactory> {
 public:
  using CreateFunction = HRESULT (*)(REFIID iid, void** object);

  // A factory that makes objects with create, handed out through iid.
  static HRESULT Create(CreateFunction create, REFIID iid, void** object);

  InterfaceTable Interfaces();
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT LockServer(BOOL lock) override;

 private:
  explicit ClassFactory(CreateFunction create) : m_create(create) {}
  friend CobrellObject<ClassFactory, IClassFactory>;
  ~ClassFactory() = default;

  CreateFunction m_create;
};
