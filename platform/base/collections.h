// The class framework's growable arrays of strings and of 32-bit numbers.
// Out-of-range indexes are ignored on writes and read as empty/zero, where the
// framework would assert.
#pragma once

#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

template <typename T>
class CArray {
 public:
  int GetSize() const { return static_cast<int>(m_items.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  bool IsEmpty() const { return m_items.empty(); }
  void SetSize(int size) { m_items.resize(size > 0 ? static_cast<size_t>(size) : 0); }

  T GetAt(int index) const { return InRange(index) ? m_items[index] : T(); }
  void SetAt(int index, const T& value) {
    if (InRange(index)) m_items[index] = value;
  }
  // Grows the array as the framework's SetAtGrow does.
  void SetAtGrow(int index, const T& value) {
    if (index < 0) return;
    if (index >= GetSize()) SetSize(index + 1);
    m_items[index] = value;
  }
  T& ElementAt(int index) { return m_items.at(static_cast<size_t>(index)); }
  T& operator[](int index) { return ElementAt(index); }
  T operator[](int index) const { return GetAt(index); }

  int Add(const T& value) {
    m_items.push_back(value);
    return GetSize() - 1;
  }
  void InsertAt(int index, const T& value) {
    if (index < 0) return;
    if (index > GetSize()) SetSize(index);
    m_items.insert(m_items.begin() + index, value);
  }
  void RemoveAt(int index, int count = 1) {
    if (!InRange(index) || count <= 0) return;
    int end = index + count > GetSize() ? GetSize() : index + count;
    m_items.erase(m_items.begin() + index, m_items.begin() + end);
  }
  void RemoveAll() { m_items.clear(); }
  void Copy(const CArray& other) { m_items = other.m_items; }
  int Append(const CArray& other) {
    int first = GetSize();
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    return first;
  }

  auto begin() const { return m_items.begin(); }
  auto end() const { return m_items.end(); }
  friend bool operator==(const CArray& a, const CArray& b) {
    return a.m_items == b.m_items;
  }

 private:
  bool InRange(int index) const { return index >= 0 && index < GetSize(); }

  std::vector<T> m_items;
};

using CStringArray = CArray<CString>;
using CDWordArray = CArray<DWORD>;
