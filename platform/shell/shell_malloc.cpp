// The default shell allocator over the COM task allocator, and the slot that
// lets a test put another in its place.
#include "platform/shell/shell_malloc.h"

#include <malloc.h>

#include <atomic>

#include "platform/com/task_allocator.h"

namespace {

// One object for the life of the process, so its references are not counted.
class TaskMalloc final : public IMalloc {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMalloc) {
      *object = static_cast<IMalloc*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  void* Alloc(std::size_t size) override { return CoTaskMemAlloc(size); }
  void* Realloc(void* block, std::size_t size) override { return CoTaskMemRealloc(block, size); }
  void Free(void* block) override { CoTaskMemFree(block); }
  std::size_t GetSize(void* block) override {
    return block != nullptr ? malloc_usable_size(block) : static_cast<std::size_t>(-1);
  }
  int DidAlloc(void*) override { return -1; }
  void HeapMinimize() override {}
};

TaskMalloc g_taskMalloc;
std::atomic<IMalloc*> g_current{&g_taskMalloc};

}  // namespace

HRESULT SHGetMalloc(IMalloc** allocator) {
  if (allocator == nullptr) return E_INVALIDARG;
  *allocator = g_current.load();
  (*allocator)->AddRef();
  return S_OK;
}

IMalloc* SetShellMalloc(IMalloc* allocator) {
  return g_current.exchange(allocator != nullptr ? allocator : &g_taskMalloc);
}
