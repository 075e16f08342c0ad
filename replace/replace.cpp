#include "replace/replace.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <map>
#include <set>

#include "base/error.h"
#include "cut/cut_range.h"
#include "io/atomic_file.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

constexpr int32_t kMostAlignment = 4096;
constexpr size_t kCompareChunk = 64 * 1024;
// The container's own header, which no record may overwrite.
constexpr int32_t kHeaderSize = 32;
constexpr int32_t kHeaderSizeField = 32;
constexpr int32_t kBodySizeField = 16;

// "set BodySize (the 32-bit little-endian number at byte 16 of the file)
// to 65": how to mend a .qvstr whose sizes don't fit its length.
std::string SetField(const char* field, int32_t at, int64_t value) {
  return std::string("set ") + field +
         " (the 32-bit little-endian number at byte " + std::to_string(at) +
         " of the file) to " + std::to_string(value);
}

// What to set so that 72 + HeaderSize + BodySize is the file's length:
// BodySize, keeping HeaderSize, or else HeaderSize; "" when neither fits.
std::string Mend(int64_t length, const VfsRecord& fields) {
  int64_t room = length - kVfsRecordSize;
  if (fields.HeaderSize >= 0 && room - fields.HeaderSize >= 0) {
    return SetField("BodySize", kBodySizeField, room - fields.HeaderSize);
  }
  if (fields.BodySize >= 0 && room - fields.BodySize >= 0) {
    return SetField("HeaderSize", kHeaderSizeField, room - fields.BodySize);
  }
  return "";
}

// Why `file` can't give an entry its record, header and body; "" when its
// length is 72 + HeaderSize + BodySize.
std::string QvstrProblem(const InputFile& file, const VfsRecord& fields) {
  const int64_t length = file.size();
  std::string why;
  if (fields.HeaderSize < 0) {
    why = "HeaderSize is " + std::to_string(fields.HeaderSize);
  } else if (fields.BodySize < 0) {
    why = "BodySize is " + std::to_string(fields.BodySize);
  } else if (length !=
             int64_t{kVfsRecordSize} + fields.HeaderSize + fields.BodySize) {
    why = "it has " + std::to_string(length) + " bytes, but 72 + HeaderSize (" +
          std::to_string(fields.HeaderSize) + ") + BodySize (" +
          std::to_string(fields.BodySize) + ") is " +
          std::to_string(int64_t{kVfsRecordSize} + fields.HeaderSize +
                         fields.BodySize);
  } else {
    return "";
  }
  std::string mend = Mend(length, fields);
  return mend.empty() ? why : why + ": " + mend;
}

// One .qvstr file: its record, and whether it can be used.
struct Qvstr {
  explicit Qvstr(const Replacement& replacement)
      : file(replacement.file != nullptr
                 ? replacement.file
                 : std::make_shared<InputFile>(replacement.qvstr_path)),
        record(kVfsRecordSize, '\0') {
    if (file->size() < kVfsRecordSize) {
      problem = FileError("cannot use", file->path(),
                          "it has " + std::to_string(file->size()) +
                              " bytes, fewer than a 72-byte record")
                    .what();
      return;
    }
    file->ReadAt(0, record.data(), record.size());
    fields = DecodeRecord(record.data());
    std::string why = QvstrProblem(*file, fields);
    if (!why.empty())
      problem = FileError("cannot use", file->path(), why).what();
  }

  std::shared_ptr<InputFile> file;
  std::string record;
  VfsRecord fields;
  std::string problem;
};

// Whether `length` bytes of `a` from `a_at` equal those of `b` from `b_at`.
bool SameBytes(const InputFile& a, int64_t a_at, const InputFile& b,
               int64_t b_at, int64_t length) {
  std::string left(
      static_cast<size_t>(std::min<int64_t>(length, kCompareChunk)), '\0');
  std::string right(left.size(), '\0');
  while (length > 0) {
    size_t size = static_cast<size_t>(
        std::min<int64_t>(length, static_cast<int64_t>(left.size())));
    a.ReadAt(a_at, left.data(), size);
    b.ReadAt(b_at, right.data(), size);
    if (std::memcmp(left.data(), right.data(), size) != 0) return false;
    a_at += static_cast<int64_t>(size);
    b_at += static_cast<int64_t>(size);
    length -= static_cast<int64_t>(size);
  }
  return true;
}

