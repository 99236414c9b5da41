// The counting test allocator.
#include "platform/shell/counting_malloc.h"

#include <malloc.h>

#include "platform/com/task_allocator.h"

CountingMalloc::CountingMalloc() : m_previous(SetShellMalloc(this)) {}

CountingMalloc::~CountingMalloc() { SetShellMalloc(m_previous); }

std::size_t CountingMalloc::Outstanding() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_live.size();
}

void CountingMalloc::FailAfter(std::size_t successes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_failing = true;
  m_successesLeft = successes;
}

void CountingMalloc::AllowAllocations() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_failing = false;
}

HRESULT CountingMalloc::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IMalloc) {
    *object = static_cast<IMalloc*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

// Called with the lock held.
bool CountingMalloc::MayAllocate() {
  if (!m_failing) return true;
  if (m_successesLeft == 0) return false;
  --m_successesLeft;
  return true;
}

void* CountingMalloc::Alloc(std::size_t size) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!MayAllocate()) return nullptr;
  void* block = CoTaskMemAlloc(size);
  if (block != nullptr) m_live.insert(block);
  return block;
}

void* CountingMalloc::Realloc(void* block, std::size_t size) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!MayAllocate()) return nullptr;
  void* moved = CoTaskMemRealloc(block, size);
  if (moved == nullptr) return nullptr;
  if (block != nullptr) m_live.erase(block);
  m_live.insert(moved);
  return moved;
}

void CountingMalloc::Free(void* block) {
  if (block == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_live.erase(block);
  }
  CoTaskMemFree(block);
}

std::size_t CountingMalloc::GetSize(void* block) {
  return block != nullptr ? malloc_usable_size(block) : static_cast<std::size_t>(-1);
}

int CountingMalloc::DidAlloc(void* block) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_live.count(block) != 0 ? 1 : 0;
}
