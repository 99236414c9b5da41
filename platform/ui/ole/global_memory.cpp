// The table of global memory blocks.
#include "platform/ui/ole/global_memory.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

#include "platform/base/last_error.h"

namespace {

// Sizes a 32-bit program could ask for; anything larger is refused rather
// than left to the allocator.
constexpr SIZE_T kLargest = 0x7FFFFFFF;

struct Block {
  std::unique_ptr<BYTE[]> data;
  SIZE_T size = 0;
  bool moveable = false;
  int locks = 0;
};

class BlockTable {
 public:
  static BlockTable& Get() {
    static auto* table = new BlockTable;
    return *table;
  }

  std::mutex mutex;
  std::unordered_map<std::uintptr_t, Block> blocks;

  // Movable handles have bit 3 set, so no (16-byte aligned) address of a
  // fixed block is ever one of them; the counter never goes back.
  std::uintptr_t NextMoveableHandle() { return (m_next++ << 4) | 0x8; }

  // The entry of memory; the end, with ERROR_INVALID_HANDLE, when memory
  // names no block.
  auto Entry(HGLOBAL memory) {
    auto it = blocks.find(reinterpret_cast<std::uintptr_t>(memory));
    if (it == blocks.end()) SetLastError(ERROR_INVALID_HANDLE);
    return it;
  }
  Block* Find(HGLOBAL memory) {
    auto it = Entry(memory);
    return it == blocks.end() ? nullptr : &it->second;
  }

 private:
  std::uintptr_t m_next = 1;
};

// Whether flags and size make a request this table can answer; sets the
// last error when not.
bool Acceptable(UINT flags, SIZE_T bytes) {
  if ((flags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (bytes > kLargest) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  return true;
}

std::unique_ptr<BYTE[]> NewBytes(SIZE_T size, bool zero) {
  std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[size == 0 ? 1 : size]);
  if (data && zero) std::memset(data.get(), 0, size);
  return data;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (!Acceptable(flags, bytes)) return nullptr;
  Block block;
  block.moveable = (flags & GMEM_MOVEABLE) != 0;
  block.size = bytes;
  if (bytes > 0 || !block.moveable) {
    block.data = NewBytes(bytes, (flags & GMEM_ZEROINIT) != 0);
    if (!block.data) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  }
  BlockTable& table = BlockTable::Get();
  std::lock_guard lock(table.mutex);
  std::uintptr_t handle = block.moveable ? table.NextMoveableHandle()
                                         : reinterpret_cast<std::uintptr_t>(block.data.get());
  table.blocks.emplace(handle, std::move(block));
  return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID GlobalLock(HGLOBAL memory) {
  BlockTable& table = BlockTable::Get();
  std::lock_guard lock(table.mutex);
  Block* block = table.Find(memory);
  if (block == nullptr) return nullptr;
  // A discarded block has nothing to lock.
  if (!block->data) return nullptr;
  if (block->moveable) ++block->locks;
  return block->data.get();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  BlockTable& table = BlockTable::Get();
  std::lock_guard lock(table.mutex);
  Block* block = table.Find(memory);
  if (block == nullptr) return FALSE;
  if (!block->moveable) return TRUE;
  if (block->locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->locks > 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  BlockTable& table = BlockTable::Get();
  std::lock_guard lock(table.mutex);
  Block* block = table.Find(memory);
  if (block == nullptr) return 0;
  return block->size;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  if (memory == nullptr) return nullptr;
  Block freed;
  BlockTable& table = BlockTable::Get();
  std::lock_guard lock(table.mutex);
  auto it = table.Entry(memory);
  if (it == table.blocks.end()) return memory;
  freed = std::move(it->second);
  table.blocks.erase(it);
  return nullptr;
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
  if (!Acceptable(flags, bytes)) return nullptr;
  BlockTable& table = BlockTable::Get();
  std::lock_guard lock(table.mutex);
  auto it = table.Entry(memory);
  if (it == table.blocks.end()) return nullptr;
  Block& block = it->second;
  if (bytes <= block.size && (block.data || bytes == 0)) {
    block.size = bytes;
    return memory;
  }
  const bool mayMove = (block.moveable && block.locks == 0) || (flags & GMEM_MOVEABLE) != 0;
  if (!mayMove) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::unique_ptr<BYTE[]> data = NewBytes(bytes, false);
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (block.data) std::memcpy(data.get(), block.data.get(), block.size);
  if (flags & GMEM_ZEROINIT) std::memset(data.get() + block.size, 0, bytes - block.size);
  block.data = std::move(data);
  block.size = bytes;
  if (block.moveable) return memory;
  // A fixed block is named by its address, which has just changed.
  Block moved = std::move(block);
  table.blocks.erase(it);
  auto handle = reinterpret_cast<std::uintptr_t>(moved.data.get());
  table.blocks.emplace(handle, std::move(moved));
  return reinterpret_cast<HGLOBAL>(handle);
}

namespace ui::ole {

HGLOBAL GlobalFromBytes(const void* bytes, SIZE_T size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr || size == 0) return memory;
  std::memcpy(GlobalLock(memory), bytes, size);
  GlobalUnlock(memory);
  return memory;
}

bool GlobalToBytes(HGLOBAL memory, std::vector<BYTE>* bytes) {
  BlockTable& table = BlockTable::Get();
  std::lock_guard lock(table.mutex);
  Block* block = table.Find(memory);
  if (block == nullptr) return false;
  const BYTE* data = block->data.get();
  bytes->assign(data, data + (data != nullptr ? block->size : 0));
  return true;
}

HGLOBAL GlobalDuplicate(HGLOBAL memory) {
  std::vector<BYTE> bytes;
  if (!GlobalToBytes(memory, &bytes)) return nullptr;
  return GlobalFromBytes(bytes.data(), bytes.size());
}

}  // namespace ui::ole
