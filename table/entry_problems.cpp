#include "table/entry_problems.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

#include "cut/cut_range.h"
#include "names/windows_path.h"

namespace brimwald {
namespace {

// The longest extension a piece gets.
constexpr std::string_view kLongestExtension = ".mainhd";

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// A table can't hold more records than the file has room for, whatever its
// header claims.
size_t MostEntries(int64_t container_size, int32_t expected_entries) {
  return static_cast<size_t>(std::min<int64_t>(
      std::max(expected_entries, 0), container_size / kVfsRecordSize + 1));
}

struct PathFacts {
  uint64_t hash = 0;
  size_t longest_part = 0;
};

// One pass over the name's parts as Windows reads them (the last one keeps
// what ends it, since an extension follows): the longest part, and a hash of
// the path as Windows compares it, without letter case. The path is spelled
// out in `path` first, so that the hash takes it eight bytes at a time.
PathFacts PathFactsOf(std::string_view name, std::string& path) {
  PathFacts facts;
  path.resize(name.size());
  char* out = path.data();
  size_t length = 0;
  while (true) {
    size_t separator = name.find('\\');
    bool last = separator == std::string_view::npos;
    std::string_view part = name.substr(0, separator);
    if (!last) part = TrimWindowsPart(part);
    size_t longest = part.size() + (last ? kLongestExtension.size() : 0);
    facts.longest_part = std::max(facts.longest_part, longest);
    if (!part.empty() || last) {
      if (length > 0) out[length++] = '\\';
      for (char c : part) out[length++] = AsciiLower(c);
    }
    if (last) break;
    name.remove_prefix(separator + 1);
  }
  facts.hash = std::hash<std::string_view>()(std::string_view(out, length));
  return facts;
}

}  // namespace

EntryProblems::EntryProblems(int64_t container_size, int32_t expected_entries,
                             Checked checked)
    : container_size_(container_size),
      checked_(std::move(checked)),
      seen_(MostEntries(container_size, expected_entries)) {}

void EntryProblems::Add(const TableEntry& entry) {
  Held& held = held_[held_count_++];
  held.entry = entry;
  held.entry.RawName = {};  // not kept by the walk
  PathFacts facts = PathFactsOf(entry.Name, path_);
  held.path_hash = facts.hash;
  held.longest_part = facts.longest_part;
  if (held_count_ == kBatch) HandOn();
}

void EntryProblems::HandOn() {
  for (size_t i = 0; i < held_count_; ++i) seen_.Prefetch(held_[i].path_hash);
  for (size_t i = 0; i < held_count_; ++i) {
    const Held& held = held_[i];
    problems_.clear();
    for (const Piece& piece : Pieces(held.entry.Ranges)) {
      if (!RangeLength(piece.First, piece.Last, container_size_)) {
        AddRangeProblem(piece);
      }
    }
    if (held.longest_part > kMaxPartBytes) {
      problems_.push_back("a part of its path has " +
                          std::to_string(held.longest_part) +
                          " bytes; filesystems store at most 255");
    }
    int32_t earlier = seen_.EarlierOrAdd(held.path_hash, held.entry.Index);
    if (earlier >= 0) {
      problems_.push_back("same path as entry " + std::to_string(earlier) +
                          ", which it replaces");
    }
    checked_(held.entry, problems_);
  }
  held_count_ = 0;
}

void EntryProblems::AddRangeProblem(const Piece& piece) {
  problems_.push_back(std::string(piece.Name) + ": " +
                      RangeProblem(piece.First, piece.Last, container_size_));
}

}  // namespace brimwald
