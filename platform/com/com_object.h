// What every COM object here shares: the reference count, QueryInterface
// from the object's own table of interfaces, deletion by the last Release,
// and an optional lock held for the object's life (a module's reference,
// which keeps its module loaded while any of its objects lives).
#pragma once

#include <initializer_list>
#include <new>
#include <tuple>
#include <utility>

#include "platform/com/unknown.h"

// The interfaces an object answers to besides IUnknown, each with the
// pointer to hand out for it. Built fresh by the object on each call.
class InterfaceTable {
 public:
  InterfaceTable(std::initializer_list<InterfaceEntry> entries) {
    for (const InterfaceEntry& entry : entries) {
      if (m_count < kCapacity) m_entries[m_count++] = entry;
    }
  }
  void* Find(REFIID iid) const {
    for (size_t i = 0; i < m_count; ++i) {
      if (IsEqualGUID(*m_entries[i].iid, iid)) return m_entries[i].pointer;
    }
    return nullptr;
  }

 private:
  static constexpr size_t kCapacity = 12;
  InterfaceEntry m_entries[kCapacity]{};
  size_t m_count = 0;
};

// For objects whose life holds nothing else.
struct NoObjectLock {};

// Derived lists its interfaces in Interfaces() (IUnknown is answered with
// the first of them, the object's identity) and keeps its destructor
// private, with this base as a friend: only the last Release ends it.
// ObjectLock is constructed before the object and destroyed after it.
template <typename Derived, typename ObjectLock, typename... Bases>
class ComObjectBase : public Bases... {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = IsEqualGUID(iid, IID_IUnknown) ? Identity()
                                             : static_cast<Derived*>(this)->Interfaces().Find(iid);
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return m_refs.Increment(); }
  ULONG Release() override {
    const ULONG left = m_refs.Decrement();
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

  // Makes an object with args and hands it out through iid; the object
  // ends at once when it does not answer iid.
  template <typename... Args>
  static HRESULT NewInstance(REFIID iid, void** object, Args&&... args) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    auto* created = new (std::nothrow) Derived(std::forward<Args>(args)...);
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
  }

 protected:
  ComObjectBase() = default;
  ~ComObjectBase() = default;

  // For objects that behave differently while shared.
  ULONG ReferenceCount() const { return m_refs.Value(); }

  IUnknown* Identity() {
    using First = std::tuple_element_t<0, std::tuple<Bases...>>;
    return static_cast<First*>(this);
  }

 private:
  [[no_unique_address]] ObjectLock m_lock;
  RefCount m_refs;
};

template <typename Derived, typename... Bases>
using ComObject = ComObjectBase<Derived, NoObjectLock, Bases...>;
