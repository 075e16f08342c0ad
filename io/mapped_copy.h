// Copying a large range of a file into another with one copy of each byte:
// the source is mapped read-only and the target written from the mapping,
// which the process itself never reads, so a source that shrinks meanwhile
// makes the write fail rather than the process fault.

#ifndef BRIMWALD_IO_MAPPED_COPY_H_
#define BRIMWALD_IO_MAPPED_COPY_H_

#include <cstddef>
#include <cstdint>
#include <functional>

namespace brimwald {

/// Writes `length` bytes of the open file `source` from `offset` with
/// `write`, which is handed pieces of a read-only mapping of it, a few MiB
/// at a time, and writes each whole or throws. Says how many bytes went:
/// fewer than `length` when the file (or a window of it) can't be mapped,
/// for the caller to copy the rest another way.
int64_t WriteMapped(int source, int64_t offset, int64_t length,
                    const std::function<void(const char*, size_t)>& write);

}  // namespace brimwald

#endif  // BRIMWALD_IO_MAPPED_COPY_H_
