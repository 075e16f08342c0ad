#include "replace/replace.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <optional>

#include "base/checked_int.h"
#include "base/error.h"
#include "cut/cut_range.h"
#include "io/atomic_file.h"
#include "io/input_file.h"
#include "table/table_walk.h"

namespace brimwald {
namespace {

constexpr int32_t kMostAlignment = 4096;
constexpr size_t kCompareChunk = 64 * 1024;

// One .qvstr file, checked: its record, and where its header and body lie.
struct Qvstr {
  explicit Qvstr(const std::string& path) : file(path), record(72, '\0') {
    if (file.size() < kVfsRecordSize) {
      throw FileError("cannot use", path,
                      "it has " + std::to_string(file.size()) +
                          " bytes, fewer than a 72-byte record");
    }
    file.ReadAt(0, record.data(), record.size());
    fields = DecodeRecord(record.data());
    const int32_t header_size = fields.HeaderSize;
    const int32_t body_size = fields.BodySize;
    if (header_size < 0 || body_size < 0) {
      throw FileError("cannot use", path,
                      "its record gives a negative HeaderSize (" +
                          std::to_string(header_size) + ") or BodySize (" +
                          std::to_string(body_size) + ")");
    }
    int64_t expected = int64_t{kVfsRecordSize} + header_size + body_size;
    if (file.size() != expected) {
      throw FileError("cannot use", path,
                      "it has " + std::to_string(file.size()) +
                          " bytes, but 72 + HeaderSize + BodySize is " +
                          std::to_string(expected));
    }
  }

  InputFile file;
  std::string record;
  VfsRecord fields;
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
  std::unique_ptr<Qvstr> qvstr;
  TableEntry entry;
  ReplacedEntry done;
};

// A piece appended after the container's end.
struct Appended {
  int64_t at;
  const InputFile* from;
  int64_t offset;
  int64_t size;
};

class Replacer {
 public:
  Replacer(const Selection& selection,
           const std::vector<Replacement>& replacements)
      : selection_(selection), walk_(std::in_place, selection) {
    std::map<int32_t, size_t> named;
    for (const Replacement& replacement : replacements) {
      if (!named.emplace(replacement.index, plans_.size()).second) {
        throw Error(
            ErrorKind::kUsage,
            "entry " + std::to_string(replacement.index) + " is named twice");
      }
      plans_.push_back({&replacement,
                        std::make_unique<Qvstr>(replacement.qvstr_path),
                        {},
                        {}});
    }
    ReadTable(named);
  }

  // Decides where every header and body lies in the result.
  void Plan() {
    end_ = walk_->container().file().size();
    for (Planned& plan : plans_) Place(plan);
  }

