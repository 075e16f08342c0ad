// The one walk of a container's VFS table, shared by the rip script, the
// listing and the extraction. For every record, in table order, it reads
// the fields and the name, normalises the name and computes the inclusive
// byte ranges of the entry's three pieces:
//
//   record   R = VfsStart + 72 * index   .. R + 71
//   header   HeaderOffset                .. HeaderOffset + HeaderSize - 1
//   body     BodyOffset                  .. BodyOffset + BodySize - 1
//
// in checked signed 32-bit arithmetic. An empty piece ends one byte before
// it starts (a header of size 0 at offset 0 is 0 .. -1). Nothing is checked
// against the file's length beyond what reading the record's fields and the
// name needs (a record's last 20 bytes may lie past the end): whether a
// range can be cut is for the cutter to say.

#ifndef BRIMWALD_TABLE_TABLE_WALK_H_
#define BRIMWALD_TABLE_TABLE_WALK_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "container/selection.h"
#include "container/stream_container.h"

namespace brimwald {

/// The inclusive byte ranges of one entry's three pieces.
struct PieceRanges {
  int32_t RecordFirst = 0;
  int32_t RecordLast = 0;
  int32_t HeaderFirst = 0;
  int32_t HeaderLast = 0;
  int32_t BodyFirst = 0;
  int32_t BodyLast = 0;
};

/// One piece's name ("record", "header", "body") and inclusive range, and
/// the record's field that gives its size (none for the record itself).
struct Piece {
  const char* Name;
  int32_t First;
  int32_t Last;
  const char* SizeField;
};

/// The three pieces of `ranges`, in the order they are joined.
inline std::array<Piece, 3> Pieces(const PieceRanges& ranges) {
  return {{{"record", ranges.RecordFirst, ranges.RecordLast, nullptr},
           {"header", ranges.HeaderFirst, ranges.HeaderLast, "HeaderSize"},
           {"body", ranges.BodyFirst, ranges.BodyLast, "BodySize"}}};
}

/// One entry of the table, as the walk yields it.
struct TableEntry {
  int32_t Index = 0;
  /// R, where the entry's 72-byte record starts.
  int32_t RecordOffset = 0;
  VfsRecord Record;
  /// The name window's bytes before its first NUL. Valid until the next
  /// step of the walk.
  std::string_view RawName;
  /// The normalised entry name, as the script writes it (before "%" is
  /// doubled); empty when its name can't be read.
  std::string Name;
  PieceRanges Ranges;
  /// Why the entry can't be cut: its name lies outside the file, or a
  /// piece's end leaves the signed 32-bit range. Empty when it can; the
  /// record's fields are read either way.
  std::string Problem;
  /// Whether the name itself couldn't be read.
  bool NameLost = false;
};

/// The error of `entry`, of the container at `path`: "'<path>': entry
/// <index> '<name>': <why>", the name as the system names its file.
Error EntryError(std::string_view path, const TableEntry& entry,
                 std::string_view why);

class TableWalk {
 public:
  /// Opens the container of `selection` to walk the table it describes.
  /// Throws Error when the selection didn't pass inspection or the
  /// container can't be opened (kFile), or when FileCount is negative or
  /// FileCount * 72 leaves the signed 32-bit range (kContainer).
  explicit TableWalk(const Selection& selection);

  /// Steps to the next entry; false after the last. An entry whose name or
  /// ranges are broken is yielded too, with its Problem. Throws Error
  /// (kContainer) when the record can't be read: the walk is then over,
  /// since the records after it lie further on.
  bool Next();

  /// The entry the last Next() stepped to.
  const TableEntry& entry() const { return entry_; }

  /// The normalised name of entry `index`, read again from the container;
  /// "" when it can't be read. Leaves the walk where it is.
  std::string NameAt(int32_t index);

  /// FileCount: how many entries the walk yields at most.
  int32_t count() const { return count_; }

  StreamContainer& container() { return container_; }
  const StreamContainer& container() const { return container_; }

 private:
  std::optional<int32_t> LastOf(int32_t first, int32_t size, const char* what);

  int32_t vfs_start_;
  int32_t count_;
  StreamContainer container_;
  int32_t next_index_ = 0;
  TableEntry entry_;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_TABLE_WALK_H_
