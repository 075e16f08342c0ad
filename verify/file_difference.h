// Whether a file holds exactly an entry's bytes, compared a chunk at a time
// so that memory stays bounded whatever the size of either.

#ifndef BRIMWALD_VERIFY_FILE_DIFFERENCE_H_
#define BRIMWALD_VERIFY_FILE_DIFFERENCE_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "container/stream_container.h"
#include "table/table_walk.h"

namespace brimwald {

/// Where a file first departs from the bytes it should hold.
struct FileDifference {
  /// The first byte that differs, or the length of the shorter of the two.
  int64_t offset = 0;
  int64_t size = 0;
  int64_t expected_size = 0;
};

/// Compares files with entries, keeping its buffers from one file to the
/// next: a tree of many small files costs no allocation per file.
class EntryFileComparison {
 public:
  /// Where the regular file at `path` first departs from `entry`'s record,
  /// header and body; nothing when it holds exactly those bytes. `lengths`
  /// are PieceLengths(container, entry). Throws Error (kFile) naming the
  /// file when it, or the container, can't be read.
  std::optional<FileDifference> Compare(StreamContainer& container,
                                        const TableEntry& entry,
                                        const std::array<int64_t, 3>& lengths,
                                        const std::string& path);

 private:
  std::string expected_;
  std::vector<char> actual_;
};

}  // namespace brimwald

#endif  // BRIMWALD_VERIFY_FILE_DIFFERENCE_H_
