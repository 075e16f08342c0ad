// The Entries dialog's table, whatever toolkit draws it: every entry of one
// container (index, name, header size, body size, problems), a filter over
// the names in the wildcard syntax of names/name_pattern.h, a sort order,
// and the rows that show. A view asks for the cells of the rows it paints
// only, so the model keeps the entries compact and builds no text per row
// ahead of time: the names back to back in one string, two sizes, and a
// problems text only for the entries that have problems.
//
// A filter without "*", "?" or "[" finds the names that contain it, as a
// user who types part of a name expects; with any of them it is a pattern
// over the whole name, as `--include` takes it.

#ifndef BRIMWALD_APP_SESSION_ENTRIES_MODEL_H_
#define BRIMWALD_APP_SESSION_ENTRIES_MODEL_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "container/selection.h"
#include "names/name_pattern.h"
#include "table/entry_choice.h"

namespace brimwald {

/// The table's columns, in the order they show.
enum class EntryColumn { kIndex, kName, kHeaderSize, kBodySize, kProblems };
inline constexpr int kEntryColumns = 5;

/// The column's heading: "Index", "Name", "Header size", "Body size",
/// "Problems".
const char* HeadingOf(EntryColumn column);

class EntriesModel {
 public:
  /// Loads every entry of the container that `selection` describes (it
  /// must have passed inspection), in table order, with its problems as
  /// `list` shows them. A table that ends in a record that can't be read
  /// keeps the entries before it, and table_problem() says why. Throws
  /// Error when the container can't be read at all.
  explicit EntriesModel(const Selection& selection);

  /// The container the entries come from, as it was chosen.
  const Selection& selection() const { return selection_; }

  /// How many entries were loaded; entry indexes run from 0 to size() - 1.
  int32_t size() const { return static_cast<int32_t>(entries_.size()); }
  /// How many rows show: the entries the filter takes.
  int32_t rows() const { return static_cast<int32_t>(visible_.size()); }
  /// The index of the entry that shows in `row` (0 to rows() - 1).
  int32_t IndexAt(int32_t row) const {
    return visible_[static_cast<size_t>(row)];
  }

  /// The entry name as `list` prints it (bytes); empty when its name can't
  /// be read.
  std::string_view NameOf(int32_t index) const;
  /// The entry's problems, "; " between them; empty when it has none.
  std::string_view ProblemsOf(int32_t index) const;
  /// The text of `row` in `column`: numbers in decimal, the name as bytes.
  std::string Cell(int32_t row, EntryColumn column) const;

  /// Shows only the entries whose names contain `text`, or, when it holds
  /// "*", "?" or "[", match it as a whole-name pattern (all when it is
  /// empty); either way "/" stands for "\" and ASCII letter case is
  /// ignored. The text is as the dialog shows it: a character stands for
  /// the name byte of its number, as names are shown (Latin-1), so one past
  /// U+00FF matches no name. A pattern that can't be read shows no row;
  /// false then, and filter_error() says why. The sort order stays.
  bool SetFilter(std::u16string_view text);
  const std::string& filter_error() const { return filter_error_; }
  /// The filter as SetFilter() last took it.
  const std::u16string& filter_text() const { return filter_text_; }
  /// What the filter takes: "names containing 'door'", "names matching
  /// 'sfx\*'"; empty without a filter.
  std::string FilterText() const;

  /// Orders the rows by `column`, descending or not; entries with equal
  /// keys keep table order either way. Names compare bytewise with ASCII
  /// letter case ignored. The filter stays.
  void Sort(EntryColumn column, bool descending);
  EntryColumn sort_column() const { return sort_column_; }
  bool descending() const { return descending_; }

  /// One line about the rows that show: "12 entries", "3 of 12 entries
  /// show: names containing 'door'", "No entry shows: names matching
  /// 'x*'", or why the filter can't be read. Its bytes show as names do
  /// (Latin-1), since it may quote the filter.
  std::string StatusText() const;
  /// Why the table ends early, when it does, as an error's description;
  /// empty otherwise.
  const std::string& table_problem() const { return table_problem_; }

  /// The choice of exactly the entries in `rows` (rows that show, in any
  /// order, repeats allowed), as ranges in ascending order. Throws Error
  /// (kUsage) when `rows` is empty, since a choice without ranges would
  /// take every entry.
  EntryChoice ChoiceOf(const std::vector<int32_t>& rows) const;

 private:
  struct Entry {
    size_t name_end;  // its name ends here in names_, the next one's starts
    int32_t header_size;
    int32_t body_size;
    int32_t problems;  // its text in problems_, or -1 for none
  };

  void Load();
  bool Less(int32_t a, int32_t b) const;
  bool Takes(int32_t index) const;
  void ApplyFilter();

  Selection selection_;
  std::vector<Entry> entries_;
  std::string names_;
  std::vector<std::string> problems_;
  std::string table_problem_;
  // Every entry index in the sort order, and those of them that show.
  std::vector<int32_t> order_;
  std::vector<int32_t> visible_;
  // Null when the filter is empty or can't be read.
  std::optional<NamePattern> pattern_;
  // The filter's bytes as typed, and whether it finds names containing it.
  std::u16string filter_text_;
  std::string filter_;
  bool containing_ = false;
  std::string filter_error_;
  EntryColumn sort_column_ = EntryColumn::kIndex;
  bool descending_ = false;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_ENTRIES_MODEL_H_
