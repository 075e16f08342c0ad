#include "table/entry_problems.h"

#include <algorithm>
#include <string_view>

#include "names/windows_path.h"

namespace brimwald {
namespace {

// The longest extension a piece gets.
constexpr std::string_view kLongestExtension = ".mainhd";

// A table can't hold more records than the file has room for, whatever its
// header claims.
size_t MostEntries(const TableWalk& walk) {
  return static_cast<size_t>(std::min<int64_t>(
      walk.count(), walk.container().size() / kVfsRecordSize + 1));
}

}  // namespace

EntryProblems::EntryProblems(const TableWalk& walk, TableWalk& lookup)
    : holders_(
          [&lookup](int32_t index) {
            return EntryPathKey(lookup.NameAt(index));
          },
          MostEntries(walk)) {}

std::vector<std::string> EntryProblems::Check(const TableEntry& entry) {
  std::vector<std::string> problems = entry.Problems;
  if (entry.NameLost) return problems;
  // The longest part of the paths the script names, as Windows reads them:
  // the last part gets the longest extension.
  path_.assign(entry.Name).append(kLongestExtension);
  SplitWindowsPath(path_, parts_);
  size_t longest = 0;
  for (std::string_view part : parts_) longest = std::max(longest, part.size());
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
