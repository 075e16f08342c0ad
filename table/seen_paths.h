// The paths a table walk has met so far, by a 64-bit hash of each, for
// telling which entry a later entry with the same path replaces. Two slots
// of 8 bytes a path, in a block that costs memory only where entries have
// filled it (table/zeroed_memory.h).

#ifndef BRIMWALD_TABLE_SEEN_PATHS_H_
#define BRIMWALD_TABLE_SEEN_PATHS_H_

#include <cstddef>
#include <cstdint>

#include "table/zeroed_memory.h"

namespace brimwald {

class SeenPaths {
 public:
  /// A set with room for `capacity` paths; past that, paths are no longer
  /// remembered.
  explicit SeenPaths(size_t capacity);

  /// Starts fetching the memory that EarlierOrAdd(`hash`) will read. The
  /// set is a few MiB for a large table and is read at random, so each look
  /// would otherwise wait on memory; a batch of looks fetched together waits
  /// about once.
  void Prefetch(uint64_t hash) const {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(&slots_[hash & (slot_count_ - 1)], 1);
#else
    (void)hash;
#endif
  }

  /// The index of the first entry whose path has `hash`, or -1 when there
  /// is none; then `index` is remembered as that entry. Hashes that share
  /// their top 32 bits and their low bits (as many as place a slot) count
  /// as the same path: with 51 bits or more in all, a false match is
  /// vanishingly rare.
  int32_t EarlierOrAdd(uint64_t hash, int32_t index);

 private:
  size_t slot_count_;
  ZeroedMemory memory_;
  // Open addressing, at most half full: a slot holds the hash's top 32 bits
  // and 1 + the entry's index (0: empty); the low bits of the hash place it.
  uint64_t* slots_;
  size_t used_ = 0;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_SEEN_PATHS_H_
