// The one walk of a container's VFS table and the one model of an entry,
// shared by every command: the rip script, the listing, the extraction,
// the check of a tree and the write-back. For every record, in table
// order, it reads the fields and the name, normalises the name and
// computes the inclusive byte ranges of the entry's three pieces:
//
//   record   R = VfsStart + 72 * index   .. R + 71
//   header   HeaderOffset                .. HeaderOffset + HeaderSize - 1
//   body     BodyOffset                  .. BodyOffset + BodySize - 1
//
// in checked signed 32-bit arithmetic. An empty piece ends one byte before
// it starts (a header of size 0 at offset 0 is 0 .. -1). Each range is then
// checked against the file: one that leaves it, or has a negative size, is
// one of the entry's problems, data for the caller, never an exception.
// Reading a record needs only its fields up to NameOffset, so a record
// whose last 20 bytes lie past the end is yielded, with that problem.

#ifndef BRIMWALD_TABLE_TABLE_WALK_H_
#define BRIMWALD_TABLE_TABLE_WALK_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
  /// Why the entry can't be cut, in this order: its name lies outside the
  /// file; a piece's end leaves the signed 32-bit range; a piece's range
  /// doesn't lie within the file (each piece that doesn't). Empty when all
  /// three pieces can be cut; the record's fields are read either way.
  std::vector<std::string> Problems;
  /// The lengths of the record, header and body; valid when Cuttable().
  std::array<int64_t, 3> Lengths{};
  /// Whether the name itself couldn't be read.
  bool NameLost = false;
  /// Whether a piece's end left the signed 32-bit range.
  bool Overflowed = false;

  /// Whether all three pieces lie within the file.
  bool Cuttable() const { return Problems.empty(); }
  /// Whether the script's lines can be written for it: its name can be
  /// read and its offsets stay in range (the cuts may still fail).
  bool Scriptable() const { return !NameLost && !Overflowed; }
  /// The size of its .qvstr file; valid when Cuttable().
  int64_t FileSize() const { return Lengths[0] + Lengths[1] + Lengths[2]; }
};

/// The error of `entry`, of the container at `path`: "'<path>': entry
/// <index> '<name>': <why>", the name as the system names its file.
Error EntryError(std::string_view path, const TableEntry& entry,
                 std::string_view why);

/// Why `piece` of an entry can't be cut from a container of
/// `container_size` bytes, as "<piece>: <why>" ("body: BodySize is -5");
/// nothing when it can. The one wording of it, for every command.
std::optional<std::string> PieceProblem(const Piece& piece,
                                        int64_t container_size);

/// The error of `entry`'s Problems, joined by "; ".
Error EntryProblemError(std::string_view path, const TableEntry& entry);

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

  /// Starts the walk again from the first entry, over the same open file.
  void Rewind() { next_index_ = 0; }

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
  void CheckPieces();

  int32_t vfs_start_;
  int32_t count_;
  StreamContainer container_;
  int32_t next_index_ = 0;
  TableEntry entry_;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_TABLE_WALK_H_
