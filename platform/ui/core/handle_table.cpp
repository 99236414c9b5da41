// The handle table.
#include "platform/ui/core/handle_table.h"

#include <unistd.h>

namespace ui::core {

namespace {

// Only the low 31 bits of the process id fit beside a 32-bit counter and
// still leave the value a valid pointer-sized integer on every platform.
std::uintptr_t ProcessPrefix() {
  return (static_cast<std::uintptr_t>(getpid()) & 0x7FFFFFFF) << 32;
}

}  // namespace

HandleTable::HandleTable() : m_prefix(ProcessPrefix()) {}

HandleTable& HandleTable::Get() {
  // Never destroyed: windows of detached threads may outlive static
  // destruction.
  static HandleTable* table = new HandleTable;
  return *table;
}

std::uintptr_t HandleTable::Insert(std::shared_ptr<UserObject> object) {
  std::lock_guard lock(m_mutex);
  // Steps of 4 keep the low bits clear, as Windows' handles are.
  std::uintptr_t handle = m_prefix | (m_next++ << 2);
  object->m_handle = handle;
  m_objects.emplace(handle, std::move(object));
  return handle;
}

void HandleTable::Remove(std::uintptr_t handle) {
  std::shared_ptr<UserObject> keep;
  std::lock_guard lock(m_mutex);
  auto it = m_objects.find(handle);
  if (it == m_objects.end()) return;
  // The object may die here; its destructor must not come back to the table.
  keep = std::move(it->second);
  m_objects.erase(it);
}

std::shared_ptr<UserObject> HandleTable::Find(std::uintptr_t handle, ObjectKind kind) const {
  std::lock_guard lock(m_mutex);
  auto it = m_objects.find(handle);
  if (it == m_objects.end() || it->second->Kind() != kind) return nullptr;
  return it->second;
}

bool HandleTable::IsForeign(std::uintptr_t handle) {
  // Against the table's own prefix: asking for the process id here would
  // cost a system call on every message sent.
  return handle != 0 && (handle & ~std::uintptr_t{0xFFFFFFFF}) != Get().m_prefix;
}

}  // namespace ui::core
