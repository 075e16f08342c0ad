#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "table/zeroed_memory.h"

namespace brimwald {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

}  // namespace

// An anonymous mapping is zero-filled on demand. A block of a huge page or
// more is mapped one huge page larger, so that it can start on a huge-page
// boundary, where the system can back it with huge pages.
ZeroedMemory::ZeroedMemory(size_t bytes) {
  bool huge = bytes >= kHugePage;
  mapped_ = huge ? bytes + kHugePage : bytes;
  void* mapping = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  mapping_ = data_ = mapping;
  if (!huge) return;
  auto start = reinterpret_cast<uintptr_t>(mapping);
  start = (start + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
  data_ = reinterpret_cast<void*>(start);
#ifdef MADV_HUGEPAGE
  // Only advice: where huge pages are off, the block works all the same.
  madvise(data_, bytes, MADV_HUGEPAGE);
#endif
}

ZeroedMemory::~ZeroedMemory() { munmap(mapping_, mapped_); }

}  // namespace brimwald