// The largest power of two, up to 4,096, that divides every offset seen.
class Alignment {
 public:
  void See(int32_t offset) {
    while (offset % value_ != 0) value_ /= 2;
  }
  int32_t value() const { return value_; }

 private:
  int32_t value_ = kMostAlignment;
};

// One entry to replace, with what the walk read of it.
struct Planned {
  const Replacement* replacement;
  Qvstr qvstr;
  int32_t record_offset = 0;
  VfsRecord record;
  ReplacedEntry done;
};

// A piece appended after the container's end.
struct Appended {
  int64_t at;
  const InputFile* from;
  int64_t offset;
  int64_t size;
};

// The inclusive byte range [first, last] that a named piece of another
// entry covers within a file of `size` bytes, for the overlap check.
struct Span {
  const char* what;  // "name", "header", "body"
  int64_t first;
  int64_t last;
};

class Replacer {
 public:
  Replacer(TableWalk& walk, const std::vector<Replacement>& replacements)
      : walk_(walk) {
    plans_.reserve(replacements.size());
    for (const Replacement& replacement : replacements) {
      if (!named_.emplace(replacement.index, plans_.size()).second) {
        throw Error(
            ErrorKind::kUsage,
            "entry " + std::to_string(replacement.index) + " is named twice");
      }
      plans_.push_back({&replacement, Qvstr(replacement), 0, {}, {}});
    }
    ReadTable();
    end_ = walk_.container().size();
    for (Planned& plan : plans_) {
      if (!plan.done.refusal.empty()) continue;
      Place(plan);
      plan.done.record = NewRecord(plan);
    }
  }

