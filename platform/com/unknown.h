// IUnknown and the helpers every COM object here shares. Interfaces are
// abstract classes whose pure virtuals stand in slot order, without a virtual
// destructor: an object ends through its own Release.
#pragma once

#include <atomic>

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

// A thread-safe reference count for objects that delete themselves at zero.
class RefCount {
 public:
  ULONG Increment() { return ++m_count; }
  ULONG Decrement() { return --m_count; }
  ULONG Value() const { return m_count; }

 private:
  std::atomic<ULONG> m_count{1};
};
