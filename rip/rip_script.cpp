#include "rip/rip_script.h"

#include <optional>

#include "container/checked_int.h"
#include "container/stream_container.h"
#include "rip/entry_name.h"
#include "rip/script_lines.h"
#include "text/atomic_file.h"
#include "text/file_error.h"

namespace brimwald {
namespace {

// Checked arithmetic for one rip, with errors that say which container and
// which record.
class RipArithmetic {
 public:
  explicit RipArithmetic(const Selection& selection) : selection_(selection) {}

  void set_record_offset(int32_t offset) { record_offset_ = offset; }

  int32_t Sum(int32_t a, int32_t b, const char* what) const {
    return Check(CheckedAdd(a, b), what);
  }
  int32_t LastOf(int32_t first, int32_t size, const char* what) const {
    return Check(CheckedSub(Sum(first, size, what), 1), what);
  }

 private:
  int32_t Check(std::optional<int32_t> result, const char* what) const {
    if (result) return *result;
    std::string text = "cannot rip '" + selection_.FileName + "': " + what;
    if (record_offset_) {
      text += " of the record at offset " + std::to_string(*record_offset_);
    }
    throw OverflowError(text + " leaves the signed 32-bit range");
  }

  const Selection& selection_;
  std::optional<int32_t> record_offset_;
};

void CheckRippable(const Selection& selection) {
  if (!selection.Passed) {
    if (selection.FileName.empty()) {
      throw std::runtime_error("cannot rip: no container has been chosen");
    }
    throw FileError("cannot rip", selection.FileName,
                    "it has not passed inspection as a stream container");
  }
  if (selection.FileCount < 0) {
    throw FileError("cannot rip", selection.FileName,
                    "its file count " + std::to_string(selection.FileCount) +
                        " is negative");
  }
}

int32_t TableEnd(const Selection& selection) {
  std::optional<int32_t> end = CheckedMul(selection.FileCount, kVfsRecordSize);
  if (!end) {
    throw OverflowError("cannot rip '" + selection.FileName +
                        "': its file count " +
                        std::to_string(selection.FileCount) +
                        " times 72 leaves the signed 32-bit range");
  }
  return *end;
}

void WriteScript(const Selection& selection,
                 const ShowEntryName& show_entry_name) {
  ScriptLines lines(selection.FilePath, selection.BaseName);
  int32_t table_end = TableEnd(selection);
  RipArithmetic arithmetic(selection);
  StreamContainer container(PathInDirectory(selection, selection.FilePath));
  AtomicFile script(PathInDirectory(selection, ScriptName(selection)));

  std::string block;
  lines.AppendDirectoryLine(block);
  std::string entry_name;
  for (int32_t table_offset = 0; table_offset != table_end;
       table_offset += kVfsRecordSize) {
    int32_t r =
        arithmetic.Sum(selection.VfsStart, table_offset, "the record position");
    arithmetic.set_record_offset(r);
    VfsRecord record = container.ReadRecord(r);
    NormaliseEntryName(container.ReadNameWindow(record.NameOffset), entry_name);
    show_entry_name(entry_name);
    PieceRanges ranges;
    ranges.RecordFirst = r;
    ranges.RecordLast = arithmetic.Sum(r, kVfsRecordSize - 1, "the record end");
    ranges.HeaderFirst = record.HeaderOffset;
    ranges.HeaderLast =
        arithmetic.LastOf(record.HeaderOffset, record.HeaderSize,
                          "HeaderOffset + HeaderSize - 1");
    ranges.BodyFirst = record.BodyOffset;
    ranges.BodyLast = arithmetic.LastOf(record.BodyOffset, record.BodySize,
                                        "BodyOffset + BodySize - 1");
    lines.AppendBlock(block, entry_name, ranges);
    script.Write(block);
    block.clear();
  }
  script.Write(block);
  script.Commit();
}

}  // namespace

std::string ScriptName(const Selection& selection) {
  return "RIP_" + selection.BaseName + ".bat";
}

void Rip(const Selection& selection, const ShowEntryName& show_entry_name,
         const Beep& beep) {
  CheckRippable(selection);
  WriteScript(selection, show_entry_name);
  beep();
}

}  // namespace brimwald
