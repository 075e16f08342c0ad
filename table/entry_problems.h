// Problems of an entry that the rip script meets only when it runs: a name
// that can't be read, a piece that can't be cut, a path no common filesystem
// stores, a path that an earlier entry already has. The listing shows them
// and the command-line rip warns of them; neither refuses the entry.

#ifndef BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
#define BRIMWALD_TABLE_ENTRY_PROBLEMS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "table/table_walk.h"

namespace brimwald {

/// The longest path part that common filesystems store, in bytes.
inline constexpr size_t kMaxPartBytes = 255;

class EntryProblems {
 public:
  /// For the entries of a container of `container_size` bytes.
  explicit EntryProblems(int64_t container_size);

  /// The problems of `entry`, the walk's next entry, as short texts; empty
  /// when there are none. Entries must come in table order: a path is said
  /// to replace the entry that held it last.
  std::vector<std::string> Check(const TableEntry& entry);

 private:
  int64_t container_size_;
  // Each path's key (names/windows_path.h) and the entry that holds it.
  std::unordered_map<std::string, int32_t> holders_;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
