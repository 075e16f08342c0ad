// Problems of an entry that the rip script meets only when it runs: a name
// that can't be read, a piece that can't be cut, a path no common filesystem
// stores, a path that an earlier entry already has. The listing shows them
// and the command-line rip warns of them; neither refuses the entry.

#ifndef BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
#define BRIMWALD_TABLE_ENTRY_PROBLEMS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "names/windows_path.h"
#include "table/path_holders.h"
#include "table/table_walk.h"

namespace brimwald {

/// The longest path part that common filesystems store, in bytes.
inline constexpr size_t kMaxPartBytes = 255;

class EntryProblems {
 public:
  /// For the entries of the table `walk` yields; `lookup` is a second walk
  /// of the same table, which reads earlier entries again.
  EntryProblems(const TableWalk& walk, TableWalk& lookup);

  /// The problems of `entry`, the walk's next entry, as short texts; empty
  /// when there are none. Entries must come in table order: a path is said
  /// to replace the entry that held it last.
  std::vector<std::string> Check(const TableEntry& entry);

 private:
  PathHolders holders_;
  std::string path_;
  std::vector<std::string_view> parts_;
  EntryPathKeys keys_;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
