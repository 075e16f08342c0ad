// The Entries dialog's table, whatever toolkit draws it: every entry of one
// container (index, name, header size, body size, problems), or of every
// container of a folder with each entry's container in a column before the
// others; a filter over the names in the wildcard syntax of
// names/name_pattern.h, a sort order, and the rows that show. A view asks for
// the cells of the rows it paints only, so the model keeps the entries compact
// and builds no text per row ahead of time: the names back to back in one
// string, two sizes, and a problems text only for the entries that have
// problems.
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

/// The table's columns, in the order they show; kContainer only in a table
/// of many containers, where it comes first.
enum class EntryColumn {
  kIndex,
  kName,
  kHeaderSize,
  kBodySize,
  kProblems,
  kContainer
};
/// The columns of a table of one container.
inline constexpr int kEntryColumns = 5;

/// The column's heading: "Index", "Name", "Header size", "Body size",
/// "Problems", "Container".
const char* HeadingOf(EntryColumn column);

class EntriesModel {
 public:
  /// Loads every entry of the container that `selection` describes (it
  /// must have passed inspection), in table order, with its problems as
  /// `list` shows them. A table that ends in a record that can't be read
  /// keeps the entries before it, and table_problem() says why. Throws
  /// Error when the container can't be read at all.
  explicit EntriesModel(const Selection& selection);

  /// Loads every entry of each container of `names` (bare file names in
  /// `directory`, "" for the current one), container after container in
  /// the order given, each as the constructor above loads one. A file that
  /// isn't a container or can't be read loads nothing and a line of
  /// table_problem() says why; so does a table that ends early. Throws
  /// nothing for a file.
  EntriesModel(const std::string& directory,
               const std::vector<std::string>& names);

  /// The container the entries come from, as it was chosen, in a table of
  /// one container.
  const Selection& selection() const { return containers_.front(); }

  /// Whether the table holds the entries of a folder's containers and
  /// shows the Container column.
  bool many() const { return many_; }
  /// How many columns show, and which shows at `position` (0 to columns()
  /// - 1).
  int columns() const { return many_ ? kEntryColumns + 1 : kEntryColumns; }
  EntryColumn ColumnAt(int position) const;

  /// How many entries were loaded; entries are numbered from 0 to size() -
  /// 1, container after container. With one container an entry's number
  /// is its index.
  int32_t size() const { return static_cast<int32_t>(entries_.size()); }
  /// How many rows show: the entries the filter takes.
  int32_t rows() const { return static_cast<int32_t>(visible_.size()); }
  /// The number of the entry that shows in `row` (0 to rows() - 1).
  int32_t IndexAt(int32_t row) const {
    return visible_[static_cast<size_t>(row)];
  }

  /// The entry name as `list` prints it (bytes); empty when its name can't
  /// be read. `number` as IndexAt() gives it, here and below.
  std::string_view NameOf(int32_t number) const;
  /// The entry's problems, "; " between them; empty when it has none.
  std::string_view ProblemsOf(int32_t number) const;
  /// The container that holds the entry, and the entry's index in its
  /// table.
  const Selection& ContainerOf(int32_t number) const;
  int32_t EntryIndexOf(int32_t number) const;
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
  /// keys keep table order either way, container after container in the
  /// order loaded. Names compare bytewise with ASCII letter case ignored;
  /// containers in the order loaded. The filter stays.
  void Sort(EntryColumn column, bool descending);
  EntryColumn sort_column() const { return sort_column_; }
  bool descending() const { return descending_; }

  /// One line about the rows that show: "12 entries", "3 of 12 entries
  /// show: names containing 'door'", "No entry shows: names matching
  /// 'x*'", or why the filter can't be read; "12 entries in 3 containers"
  /// for many. Its bytes show as names do (Latin-1), since it may quote
  /// the filter.
  std::string StatusText() const;
  /// Why a table ends early, or, in a table of many, why a file loaded
  /// nothing, as errors' descriptions, one line each ("\n" between them);
  /// empty when every table was read to its end.
  const std::string& table_problem() const { return table_problem_; }

  /// The entries of `rows` (rows that show, in any order, repeats allowed)
  /// of one container: the container's place in the order loaded, and the
  /// choice of exactly those entries, as ranges in ascending order.
  struct ContainerChoice {
    int32_t container = 0;
    EntryChoice choice;
  };
  /// The choices of exactly the entries in `rows`, one per container that
  /// holds any of them, in the order loaded. Throws Error (kUsage) when
  /// `rows` is empty, since a choice without ranges would take every entry.
  std::vector<ContainerChoice> ChoicesOf(
      const std::vector<int32_t>& rows) const;
  /// As ChoicesOf(), for a table of one container.
  EntryChoice ChoiceOf(const std::vector<int32_t>& rows) const;
  /// Every container that loaded, in the order loaded.
  const std::vector<Selection>& containers() const { return containers_; }

  /// The same containers read again (after a write-back changed their
  /// sizes), with this table's sort order and filter.
  EntriesModel Reloaded() const;

 private:
  struct Entry {
    size_t name_end;  // its name ends here in names_, the next one's starts
    int32_t header_size;
    int32_t body_size;
    int32_t problems;   // its text in problems_, or -1 for none
    int32_t container;  // its place in containers_
  };

  void Load(const Selection& selection);
  void Order();
  void NoteProblem(const std::string& problem);
  bool Less(int32_t a, int32_t b) const;
  bool Takes(int32_t index) const;
  void ApplyFilter();

  std::vector<Selection> containers_;
  // The number of each container's first entry.
  std::vector<int32_t> first_;
  bool many_ = false;
  // What a table of many was loaded from, for Reloaded().
  std::string directory_;
  std::vector<std::string> names_given_;
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
