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
#include "io/input_file.h"
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
  /// Where `file` first departs from the record, header and body of an
  /// entry whose pieces have `ranges` and `lengths` (a Cuttable() entry's);
  /// nothing when it holds exactly those bytes. Throws Error (kFile) naming
  /// the file when it, or the container, can't be read.
  std::optional<FileDifference> Compare(StreamContainer& container,
                                        const PieceRanges& ranges,
                                        const std::array<int64_t, 3>& lengths,
                                        const InputFile& file);

 private:
  std::string expected_;
  std::vector<char> actual_;
};

}  // namespace brimwald

#endif  // BRIMWALD_VERIFY_FILE_DIFFERENCE_H_
