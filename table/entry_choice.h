// Which entries of a table a command takes: those that match one of the
// included patterns (all, when none is given), lie within the index list
// (when one is given) and match no excluded pattern. Patterns are
// names/name_pattern.h's, over the entry name as `list` prints it.

#ifndef BRIMWALD_TABLE_ENTRY_CHOICE_H_
#define BRIMWALD_TABLE_ENTRY_CHOICE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "names/name_pattern.h"
#include "table/table_walk.h"

namespace brimwald {

class EntryChoice {
 public:
  /// Every entry, until something narrows the choice.
  EntryChoice() = default;

  /// Throw Error (kUsage) for a pattern that can't be read.
  void Include(std::string pattern);
  void Exclude(std::string pattern);

  /// Adds the indexes of `list`: indexes and ranges between commas, a range
  /// open at its end taking all from its start ("0-9,15,200-"). Throws
  /// Error (kUsage) for a list that can't be read.
  void AddIndexes(std::string_view list);
  /// Adds `first` to `last`, inclusive. Ranges added in ascending order,
  /// each after the last, are looked up by halving, so that a choice of
  /// many scattered entries costs little per entry.
  void AddIndexRange(int32_t first, int32_t last);

  /// Whether the command takes `entry`. Remembers what chose it, for
  /// Unused().
  bool Chooses(const TableEntry& entry) const;

  /// Whether any entry may be left out.
  bool narrows() const {
    return !includes_.empty() || !excludes_.empty() || !ranges_.empty();
  }

  /// What chose no entry among those Chooses() saw: "the pattern 'x'
  /// chooses no entry" for each included pattern, likewise for the index
  /// list.
  std::vector<std::string> Unused() const;

 private:
  struct Included {
    NamePattern pattern;
    mutable bool used = false;
  };

  std::vector<Included> includes_;
  std::vector<NamePattern> excludes_;
  /// Whether `index` lies within one of the ranges.
  bool Within(int32_t index) const;

  std::vector<std::pair<int32_t, int32_t>> ranges_;
  // Whether the ranges ascend, each after the one before.
  bool ranges_ascend_ = true;
  std::string index_text_;  // as given, for messages
  mutable bool index_used_ = false;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_ENTRY_CHOICE_H_
