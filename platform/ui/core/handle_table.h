// The one table behind every user-interface handle: windows, menus, image
// lists, cursors and icons, bitmaps, brushes, accelerator tables, hooks and
// device contexts. A value is never handed out twice, so a stale handle is
// always recognised; the process id in the upper half keeps this process's
// window handles apart from those of other processes of the session.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace ui::core {

enum class ObjectKind {
  kWindow,
  kMenu,
  kImageList,
  kIcon,
  kBitmap,
  kBrush,
  kFont,
  kAccelerators,
  kHook,
  kDeviceContext,
  kDrop,
};

class UserObject {
 public:
  explicit UserObject(ObjectKind kind) : m_kind(kind) {}
  virtual ~UserObject() = default;
  ObjectKind Kind() const { return m_kind; }
  std::uintptr_t Handle() const { return m_handle; }

 private:
  friend class HandleTable;
  ObjectKind m_kind;
  std::uintptr_t m_handle = 0;
};

class HandleTable {
 public:
  static HandleTable& Get();

  // Gives object its handle and keeps it until Remove.
  std::uintptr_t Insert(std::shared_ptr<UserObject> object);
  void Remove(std::uintptr_t handle);
  std::shared_ptr<UserObject> Find(std::uintptr_t handle, ObjectKind kind) const;

  template <typename T>
  std::shared_ptr<T> Find(const void* handle, ObjectKind kind) const {
    return std::static_pointer_cast<T>(Find(reinterpret_cast<std::uintptr_t>(handle), kind));
  }

  // Whether handle was made by another process (its upper half differs).
  static bool IsForeign(std::uintptr_t handle);

 private:
  HandleTable();
  mutable std::mutex m_mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<UserObject>> m_objects;
  std::uintptr_t m_prefix;
  std::uintptr_t m_next = 1;
};

template <typename Handle>
std::uintptr_t HandleValue(Handle handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

template <typename Handle>
Handle AsHandle(std::uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

}  // namespace ui::core
