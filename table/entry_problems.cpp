#include "table/entry_problems.h"

#include <algorithm>
#include <string_view>

#include "cut/cut_range.h"
#include "names/windows_path.h"

namespace brimwald {
namespace {

// The longest extension a piece gets.
constexpr std::string_view kLongestExtension = ".mainhd";

// The longest part of the paths the script names for `name`, as Windows
// reads them.
size_t LongestPart(const std::string& name) {
  std::string path = name + std::string(kLongestExtension);
  std::vector<std::string_view> parts;
  SplitWindowsPath(path, parts);
  size_t longest = 0;
  for (std::string_view part : parts) longest = std::max(longest, part.size());
  return longest;
}

}  // namespace

EntryProblems::EntryProblems(int64_t container_size)
    : container_size_(container_size) {}

std::vector<std::string> EntryProblems::Check(const TableEntry& entry) {
  std::vector<std::string> problems;
  if (!entry.Problem.empty()) problems.push_back(entry.Problem);
  // After an overflow the ranges mean nothing; a lost name leaves them be.
  if (entry.Problem.empty() || entry.NameLost) {
    for (const Piece& piece : Pieces(entry.Ranges)) {
      if (!RangeLength(piece.First, piece.Last, container_size_)) {
        problems.push_back(
            std::string(piece.Name) + ": " +
            RangeProblem(piece.First, piece.Last, container_size_));
      }
    }
  }
  if (entry.NameLost) return problems;
  size_t longest = LongestPart(entry.Name);
  if (longest > kMaxPartBytes) {
    problems.push_back("a part of its path has " + std::to_string(longest) +
                       " bytes; filesystems store at most 255");
  }
  auto [holder, added] =
      holders_.try_emplace(EntryPathKey(entry.Name), entry.Index);
  if (!added) {
    problems.push_back("same path as entry " + std::to_string(holder->second) +
                       ", which it replaces");
    holder->second = entry.Index;
  }
  return problems;
}

}  // namespace brimwald
