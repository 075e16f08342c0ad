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
//
// Only an entry's own bytes are rewritten: an entry whose record overlaps
// the container's first 32 bytes, or any entry's name, header or body, or
// whose record doesn't lie wholly within the file, can't be replaced. The
// container is read through one open file, and replaced only if its path
// still names that file, unchanged, when the new one is complete.

#ifndef BRIMWALD_REPLACE_REPLACE_H_
#define BRIMWALD_REPLACE_REPLACE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "container/selection.h"
#include "io/input_file.h"
#include "table/table_walk.h"

namespace brimwald {

struct Replacement {
  Replacement(int32_t entry, std::string path,
              std::shared_ptr<InputFile> open = nullptr)
      : index(entry), qvstr_path(std::move(path)), file(std::move(open)) {}

  /// The entry replaced.
  int32_t index = 0;
  /// The .qvstr file that gives its record, header and body.
  std::string qvstr_path;
  /// That file, already open (the very file a check compared); opened from
  /// `qvstr_path` when null.
  std::shared_ptr<InputFile> file;
};

/// What became of one replaced entry, or why it can't be replaced.
struct ReplacedEntry {
  int32_t index = 0;
  std::string name;  // as `list` prints it
  bool header_appended = false;
  bool body_appended = false;
  int32_t header_offset = 0;  // where the header lies now
  int32_t body_offset = 0;    // where the body lies now
  /// The 72 record bytes the container holds for it now.
  std::string record;
  /// Why it can't be replaced, naming the file or the entry; empty when it
  /// can. A .qvstr whose length doesn't fit its sizes is told which field
  /// to set, where, and to what.
  std::string refusal;
};

struct ReplaceSettings {
  /// The new file to write instead of replacing the container; "" to
  /// replace the container itself. It may be no file being read.
  std::string output;
  /// Plans and checks only: nothing is written.
  bool dry_run = false;
  /// Keeps the container replaced (never an output) as its name followed
  /// by "~", made just before the new one takes its name: a second link
  /// to the old file where the filesystem allows, a copy otherwise.
  bool backup = false;
  /// Called when the new container is complete, just before it takes its
  /// name (and before the backup); returning false abandons it, and
  /// nothing is written.
  std::function<bool()> before_rename;
  /// Called when the backup is in place, just before the new container
  /// takes its name.
  std::function<void()> backed_up;
};

struct ReplaceResult {
  /// Every replacement, in index order.
  std::vector<ReplacedEntry> entries;
  /// Whether the new container was written.
  bool written = false;

  /// Whether any entry can't be replaced: then nothing is written.
  bool Refused() const;
};

/// The index of the entry that `entry` names in the table of `walk` (read
/// from its start), a container named `file` in messages: a decimal index,
/// or an entry name as `list` prints it ("/" and "\" alike). Throws Error
/// (kUsage) when it names no entry, or when a name names several (listing
/// their indexes).
int32_t FindEntry(TableWalk& walk, const std::string& file,
                  const std::string& entry);

/// Applies `replacements` to the container that `walk` reads, in one pass
/// and one write: to `options.output`, a new file, or over the container
/// itself, atomically (killed at any moment, it is the old container or
/// the new one), keeping its permission bits and, as root, its owner. Any
/// refused entry leaves the container as it was. `walk` is closed before
/// the container is replaced, as Windows replaces no open file. Throws
/// Error (kUsage) when an entry is named twice or not at all, and Error
/// (kFile), having written nothing, when the result would pass 2 GiB
/// (offsets are signed 32-bit), when a file can't be read or written, or
/// when the container changed while it was being read.
ReplaceResult Replace(std::optional<TableWalk>& walk,
                      const std::vector<Replacement>& replacements,
                      const ReplaceSettings& options);

/// Replace() on the container of `selection`, writing to `output` (""
/// for over the container). Throws the first refusal as an Error (kFile).
std::vector<ReplacedEntry> ReplaceEntries(
    const Selection& selection, const std::vector<Replacement>& replacements,
    const std::string& output);

}  // namespace brimwald

#endif  // BRIMWALD_REPLACE_REPLACE_H_
