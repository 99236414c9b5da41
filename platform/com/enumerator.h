// The enumerator COM's IEnum* interfaces share: Next, Skip, Reset and Clone
// over a snapshot of items taken when it is made. An item that refers to
// an object holds it for the snapshot's life (EnumeratedItem says how), and
// what Next hands out carries a hold of its own for the caller.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/com/com_object.h"

// Plain records hold nothing.
template <typename Item>
struct EnumeratedItem {
  static void Hold(Item&) {}
  static void Drop(Item&) {}
};

template <typename Interface, typename Item, const IID& kIid>
class ComEnumerator final : public ComObject<ComEnumerator<Interface, Item, kIid>, Interface> {
 public:
  static HRESULT Create(std::vector<Item> items, Interface** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    return ComEnumerator::NewInstance(kIid, reinterpret_cast<void**>(enumerator), std::move(items),
                                      size_t{0});
  }

  InterfaceTable Interfaces() { return {{&kIid, static_cast<Interface*>(this)}}; }

  HRESULT Next(ULONG count, Item* out, ULONG* fetched) override {
    if (out == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG given = 0;
    while (given < count && m_position < m_items.size()) {
      out[given] = m_items[m_position++];
      EnumeratedItem<Item>::Hold(out[given]);
      ++given;
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    size_t left = m_items.size() - m_position;
    m_position += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    m_position = 0;
    return S_OK;
  }
  HRESULT Clone(Interface** copy) override {
    if (copy == nullptr) return E_POINTER;
    return ComEnumerator::NewInstance(kIid, reinterpret_cast<void**>(copy), m_items, m_position);
  }

 private:
  friend ComObject<ComEnumerator, Interface>;
  ComEnumerator(std::vector<Item> items, size_t position)
      : m_items(std::move(items)), m_position(position) {
    for (Item& item : m_items) EnumeratedItem<Item>::Hold(item);
  }
  ~ComEnumerator() {
    for (Item& item : m_items) EnumeratedItem<Item>::Drop(item);
  }

  std::vector<Item> m_items;
  size_t m_position;
};