  std::vector<ReplacedEntry> Done() const {
    std::vector<ReplacedEntry> done;
    for (const Planned& plan : plans_) done.push_back(plan.done);
    std::sort(done.begin(), done.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    return done;
  }

  void Write(const std::string& output) {
    const InputFile& container = walk_->container().file();
    std::sort(plans_.begin(), plans_.end(), [](const auto& a, const auto& b) {
      return a.entry.RecordOffset < b.entry.RecordOffset;
    });
    std::string path = output.empty() ? container.path() : output;
    AtomicFile file(path);
    if (!output.empty()) file.Protect(container);
    int64_t at = 0;
    for (const Planned& plan : plans_) {
      file.CopyFrom(container, at, plan.entry.RecordOffset - at);
      file.Write(NewRecord(plan));
      at = int64_t{plan.entry.RecordOffset} + kVfsRecordSize;
    }
    file.CopyFrom(container, at, container.size() - at);
    at = container.size();
    for (const Appended& piece : appended_) {
      file.Write(std::string(static_cast<size_t>(piece.at - at), '\0'));
      file.CopyFrom(*piece.from, piece.offset, piece.size);
      at = piece.at + piece.size;
    }
    // Windows replaces no file that is open, the container included.
    walk_.reset();
    file.Commit();
  }

 private:
  // One walk of the table: the entries to replace, and how the existing
  // headers and bodies are aligned.
  void ReadTable(const std::map<int32_t, size_t>& named) {
    std::vector<bool> found(plans_.size(), false);
    while (walk_->Next()) {
      const TableEntry& entry = walk_->entry();
      if (entry.Record.HeaderOffset >= 0) {
        headers_.See(entry.Record.HeaderOffset);
      }
      if (entry.Record.BodyOffset >= 0) bodies_.See(entry.Record.BodyOffset);
      auto plan = named.find(entry.Index);
      if (plan == named.end()) continue;
      if (!entry.Problem.empty()) {
        throw EntryError(walk_->container().path(), entry,
                         "can't be replaced: " + entry.Problem);
      }
      plans_[plan->second].entry = entry;
      plans_[plan->second].entry.RawName = {};
      found[plan->second] = true;
    }
    for (const auto& [index, at] : named) {
      if (!found[at]) {
        throw Error(ErrorKind::kUsage, "'" + selection_.FileName +
                                           "' has no entry " +
                                           std::to_string(index));
      }
    }
  }

  // Decides where the plan's header and body lie in the result.
  void Place(Planned& plan) {
    const Qvstr& qvstr = *plan.qvstr;
    const VfsRecord& record = plan.entry.Record;
    plan.done.index = plan.entry.Index;
    plan.done.name = plan.entry.Name;
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
    const InputFile& container = walk_->container().file();
    appended = !(current_size == size && current >= 0 &&
                 int64_t{current} + size <= container.size() &&
                 SameBytes(container, current, qvstr.file, offset, size));
    if (!appended) return current;
    int64_t at =
        (end_ + alignment.value() - 1) / alignment.value() * alignment.value();
    if (at + size > std::numeric_limits<int32_t>::max()) {
      throw FileError("cannot replace entries of", selection_.FileName,
                      "the result would pass 2 GiB, beyond what a "
                      "container's signed 32-bit offsets reach");
    }
    appended_.push_back({at, &qvstr.file, offset, size});
    end_ = at + size;
    return static_cast<int32_t>(at);
  }

  static std::string NewRecord(const Planned& plan) {
    std::string record = plan.qvstr->record;
    VfsRecord fields = plan.qvstr->fields;
    fields.HeaderOffset = plan.done.header_offset;
    fields.BodyOffset = plan.done.body_offset;
    fields.NameOffset = plan.entry.Record.NameOffset;
    EncodeRecord(fields, record.data());
    return record;
  }

  const Selection& selection_;
  std::optional<TableWalk> walk_;  // closed before the result is named
  std::vector<Planned> plans_;
  Alignment headers_;
  Alignment bodies_;
  std::vector<Appended> appended_;
  int64_t end_ = 0;
};

}  // namespace

int32_t FindEntry(const Selection& selection, const std::string& entry) {
  int32_t index = 0;
  auto [end, error] =
      std::from_chars(entry.data(), entry.data() + entry.size(), index);
  bool is_index =
      error == std::errc() && end == entry.data() + entry.size() && index >= 0;
  TableWalk walk(selection);
  std::vector<int32_t> named;
  while (walk.Next()) {
    if (is_index ? walk.entry().Index == index : walk.entry().Name == entry) {
      named.push_back(walk.entry().Index);
    }
  }
  if (named.size() == 1) return named.front();
  std::string what = "'" + selection.FileName + "' ";
  if (named.empty()) {
    throw Error(ErrorKind::kUsage, what + "has no entry " +
                                       (is_index ? entry : "'" + entry + "'"));
  }
  std::string indexes;
  for (int32_t each : named) {
    indexes += (indexes.empty() ? "" : ", ") + std::to_string(each);
  }
  throw Error(ErrorKind::kUsage, what + "has several entries named '" + entry +
                                     "': " + indexes +
                                     "; name one by its index");
}

std::vector<ReplacedEntry> ReplaceEntries(
    const Selection& selection, const std::vector<Replacement>& replacements,
    const std::string& output) {
  Replacer replacer(selection, replacements);
  replacer.Plan();
  std::vector<ReplacedEntry> done = replacer.Done();
  replacer.Write(output);
  return done;
}

std::vector<ReplacedEntry> PlanReplacements(
    const Selection& selection, const std::vector<Replacement>& replacements) {
  Replacer replacer(selection, replacements);
  replacer.Plan();
  return replacer.Done();
}

}  // namespace brimwald
