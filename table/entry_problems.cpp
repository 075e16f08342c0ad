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
// reads them: the last part gets an extension.
size_t LongestPart(std::string_view name) {
  size_t longest = 0;
  while (true) {
    size_t separator = name.find('\\');
    if (separator == std::string_view::npos) {
      return std::max(longest, name.size() + kLongestExtension.size());
    }
    longest =
        std::max(longest, TrimWindowsPart(name.substr(0, separator)).size());
    name.remove_prefix(separator + 1);
  }
}

// A table can't hold more records than the file has room for, whatever its
// header claims.
size_t MostEntries(const TableWalk& walk) {
  return static_cast<size_t>(std::min<int64_t>(
      walk.count(), walk.container().size() / kVfsRecordSize + 1));
}

}  // namespace

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

EntryProblems::EntryProblems(const TableWalk& walk, TableWalk& lookup)
    : container_size_(walk.container().size()),
      holders_(
          [&lookup](int32_t index) {
            return EntryPathKey(lookup.NameAt(index));
          },
          MostEntries(walk)) {}

std::vector<std::string> EntryProblems::Check(const TableEntry& entry) {
  std::vector<std::string> problems;
  if (!entry.Problem.empty()) problems.push_back(entry.Problem);
  // After an overflow the ranges mean nothing; a lost name leaves them be.
  if (entry.Problem.empty() || entry.NameLost) {
    for (const Piece& piece : Pieces(entry.Ranges)) {
      if (std::optional<std::string> problem =
              PieceProblem(piece, container_size_)) {
        problems.push_back(*problem);
      }
    }
  }
  if (entry.NameLost) return problems;
  size_t longest = LongestPart(entry.Name);
  if (longest > kMaxPartBytes) {
    problems.push_back("a part of its path has " + std::to_string(longest) +
                       " bytes; filesystems store at most 255");
  }
  std::optional<int32_t> earlier =
      holders_.Replace(keys_.Of(entry.Name), entry.Index);
  if (earlier) {
    problems.push_back("same path as entry " + std::to_string(*earlier) +
                       ", which it replaces");
  }
  return problems;
}

}  // namespace brimwald
