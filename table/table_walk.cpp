#include "table/table_walk.h"

#include <optional>

#include "base/checked_int.h"
#include "base/error.h"
#include "names/entry_name.h"

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
  // A record that can't be read ends the walk: the ones after it lie
  // further on and can't be read either.
  next_index_ = count_;
  std::optional<int32_t> r = CheckedAdd(vfs_start_, index * kVfsRecordSize);
  if (!r) {
    throw EntryError(container_.path(), index,
                     "its record position leaves the signed 32-bit range",
                     ErrorKind::kContainer);
  }
  entry_.RecordOffset = *r;
  entry_.Record = container_.ReadRecord(*r, index);
  next_index_ = index + 1;
  const VfsRecord& record = entry_.Record;
  std::string_view window = container_.ReadNameWindow(record.NameOffset, index);
  entry_.RawName = window.substr(0, window.find('\0'));
  NormaliseEntryName(entry_.RawName, entry_.Name);
  PieceRanges& ranges = entry_.Ranges;
  ranges.RecordFirst = *r;
  std::optional<int32_t> record_last = CheckedAdd(*r, kVfsRecordSize - 1);
  if (!record_last) {
    throw EntryError(container_.path(), index,
                     "the record's end leaves the signed 32-bit range");
  }
  ranges.RecordLast = *record_last;
  ranges.HeaderFirst = record.HeaderOffset;
  ranges.HeaderLast = LastOf(record.HeaderOffset, record.HeaderSize,
                             "HeaderOffset + HeaderSize - 1");
  ranges.BodyFirst = record.BodyOffset;
  ranges.BodyLast =
      LastOf(record.BodyOffset, record.BodySize, "BodyOffset + BodySize - 1");
  return true;
}

// first + size - 1, summed left to right as the line formats give it, so
// that a piece ending exactly at the top of the range still overflows.
int32_t TableWalk::LastOf(int32_t first, int32_t size, const char* what) const {
  std::optional<int32_t> end = CheckedAdd(first, size);
  if (end) end = CheckedSub(*end, 1);
  if (!end) {
    throw EntryError(container_.path(), entry_.Index,
                     std::string(what) + " leaves the signed 32-bit range");
  }
  return *end;
}

}  // namespace brimwald
