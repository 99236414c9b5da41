// The shell's task allocator (SHGetMalloc). Item identifier lists and out
// strings that cross the shell's interfaces are allocated here and freed by
// whoever receives them. Blocks come from the COM task allocator, so
// CoTaskMemFree frees them too, as on Windows.
#pragma once

#include <cstddef>

#include "platform/base/export.h"
#include "platform/com/unknown.h"

// {00000002-0000-0000-C000-000000000046}
constexpr IID IID_IMalloc{0x00000002, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IMalloc : public IUnknown {
 public:
  virtual void* Alloc(std::size_t size) = 0;
  virtual void* Realloc(void* block, std::size_t size) = 0;
  virtual void Free(void* block) = 0;
  // The usable size of a block; (size_t)-1 for null.
  virtual std::size_t GetSize(void* block) = 0;
  // 1 allocated here, 0 not, -1 cannot tell.
  virtual int DidAlloc(void* block) = 0;
  virtual void HeapMinimize() = 0;
};

// The process's shell allocator, with a reference for the caller.
QAP_EXPORT HRESULT SHGetMalloc(IMalloc** allocator);

// For tests: SHGetMalloc hands out allocator (the caller keeps it alive) from
// now on; null puts the default one back. Returns the one it replaces.
QAP_EXPORT IMalloc* SetShellMalloc(IMalloc* allocator);
