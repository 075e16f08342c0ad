// A large block of zero bytes for a hash table that is touched at random.
//
// The system supplies the block page by page as it is first touched, so a
// table sized for a header's claim costs address space, not memory, until
// entries fill it. Where the system has them, the block asks for huge pages:
// a table of a few MiB touched at random would otherwise take a page fault
// for every 4 KiB of it, and on a virtual machine those faults cost more
// than the rest of a table walk.

#ifndef BRIMWALD_TABLE_ZEROED_MEMORY_H_
#define BRIMWALD_TABLE_ZEROED_MEMORY_H_

#include <cstddef>

namespace brimwald {

class ZeroedMemory {
 public:
  /// Reserves `bytes` zero bytes. Throws std::bad_alloc when the system has
  /// no room for them.
  explicit ZeroedMemory(size_t bytes);
  ~ZeroedMemory();
  ZeroedMemory(const ZeroedMemory&) = delete;
  ZeroedMemory& operator=(const ZeroedMemory&) = delete;

  void* data() const { return data_; }

 private:
  void* mapping_ = nullptr;
  size_t mapped_ = 0;
  void* data_ = nullptr;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_ZEROED_MEMORY_H_
