// The bytes of an entry's .qvstr file (its record, then its stream header,
// then its stream body) read from the container a chunk at a time, for
// those who take them as they come: a stream that carries them away, a
// check that compares them with a file. Memory stays bounded whatever the
// size of the entry.

#ifndef BRIMWALD_EXTRACT_ENTRY_BYTES_H_
#define BRIMWALD_EXTRACT_ENTRY_BYTES_H_

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "container/stream_container.h"
#include "table/table_walk.h"

namespace brimwald {

/// The most bytes one chunk holds.
inline constexpr size_t kEntryChunk = 256 * 1024;

/// Hands the bytes of the file of an entry whose pieces have `ranges` and
/// `lengths` (those of a Cuttable() TableEntry) to `take`, in order, in
/// chunks of at most kEntryChunk bytes held in `buffer` (reused from call
/// to call). Stops early when `take`
/// returns false, and says whether it went to the end. Throws Error
/// (kFile) when the container can't be read.
bool ReadEntryBytes(StreamContainer& container, const PieceRanges& ranges,
                    const std::array<int64_t, 3>& lengths, std::string& buffer,
                    const std::function<bool(std::string_view)>& take);

}  // namespace brimwald

#endif  // BRIMWALD_EXTRACT_ENTRY_BYTES_H_
