#include "table/entry_problems.h"

#include <functional>

#include "cut/cut_range.h"
#include "names/windows_path.h"

namespace brimwald {
namespace {

// The longest extension a piece gets.
constexpr std::string_view kLongestExtension = ".mainhd";
constexpr uint64_t kEmpty = 0;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

EntryProblems::EntryProblems(int64_t container_size)
    : container_size_(container_size) {}

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
  std::string folded;
  for (std::string_view part : parts_) {
    if (!folded.empty()) folded += '\\';
    for (char c : part) folded += AsciiLower(c);
  }
  int32_t earlier =
      EarlierWithPath(std::hash<std::string>{}(folded), entry.Index);
  if (earlier >= 0) {
    problems_.push_back("same path as entry " + std::to_string(earlier) +
                        ", which it replaces");
  }
}

int32_t EntryProblems::EarlierWithPath(uint64_t hash, int32_t index) {
  if (hash == kEmpty) hash = 1;
  if (2 * (used_ + 1) > hashes_.size()) {
    std::vector<uint64_t> hashes = std::move(hashes_);
    std::vector<int32_t> indexes = std::move(indexes_);
    size_t size = hashes.empty() ? 1024 : 2 * hashes.size();
    hashes_.assign(size, kEmpty);
    indexes_.assign(size, -1);
    used_ = 0;
    for (size_t i = 0; i < hashes.size(); ++i) {
      if (hashes[i] != kEmpty) EarlierWithPath(hashes[i], indexes[i]);
    }
  }
  size_t mask = hashes_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    if (hashes_[slot] == hash) return indexes_[slot];
    if (hashes_[slot] == kEmpty) {
      hashes_[slot] = hash;
      indexes_[slot] = index;
      ++used_;
      return -1;
    }
  }
}

}  // namespace brimwald
