#include "extract/piece_lengths.h"

#include <optional>
#include <string>

#include "cut/cut_range.h"
#include "table/entry_problems.h"

namespace brimwald {

std::array<int64_t, 3> PieceLengths(const StreamContainer& container,
                                    const TableEntry& entry) {
  if (!entry.Problem.empty()) {
    throw EntryError(container.path(), entry, entry.Problem);
  }
  std::array<int64_t, 3> lengths;
  std::array<Piece, 3> pieces = Pieces(entry.Ranges);
  for (size_t i = 0; i < pieces.size(); ++i) {
    std::optional<int64_t> length =
        RangeLength(pieces[i].First, pieces[i].Last, container.size());
    if (!length) {
      throw EntryError(container.path(), entry,
                       PieceProblem(pieces[i], container.size()).value_or(""));
    }
    lengths[i] = *length;
  }
  return lengths;
}

}  // namespace brimwald
