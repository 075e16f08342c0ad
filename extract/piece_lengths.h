// How many bytes each piece of an entry holds, once it is known that all
// three can be cut: what the extraction, the extraction to a stream and
// the check of an extracted tree all need before they touch a byte.

#ifndef BRIMWALD_EXTRACT_PIECE_LENGTHS_H_
#define BRIMWALD_EXTRACT_PIECE_LENGTHS_H_

#include <array>
#include <cstdint>

#include "container/stream_container.h"
#include "table/table_walk.h"

namespace brimwald {

/// The lengths of `entry`'s record, header and body in `container`. Throws
/// the entry's Error (kEntry) for its Problem or for the first piece that
/// can't be cut, saying which and why.
std::array<int64_t, 3> PieceLengths(const StreamContainer& container,
                                    const TableEntry& entry);

/// The three lengths added up: the size of the entry's .qvstr file.
inline int64_t Total(const std::array<int64_t, 3>& lengths) {
  return lengths[0] + lengths[1] + lengths[2];
}

}  // namespace brimwald

#endif  // BRIMWALD_EXTRACT_PIECE_LENGTHS_H_
