#include "table/entry_problems.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "cut/cut_range.h"
#include "names/windows_path.h"

namespace brimwald {
namespace {

// The longest extension a piece gets.
constexpr std::string_view kLongestExtension = ".mainhd";
constexpr uint64_t kEmpty = 0;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

EntryProblems::EntryProblems(int64_t container_size, int32_t expected_entries)
    : container_size_(container_size) {
  // A table can't hold more records than the file has room for, whatever
  // its header claims.
  int64_t entries = std::min<int64_t>(std::max(expected_entries, 0),
                                      container_size / kVfsRecordSize);
  size_t slots = 1024;
  while (slots < 2 * static_cast<size_t>(entries)) slots *= 2;
  Grow(slots);
}

const std::vector<std::string>& EntryProblems::Check(const TableEntry& entry) {
  problems_.clear();
  CheckRange("header", entry.Ranges.HeaderFirst, entry.Ranges.HeaderLast);
  CheckRange("body", entry.Ranges.BodyFirst, entry.Ranges.BodyLast);
  CheckPath(entry);
  return problems_;
}

void EntryProblems::CheckRange(const char* piece, int32_t first, int32_t last) {
  std::string why;
  if (!RangeLength(first, last, container_size_, &why)) {
    problems_.push_back(std::string(piece) + ": " + why);
  }
}

void EntryProblems::CheckPath(const TableEntry& entry) {
  path_ = entry.Name;
  path_ += kLongestExtension;
  SplitWindowsPath(path_, parts_);
  for (std::string_view part : parts_) {
    if (part.size() > kMaxPartBytes) {
      problems_.push_back("a part of its path has " +
                          std::to_string(part.size()) +
                          " bytes; filesystems store at most 255");
      break;
    }
  }
  // Windows compares names without letter case.
  folded_.clear();
  for (std::string_view part : parts_) {
    if (!folded_.empty()) folded_ += '\\';
    for (char c : part) folded_ += AsciiLower(c);
  }
  int32_t earlier =
      EarlierWithPath(std::hash<std::string>{}(folded_), entry.Index);
  if (earlier >= 0) {
    problems_.push_back("same path as entry " + std::to_string(earlier) +
                        ", which it replaces");
  }
}

void EntryProblems::Grow(size_t slots) {
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(slots));
  used_ = 0;
  for (const Slot& slot : old) {
    if (slot.hash != kEmpty) EarlierWithPath(slot.hash, slot.index);
  }
}

int32_t EntryProblems::EarlierWithPath(uint64_t hash, int32_t index) {
  if (hash == kEmpty) hash = 1;
  if (2 * (used_ + 1) > slots_.size()) Grow(2 * slots_.size());
  size_t mask = slots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.hash == hash) return slot.index;
    if (slot.hash == kEmpty) {
      slot = {hash, index};
      ++used_;
      return -1;
    }
  }
}

}  // namespace brimwald