  ReplaceResult Result() const {
    ReplaceResult result;
    for (const Planned& plan : plans_) result.entries.push_back(plan.done);
    std::sort(result.entries.begin(), result.entries.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    return result;
  }

  // Writes the new container; false when `before_rename` abandoned it.
  bool Write(std::optional<TableWalk>& walk, const ReplaceSettings& options) {
    const InputFile& container = walk_.container().file();
    std::vector<const Planned*> order;
    for (const Planned& plan : plans_) order.push_back(&plan);
    std::sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
      return a->record_offset < b->record_offset;
    });
    const bool over = options.output.empty();
    AtomicFile file(over ? container.path() : options.output);
    if (over) {
      file.KeepOwner();
    } else {
      file.Protect(container);
      for (const Planned& plan : plans_) file.Protect(*plan.qvstr.file);
    }
    int64_t at = 0;
    for (const Planned* plan : order) {
      file.CopyFrom(container, at, plan->record_offset - at);
      file.Write(plan->done.record);
      at = int64_t{plan->record_offset} + kVfsRecordSize;
    }
    file.CopyFrom(container, at, container.size() - at);
    at = container.size();
    for (const Appended& piece : appended_) {
      file.Write(std::string(static_cast<size_t>(piece.at - at), '\0'));
      file.CopyFrom(*piece.from, piece.offset, piece.size);
      at = piece.at + piece.size;
    }
    if (options.before_rename && !options.before_rename()) return false;
    if (over && !container.StillAtPath()) {
      throw Error(ErrorKind::kFile, "'" + container.path() +
                                        "' changed while it was being "
                                        "updated; nothing written");
    }
    if (over && options.backup) {
      file.MakeBackup(container);
      if (options.backed_up) options.backed_up();
    }
    // Windows replaces no file that is open, the container included; one
    // written elsewhere stays open, protected, until the output is in place.
    if (over) walk.reset();
    file.Commit();
    return true;
  }

 private:
  // One walk of the table: the entries to replace, how the existing
  // headers and bodies are aligned, and what each record would overwrite.
  void ReadTable() {
    std::vector<bool> found(plans_.size(), false);
    walk_.Rewind();
    while (walk_.Next()) {
      const TableEntry& entry = walk_.entry();
      if (entry.Record.HeaderOffset >= 0) {
        headers_.See(entry.Record.HeaderOffset);
      }
      if (entry.Record.BodyOffset >= 0) bodies_.See(entry.Record.BodyOffset);
      auto plan = named_.find(entry.Index);
      if (plan != named_.end()) {
        Take(plans_[plan->second], entry);
        found[plan->second] = true;
      }
    }
    for (const auto& [index, at] : named_) {
      if (!found[at]) {
        throw Error(ErrorKind::kUsage, "'" + walk_.container().path() +
                                           "' has no entry " +
                                           std::to_string(index));
      }
    }
    // Every piece of every entry, against the records to be rewritten.
    walk_.Rewind();
    while (walk_.Next()) {
      for (const Span& span : SpansOf(walk_.entry()))
        Check(walk_.entry(), span);
    }
  }

  void Take(Planned& plan, const TableEntry& entry) {
    plan.record_offset = entry.RecordOffset;
    plan.record = entry.Record;
    plan.done.index = entry.Index;
    plan.done.name = entry.Name;
    const std::string& path = walk_.container().path();
    if (!plan.qvstr.problem.empty()) {
      plan.done.refusal = plan.qvstr.problem;
    } else if (entry.Overflowed ||
               !RangeLength(entry.Ranges.RecordFirst, entry.Ranges.RecordLast,
                            walk_.container().size())) {
      plan.done.refusal =
          EntryError(path, entry,
                     "can't be replaced: its record doesn't lie wholly "
                     "within the file")
              .what();
    } else if (entry.RecordOffset < kHeaderSize) {
      plan.done.refusal =
          EntryError(path, entry,
                     "can't be replaced: its record overlaps the container's "
                     "header (its first 32 bytes)")
              .what();
    }
    if (plan.done.refusal.empty()) records_.insert(entry.RecordOffset);
  }

  // The bytes of `entry` that belong to it: its name up to its NUL, its
  // header and its body, each as much of it as lies within the file.
  std::vector<Span> SpansOf(const TableEntry& entry) const {
    const int64_t size = walk_.container().size();
    std::vector<Span> spans;
    auto add = [&](const char* what, int64_t first, int64_t last) {
      first = std::max<int64_t>(first, 0);
      last = std::min<int64_t>(last, size - 1);
      if (first <= last) spans.push_back({what, first, last});
    };
    if (!entry.NameLost) {
      int64_t name = entry.Record.NameOffset;
      add("name", name,
          name + static_cast<int64_t>(entry.RawName.size()));  // and its NUL
    }
    if (!entry.Overflowed) {
      add("header", entry.Ranges.HeaderFirst, entry.Ranges.HeaderLast);
      add("body", entry.Ranges.BodyFirst, entry.Ranges.BodyLast);
    }
    return spans;
  }

  // Refuses the entry whose record `span` of `owner` overlaps.
  void Check(const TableEntry& owner, const Span& span) {
    auto record = records_.lower_bound(static_cast<int32_t>(
        std::max<int64_t>(span.first - (kVfsRecordSize - 1),
                          std::numeric_limits<int32_t>::min())));
    for (; record != records_.end() && *record <= span.last; ++record) {
      Planned& plan = PlanAt(*record);
      if (!plan.done.refusal.empty()) continue;
      std::string whose =
          owner.Index == plan.done.index
              ? std::string("its own ") + span.what
              : std::string("the ") + span.what + " of entry " +
                    std::to_string(owner.Index) +
                    (owner.NameLost ? "" : " '" + owner.Name + "'");
      plan.done.refusal =
          EntryError(walk_.container().path(), plan.done.index, plan.done.name,
                     "can't be replaced: its record (0x" +
                         HexText(plan.record_offset) + " to 0x" +
                         HexText(plan.record_offset + kVfsRecordSize - 1) +
                         ") overlaps " + whose)
              .what();
    }
  }

  Planned& PlanAt(int32_t record_offset) {
    for (Planned& plan : plans_) {
      if (plan.record_offset == record_offset) return plan;
    }
    throw Error(ErrorKind::kFile, "internal error: no record planned there");
  }

  // Decides where the plan's header and body lie in the result.
  void Place(Planned& plan) {
    const Qvstr& qvstr = plan.qvstr;
    const VfsRecord& record = plan.record;
    plan.done.header_offset =
        PieceAt(record.HeaderOffset, record.HeaderSize, qvstr, kVfsRecordSize,
                qvstr.fields.HeaderSize, headers_, plan.done.header_appended);
    plan.done.body_offset =
        PieceAt(record.BodyOffset, record.BodySize, qvstr,
                int64_t{kVfsRecordSize} + qvstr.fields.HeaderSize,
                qvstr.fields.BodySize, bodies_, plan.done.body_appended);
  }

  // Where a piece of `size` bytes at `offset` in the .qvstr lies: where
  // the entry's current piece lies, when it holds the same bytes; appended
  // otherwise.
  int32_t PieceAt(int32_t current, int32_t current_size, const Qvstr& qvstr,
                  int64_t offset, int32_t size, const Alignment& alignment,
                  bool& appended) {
    const InputFile& container = walk_.container().file();
    appended = !(current_size == size && current >= 0 &&
                 int64_t{current} + size <= container.size() &&
                 SameBytes(container, current, *qvstr.file, offset, size));
    if (!appended) return current;
    int64_t at =
        (end_ + alignment.value() - 1) / alignment.value() * alignment.value();
    if (at + size > std::numeric_limits<int32_t>::max()) {
      throw FileError("cannot replace entries of", container.path(),
                      "the result would pass 2 GiB, beyond what a "
                      "container's signed 32-bit offsets reach");
    }
    appended_.push_back({at, qvstr.file.get(), offset, size});
    end_ = at + size;
    return static_cast<int32_t>(at);
  }

  static std::string NewRecord(const Planned& plan) {
    std::string record = plan.qvstr.record;
    VfsRecord fields = plan.qvstr.fields;
    fields.HeaderOffset = plan.done.header_offset;
    fields.BodyOffset = plan.done.body_offset;
    fields.NameOffset = plan.record.NameOffset;
    EncodeRecord(fields, record.data());
    return record;
  }

  TableWalk& walk_;
  std::map<int32_t, size_t> named_;  // index -> plan
  std::vector<Planned> plans_;
  std::set<int32_t> records_;  // where the records to rewrite start
  Alignment headers_;
  Alignment bodies_;
  std::vector<Appended> appended_;
  int64_t end_ = 0;
};

}  // namespace

