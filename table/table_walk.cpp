#include "table/table_walk.h"

#include <optional>

#include "base/checked_int.h"
#include "base/error.h"
#include "cut/cut_range.h"
#include "names/entry_name.h"
#include "text/script_encoding.h"

namespace brimwald {
namespace {

int32_t CheckedCount(const Selection& selection) {
  const std::string& path = selection.FileName;
  if (!selection.Passed) {
    if (selection.FileName.empty()) {
      throw Error(ErrorKind::kFile, "no container has been chosen");
    }
    throw FileError("cannot read", path,
                    "it has not passed inspection as a stream container");
  }
  std::string count = "its file count " + std::to_string(selection.FileCount);
  if (selection.FileCount < 0) {
    throw ContainerError(path, count + " is negative");
  }
  if (!CheckedMul(selection.FileCount, kVfsRecordSize)) {
    throw ContainerError(path,
                         count + " times 72 leaves the signed 32-bit range");
  }
  return selection.FileCount;
}

}  // namespace

TableWalk::TableWalk(const Selection& selection)
    : vfs_start_(selection.VfsStart),
      count_(CheckedCount(selection)),
      container_(PathInDirectory(selection, selection.FilePath)) {}

bool TableWalk::Next() {
  if (next_index_ >= count_) return false;
  const int32_t index = next_index_;
  entry_.Index = index;
  entry_.RawName = {};
  entry_.Name.clear();
  entry_.Problems.clear();
  entry_.Lengths = {};
  entry_.NameLost = false;
  entry_.Overflowed = false;
  // A record that can't be read ends the walk: the ones after it lie
  // further on and can't be read either.
  next_index_ = count_;
  std::optional<int32_t> r = CheckedAdd(vfs_start_, index * kVfsRecordSize);
  if (!r) {
    throw EntryError(container_.path(), index, std::nullopt,
                     "its record position leaves the signed 32-bit range",
                     ErrorKind::kContainer);
  }
  entry_.RecordOffset = *r;
  entry_.Record = container_.ReadRecord(*r, index);
  next_index_ = index + 1;
  const VfsRecord& record = entry_.Record;
  if (container_.HoldsNameAt(record.NameOffset)) {
    std::string_view window =
        container_.ReadNameWindow(record.NameOffset, index);
    entry_.RawName = window.substr(0, window.find('\0'));
    NormaliseEntryName(entry_.RawName, entry_.Name);
  } else {
    entry_.NameLost = true;
    entry_.Problems.push_back(
        NameOffsetProblem(record.NameOffset, container_.size()));
  }
  PieceRanges& ranges = entry_.Ranges;
  ranges = {};
  ranges.RecordFirst = *r;
  std::optional<int32_t> record_last = CheckedAdd(*r, kVfsRecordSize - 1);
  if (!record_last) {
    entry_.Overflowed = true;
    entry_.Problems.push_back(
        "the record's end leaves the signed 32-bit range");
  }
  ranges.RecordLast = record_last.value_or(*r);
  ranges.HeaderFirst = record.HeaderOffset;
  ranges.HeaderLast = LastOf(record.HeaderOffset, record.HeaderSize,
                             "HeaderOffset + HeaderSize - 1")
                          .value_or(record.HeaderOffset);
  ranges.BodyFirst = record.BodyOffset;
  ranges.BodyLast =
      LastOf(record.BodyOffset, record.BodySize, "BodyOffset + BodySize - 1")
          .value_or(record.BodyOffset);
  CheckPieces();
  return true;
}

// After an overflow the ranges mean nothing; a lost name leaves them be.
void TableWalk::CheckPieces() {
  if (entry_.Overflowed) return;
  std::array<Piece, 3> pieces = Pieces(entry_.Ranges);
  for (size_t i = 0; i < pieces.size(); ++i) {
    std::optional<int64_t> length =
        RangeLength(pieces[i].First, pieces[i].Last, container_.size());
    if (length) {
      entry_.Lengths[i] = *length;
    } else {
      entry_.Problems.push_back(*PieceProblem(pieces[i], container_.size()));
    }
  }
}

// first + size - 1, summed left to right as the line formats give it, so
// that a piece ending exactly at the top of the range still overflows;
// nothing, with the entry's Problem set, when it does.
std::optional<int32_t> TableWalk::LastOf(int32_t first, int32_t size,
                                         const char* what) {
  std::optional<int32_t> end = CheckedAdd(first, size);
  if (end) end = CheckedSub(*end, 1);
  if (!end && !entry_.Overflowed) {
    entry_.Overflowed = true;
    entry_.Problems.push_back(std::string(what) +
                              " leaves the signed 32-bit range");
  }
  return end;
}

std::string TableWalk::NameAt(int32_t index) {
  std::optional<int32_t> r = CheckedAdd(vfs_start_, index * kVfsRecordSize);
  if (index < 0 || index >= count_ || !r) return "";
  VfsRecord record = container_.ReadRecord(*r, index);
  if (!container_.HoldsNameAt(record.NameOffset)) return "";
  std::string_view window = container_.ReadNameWindow(record.NameOffset, index);
  return NormaliseEntryName(window.substr(0, window.find('\0')));
}

Error EntryError(std::string_view path, const TableEntry& entry,
                 std::string_view why) {
  // Messages are in the system's names, as the entry's file is named.
  std::string name = DecodeFromScript(entry.Name);
  if (entry.NameLost) return EntryError(path, entry.Index, std::nullopt, why);
  return EntryError(path, entry.Index, name, why);
}

std::optional<std::string> PieceProblem(const Piece& piece,
                                        int64_t container_size) {
  if (RangeLength(piece.First, piece.Last, container_size)) return std::nullopt;
  std::string problem = std::string(piece.Name) + ": ";
  // The walk ends a piece at First + Size - 1, so a range that ends before
  // it starts comes of a negative size: that is what the record says.
  const int64_t size = int64_t{piece.Last} - piece.First + 1;
  if (piece.SizeField != nullptr && size < 0) {
    return problem + piece.SizeField + " is " + std::to_string(size);
  }
  return problem + RangeProblem(piece.First, piece.Last, container_size);
}

Error EntryProblemError(std::string_view path, const TableEntry& entry) {
  std::string why;
  for (const std::string& problem : entry.Problems) {
    if (!why.empty()) why += "; ";
    why += problem;
  }
  return EntryError(path, entry, why);
}

}  // namespace brimwald
