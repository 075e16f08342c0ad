// Problems of an entry that the rip script meets only when it runs: a piece
// that can't be cut, a path no common filesystem stores, a path that an
// earlier entry already has. The listing shows them and the command-line rip
// warns of them; neither refuses the entry.

#ifndef BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
#define BRIMWALD_TABLE_ENTRY_PROBLEMS_H_

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "table/seen_paths.h"
#include "table/table_walk.h"

namespace brimwald {

/// The longest path part that common filesystems store, in bytes.
inline constexpr size_t kMaxPartBytes = 255;

class EntryProblems {
 public:
  /// Receives an entry and its problems as short texts (empty when there
  /// are none); both are valid only during the call.
  using Checked = std::function<void(const TableEntry& entry,
                                     const std::vector<std::string>& problems)>;

  /// For the entries of a container of `container_size` bytes, of which
  /// there will be about `expected_entries`, each handed to `checked`.
  EntryProblems(int64_t container_size, int32_t expected_entries,
                Checked checked);

  /// Runs `walk`, which passes the walk's entries in table order to Add(),
  /// and hands every entry it passed to `checked`, also those before an
  /// error that `walk` throws.
  template <typename Walk>
  void Run(Walk&& walk) {
    try {
      walk();
    } catch (...) {
      HandOn();
      throw;
    }
    HandOn();
  }

  /// Takes the walk's next entry. Entries are checked and handed on a batch
  /// at a time, so that the memory their duplicate checks read is fetched
  /// for the whole batch at once.
  void Add(const TableEntry& entry);

 private:
  struct Held {
    TableEntry entry;
    uint64_t path_hash = 0;
    size_t longest_part = 0;
  };
  static constexpr size_t kBatch = 32;

  void HandOn();
  void AddRangeProblem(const Piece& piece);

  int64_t container_size_;
  Checked checked_;
  SeenPaths seen_;
  std::array<Held, kBatch> held_;
  size_t held_count_ = 0;
  std::string path_;
  std::vector<std::string> problems_;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_ENTRY_PROBLEMS_H_
