// IUnknown and the helpers every COM object here shares. Interfaces are
// abstract classes whose pure virtuals stand in slot order, without a virtual
// destructor: an object ends through its own Release.
#pragma once

#include <atomic>
#include <initializer_list>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

// {00000000-0000-0000-C000-000000000046}
constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000001-0000-0000-C000-000000000046}
constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
  virtual HRESULT LockServer(BOOL lock) = 0;
};

// One row of an object's QueryInterface table: an interface it answers to
// and the pointer to hand out for it.
struct InterfaceEntry {
  const IID* iid;
  void* pointer;
};

// QueryInterface from such a table: the matching pointer with a reference
// added, or E_NOINTERFACE with *object cleared.
inline HRESULT QueryInterfaceFromTable(IUnknown* self, std::initializer_list<InterfaceEntry> table,
                                       REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const InterfaceEntry& entry : table) {
    if (IsEqualGUID(*entry.iid, iid)) {
      *object = entry.pointer;
      self->AddRef();
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

// A thread-safe reference count for objects that delete themselves at zero.
class RefCount {
 public:
  ULONG Increment() { return ++m_count; }
  ULONG Decrement() { return --m_count; }
  ULONG Value() const { return m_count; }

 private:
  std::atomic<ULONG> m_count{1};
};
