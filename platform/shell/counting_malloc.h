// A shell allocator for tests and benchmarks: while it lives it stands in for
// the shell's own, counts the blocks handed out and not yet freed, and can be
// told to fail, so that leaks and allocation-failure paths can be seen.
#pragma once

#include <cstddef>
#include <mutex>
#include <unordered_set>

#include "platform/base/export.h"
#include "platform/shell/shell_malloc.h"

class QAP_EXPORT CountingMalloc final : public IMalloc {
 public:
  // Installs itself as the shell allocator; the destructor puts the previous
  // one back.
  CountingMalloc();
  ~CountingMalloc();
  CountingMalloc(const CountingMalloc&) = delete;
  CountingMalloc& operator=(const CountingMalloc&) = delete;

  // Blocks allocated through this allocator and not freed yet.
  std::size_t Outstanding() const;
  // After this many more successful allocations, every allocation fails
  // until AllowAllocations.
  void FailAfter(std::size_t successes);
  void AllowAllocations();

  HRESULT QueryInterface(REFIID iid, void** object) override;
  // The object belongs to its creator; references are not counted.
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  void* Alloc(std::size_t size) override;
  void* Realloc(void* block, std::size_t size) override;
  // Blocks of the default allocator are freed too, without being counted.
  void Free(void* block) override;
  std::size_t GetSize(void* block) override;
  int DidAlloc(void* block) override;
  void HeapMinimize() override {}

 private:
  bool MayAllocate();

  mutable std::mutex m_mutex;
  std::unordered_set<void*> m_live;
  bool m_failing = false;
  std::size_t m_successesLeft = 0;
  IMalloc* m_previous = nullptr;
};