bool ReplaceResult::Refused() const {
  return std::any_of(entries.begin(), entries.end(),
                     [](const auto& entry) { return !entry.refusal.empty(); });
}

int32_t FindEntry(TableWalk& walk, const std::string& file,
                  const std::string& entry) {
  int32_t index = 0;
  auto [end, error] =
      std::from_chars(entry.data(), entry.data() + entry.size(), index);
  bool is_index =
      error == std::errc() && end == entry.data() + entry.size() && index >= 0;
  // Names are written with "\" between the parts; users write "/" too.
  std::string name = entry;
  std::replace(name.begin(), name.end(), '/', '\\');
  std::vector<int32_t> named;
  walk.Rewind();
  while (walk.Next()) {
    if (is_index ? walk.entry().Index == index : walk.entry().Name == name) {
      named.push_back(walk.entry().Index);
    }
  }
  if (named.size() == 1) return named.front();
  std::string what = "'" + file + "' ";
  if (named.empty()) {
    throw Error(ErrorKind::kUsage, what + "has no entry " +
                                       (is_index ? entry : "'" + entry + "'"));
  }
  std::string indexes;
  for (int32_t each : named) {
    indexes += (indexes.empty() ? "" : ", ") + std::to_string(each);
  }
  throw Error(ErrorKind::kUsage, what + "has several entries named '" + name +
                                     "': " + indexes +
                                     "; name one by its index");
}

ReplaceResult Replace(std::optional<TableWalk>& walk,
                      const std::vector<Replacement>& replacements,
                      const ReplaceSettings& options) {
  Replacer replacer(*walk, replacements);
  ReplaceResult result = replacer.Result();
  if (!options.dry_run && !result.Refused()) {
    result.written = replacer.Write(walk, options);
  }
  return result;
}

std::vector<ReplacedEntry> ReplaceEntries(
    const Selection& selection, const std::vector<Replacement>& replacements,
    const std::string& output) {
  std::optional<TableWalk> walk(std::in_place, selection);
  ReplaceSettings options;
  options.output = output;
  ReplaceResult result = Replace(walk, replacements, options);
  for (const ReplacedEntry& entry : result.entries) {
    if (!entry.refusal.empty()) throw Error(ErrorKind::kFile, entry.refusal);
  }
  return result.entries;
}

}  // namespace brimwald
