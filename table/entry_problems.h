// Problems of an entry that the rip script meets only when it runs: a piece
// that can't be cut, a path no common filesystem stores, a path that an
// earlier entry already has. The listing shows them and the command-line rip
// warns of them; neither refuses the entry.

#ifndef BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
#define BRIMWALD_TABLE_ENTRY_PROBLEMS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "table/table_walk.h"

namespace brimwald {

/// The longest path part that common filesystems store, in bytes.
inline constexpr size_t kMaxPartBytes = 255;

class EntryProblems {
 public:
  /// For the entries of a container of `container_size` bytes, of which
  /// there will be about `expected_entries`.
  EntryProblems(int64_t container_size, int32_t expected_entries);

  /// The problems of `entry`, the walk's next entry, as short texts; empty
  /// when there are none. Valid until the next call.
  const std::vector<std::string>& Check(const TableEntry& entry);

 private:
  void CheckRange(const char* piece, int32_t first, int32_t last);
  void CheckPath(const TableEntry& entry);
  /// The index of an earlier entry with the path of `hash`, or -1; records
  /// `index` for it otherwise.
  int32_t EarlierWithPath(uint64_t hash, int32_t index);

  int64_t container_size_;
  std::vector<std::string> problems_;
  // An open-addressed set of paths, at most half full, 16 bytes an entry at
  // worst: each slot holds the path hash's top 32 bits and 1 + the first
  // index with that path (0: empty); the low bits of the hash place it.
  // Sized once, for every record the container has room for.
  // Zeroed by calloc, whose large blocks the system zeroes page by page as
  // they are touched: a header that claims many more entries than the
  // table has costs address space, not memory.
  std::unique_ptr<uint64_t[], void (*)(void*)> slots_;
  size_t slot_count_ = 0;
  size_t used_ = 0;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
