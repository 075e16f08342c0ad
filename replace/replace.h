// Putting streams back: a container with some entries' record, stream
// header and stream body taken from .qvstr files, the files `extract`
// writes:
//
//   offset        size          content
//   0             72            the entry's VFS record: BodyOffset at 8,
//                               BodySize at 16, HeaderOffset at 24,
//                               HeaderSize at 32, NameOffset at 48
//   72            HeaderSize    the stream header
//   72+HeaderSize BodySize      the stream body
//
// A header or body equal to the entry's current one keeps its place. Any
// other is appended at the end of the container, aligned as the
// container's headers (or bodies) are: to the largest power of two, up to
// 4,096, that divides all their offsets, padded with zero bytes. Nothing
// is written over existing data, which another entry may share. The
// entry's record becomes the file's, except that HeaderOffset and
// BodyOffset point at where the header and body now lie and NameOffset
// stays, so the entry keeps its name. Every other byte stays as it was,
// so an entry replaced by its own extracted file leaves the container
// byte for byte the same.

#ifndef BRIMWALD_REPLACE_REPLACE_H_
#define BRIMWALD_REPLACE_REPLACE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "container/selection.h"

namespace brimwald {

struct Replacement {
  /// The entry replaced.
  int32_t index = 0;
  /// The .qvstr file that gives its record, header and body.
  std::string qvstr_path;
};

/// What became of one replaced entry.
struct ReplacedEntry {
  int32_t index = 0;
  std::string name;  // as `list` prints it
  bool header_appended = false;
  bool body_appended = false;
  int32_t header_offset = 0;  // where the header lies now
  int32_t body_offset = 0;    // where the body lies now
};

/// The index of the entry that `entry` names in the container of
/// `selection`: a decimal index, or an entry name as `list` prints it.
/// Throws Error (kUsage) when it names no entry, or when a name names
/// several (listing their indexes).
int32_t FindEntry(const Selection& selection, const std::string& entry);

/// Writes the container of `selection` with `replacements` applied, in one
/// pass and one write: to `output`, a new file, or, when `output` is
/// empty, over the container itself, atomically (killed at any moment, it
/// is the old container or the new one) and keeping its permission bits.
/// Throws Error, having written nothing, when a .qvstr file's length isn't
/// 72 + HeaderSize + BodySize or its sizes are negative, when an entry is
/// named twice or can't be replaced (its record or name can't be read),
/// when the result would pass 2 GiB (offsets are signed 32-bit), or when a
/// file can't be read or written.
std::vector<ReplacedEntry> ReplaceEntries(
    const Selection& selection, const std::vector<Replacement>& replacements,
    const std::string& output);

/// What ReplaceEntries() would do, with the same checks, writing nothing.
std::vector<ReplacedEntry> PlanReplacements(
    const Selection& selection, const std::vector<Replacement>& replacements);

}  // namespace brimwald

#endif  // BRIMWALD_REPLACE_REPLACE_H_
