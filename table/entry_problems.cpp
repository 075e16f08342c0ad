#include "table/entry_problems.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "cut/cut_range.h"
#include "names/windows_path.h"

namespace brimwald {
namespace {

// The longest extension a piece gets.
constexpr std::string_view kLongestExtension = ".mainhd";
constexpr uint64_t kEmpty = 0;
// FNV-1a, 64 bits: a good spread for short names at a byte a step.
constexpr uint64_t kFnvOffset = 14695981039346656037u;
constexpr uint64_t kFnvPrime = 1099511628211u;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

EntryProblems::EntryProblems(int64_t container_size, int32_t expected_entries)
    : container_size_(container_size), slots_(nullptr, std::free) {
  // A table can't hold more records than the file has room for, whatever
  // its header claims.
  int64_t entries = std::min<int64_t>(std::max(expected_entries, 0),
                                      container_size / kVfsRecordSize + 1);
  size_t slots = 1024;
  while (slots < 2 * static_cast<size_t>(entries)) slots *= 2;
  slots_.reset(static_cast<uint64_t*>(std::calloc(slots, sizeof(uint64_t))));
  if (!slots_) throw std::bad_alloc();
  slot_count_ = slots;
}

const std::vector<std::string>& EntryProblems::Check(const TableEntry& entry) {
  problems_.clear();
  for (const Piece& piece : Pieces(entry.Ranges)) {
    CheckRange(piece.Name, piece.First, piece.Last);
  }
  CheckPath(entry);
  return problems_;
}

void EntryProblems::CheckRange(const char* piece, int32_t first, int32_t last) {
  std::string why;
  if (!RangeLength(first, last, container_size_, &why)) {
    problems_.push_back(std::string(piece) + ": " + why);
  }
}

// One pass over the name's parts as Windows reads them (the last one keeps
// what ends it, since an extension follows): the longest part, and a hash of
// the path without letter case for the duplicate check.
void EntryProblems::CheckPath(const TableEntry& entry) {
  std::string_view name = entry.Name;
  size_t longest = 0;
  uint64_t hash = kFnvOffset;
  bool first = true;
  while (true) {
    size_t separator = name.find('\\');
    bool last = separator == std::string_view::npos;
    std::string_view part = name.substr(0, separator);
    if (!last) part = TrimWindowsPart(part);
    size_t length = part.size() + (last ? kLongestExtension.size() : 0);
    longest = std::max(longest, length);
    if (!part.empty() || last) {
      if (!first) hash = (hash ^ '\\') * kFnvPrime;
      for (char c : part) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * kFnvPrime;
      }
      first = false;
    }
    if (last) break;
    name.remove_prefix(separator + 1);
  }
  if (longest > kMaxPartBytes) {
    problems_.push_back("a part of its path has " + std::to_string(longest) +
                        " bytes; filesystems store at most 255");
  }
  int32_t earlier = EarlierWithPath(hash, entry.Index);
  if (earlier >= 0) {
    problems_.push_back("same path as entry " + std::to_string(earlier) +
                        ", which it replaces");
  }
}

int32_t EntryProblems::EarlierWithPath(uint64_t hash, int32_t index) {
  // The low bits place a path, the top 32 bits tell paths apart within a
  // place: 51 bits and more in all, so a false match is vanishingly rare.
  uint64_t fingerprint = hash >> 32;
  size_t mask = slot_count_ - 1;
  for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
    uint64_t slot = slots_[at];
    if (slot == kEmpty) {
      // Sized for every record the file has room for, so never over half
      // full; past that a path is no longer remembered.
      if (2 * (used_ + 1) > slot_count_) return -1;
      slots_[at] = fingerprint << 32 | (static_cast<uint32_t>(index) + 1u);
      ++used_;
      return -1;
    }
    if (slot >> 32 == fingerprint) {
      return static_cast<int32_t>(static_cast<uint32_t>(slot) - 1u);
    }
  }
}

}  // namespace brimwald
