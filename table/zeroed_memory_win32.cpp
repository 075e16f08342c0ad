#include <windows.h>

#include <new>

#include "table/zeroed_memory.h"

namespace brimwald {

// Committed pages are zero-filled on demand; large pages would need a
// privilege that users don't have.
ZeroedMemory::ZeroedMemory(size_t bytes) : mapped_(bytes) {
  mapping_ =
      VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (mapping_ == nullptr) throw std::bad_alloc();
  data_ = mapping_;
}

ZeroedMemory::~ZeroedMemory() { VirtualFree(mapping_, 0, MEM_RELEASE); }

}  // namespace brimwald
