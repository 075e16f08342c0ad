#include "app/session/entries_model.h"

#include <algorithm>
#include <numeric>

#include "base/error.h"
#include "container/inspection.h"
#include "table/entry_problems.h"
#include "table/table_walk.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

unsigned char Folded(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 32)
                                    : byte;
}

// Three-way, bytewise, ASCII letter case ignored.
int CompareFolded(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    unsigned char x = Folded(a[i]);
    unsigned char y = Folded(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

template <typename T>
int Compare(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) {
    if (!joined.empty()) joined += "; ";
    joined += text;
  }
  return joined;
}

// The pattern's bytes for the filter as the dialog shows it. No name holds
// a NUL, so a character that no name byte shows as matches nothing.
std::string PatternBytes(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t c : text) {
    bytes += c <= 0xFF ? static_cast<char>(c) : '\0';
  }
  return bytes;
}

// A filter with none of these finds the names that contain it.
bool IsPattern(std::string_view filter) {
  return filter.find_first_of("*?[") != std::string_view::npos;
}

}  // namespace

const char* HeadingOf(EntryColumn column) {
  switch (column) {
    case EntryColumn::kIndex:
      return "Index";
    case EntryColumn::kName:
      return "Name";
    case EntryColumn::kHeaderSize:
      return "Header size";
    case EntryColumn::kBodySize:
      return "Body size";
    case EntryColumn::kProblems:
      return "Problems";
    case EntryColumn::kContainer:
      return "Container";
  }
  return "";
}

EntriesModel::EntriesModel(const Selection& selection) {
  Load(selection);
  Order();
}

EntriesModel::EntriesModel(const std::string& directory,
                           const std::vector<std::string>& names)
    : many_(true),
      directory_(directory),
      names_given_(names),
      sort_column_(EntryColumn::kContainer) {
  for (const std::string& name : names) {
    try {
      Selection selection;
      Inspect(name, selection, directory);
      if (!selection.Passed) {
        throw FileError("cannot read", PathInDirectory(selection, name),
                        "not a stream container");
      }
      Load(selection);
    } catch (const Error& error) {
      NoteProblem(error.what());
    }
  }
  Order();
}

EntriesModel EntriesModel::Reloaded() const {
  EntriesModel fresh = many_ ? EntriesModel(directory_, names_given_)
                             : EntriesModel(containers_.front());
  fresh.Sort(sort_column_, descending_);
  fresh.SetFilter(filter_text_);
  return fresh;
}

void EntriesModel::Order() {
  order_.resize(entries_.size());
  std::iota(order_.begin(), order_.end(), 0);
  visible_ = order_;
}

void EntriesModel::NoteProblem(const std::string& problem) {
  if (!table_problem_.empty()) table_problem_ += '\n';
  table_problem_ += problem;
}

// Appends the entries of `selection`; a container that can't be read at all
// adds nothing.
void EntriesModel::Load(const Selection& selection) {
  TableWalk walk(selection);
  TableWalk lookup(selection);
  EntryProblems checks(walk, lookup);
  const auto container = static_cast<int32_t>(containers_.size());
  containers_.push_back(selection);
  first_.push_back(size());
  // A header may claim more entries than the file holds records.
  entries_.reserve(entries_.size() +
                   static_cast<size_t>(std::min<int64_t>(
                       walk.count(), walk.container().size() / 72 + 1)));
  try {
    while (walk.Next()) {
      const TableEntry& entry = walk.entry();
      std::vector<std::string> found = checks.Check(entry);
      names_ += entry.Name;
      Entry loaded{names_.size(), entry.Record.HeaderSize,
                   entry.Record.BodySize, -1, container};
      if (!found.empty()) {
        loaded.problems = static_cast<int32_t>(problems_.size());
        problems_.push_back(Joined(found));
      }
      entries_.push_back(loaded);
    }
  } catch (const Error& error) {
    if (error.kind() != ErrorKind::kContainer) throw;
    NoteProblem(error.what());
  }
}

EntryColumn EntriesModel::ColumnAt(int position) const {
  if (!many_) return static_cast<EntryColumn>(position);
  return position == 0 ? EntryColumn::kContainer
                       : static_cast<EntryColumn>(position - 1);
}

const Selection& EntriesModel::ContainerOf(int32_t number) const {
  return containers_[static_cast<size_t>(
      entries_[static_cast<size_t>(number)].container)];
}

int32_t EntriesModel::EntryIndexOf(int32_t number) const {
  return number - first_[static_cast<size_t>(
                      entries_[static_cast<size_t>(number)].container)];
}

std::string_view EntriesModel::NameOf(int32_t number) const {
  const auto at = static_cast<size_t>(number);
  const size_t begin = at == 0 ? 0 : entries_[at - 1].name_end;
  return std::string_view(names_).substr(begin, entries_[at].name_end - begin);
}

std::string_view EntriesModel::ProblemsOf(int32_t number) const {
  const int32_t problems = entries_[static_cast<size_t>(number)].problems;
  if (problems < 0) return {};
  return problems_[static_cast<size_t>(problems)];
}

std::string EntriesModel::Cell(int32_t row, EntryColumn column) const {
  const int32_t index = IndexAt(row);
  const Entry& entry = entries_[static_cast<size_t>(index)];
  switch (column) {
    case EntryColumn::kIndex:
      return DecimalText(EntryIndexOf(index));
    case EntryColumn::kName:
      return std::string(NameOf(index));
    case EntryColumn::kHeaderSize:
      return DecimalText(entry.header_size);
    case EntryColumn::kBodySize:
      return DecimalText(entry.body_size);
    case EntryColumn::kProblems:
      return std::string(ProblemsOf(index));
    case EntryColumn::kContainer:
      return ContainerOf(index).FileName;
  }
  return {};
}

bool EntriesModel::SetFilter(std::u16string_view text) {
  pattern_.reset();
  filter_error_.clear();
  filter_text_ = text;
  filter_ = PatternBytes(text);
  containing_ = !IsPattern(filter_);
  try {
    if (!filter_.empty()) {
      // Without wildcards the text stands for itself between two "*".
      pattern_.emplace(containing_ ? "*" + filter_ + "*" : filter_);
    }
  } catch (const Error& error) {
    filter_error_ = error.what();
  }
  ApplyFilter();
  return filter_error_.empty();
}

void EntriesModel::ApplyFilter() {
  visible_.clear();
  if (!filter_error_.empty()) return;
  if (!pattern_) {
    visible_ = order_;
    return;
  }
  for (int32_t index : order_) {
    if (pattern_->Matches(NameOf(index))) visible_.push_back(index);
  }
}

void EntriesModel::Sort(EntryColumn column, bool descending) {
  sort_column_ = column;
  descending_ = descending;
  std::sort(order_.begin(), order_.end(),
            [this](int32_t a, int32_t b) { return Less(a, b); });
  ApplyFilter();
}

// By the sort column's key, then by table order, in both directions.
bool EntriesModel::Less(int32_t a, int32_t b) const {
  const Entry& x = entries_[static_cast<size_t>(a)];
  const Entry& y = entries_[static_cast<size_t>(b)];
  int order = 0;
  switch (sort_column_) {
    case EntryColumn::kIndex:
      order = Compare(EntryIndexOf(a), EntryIndexOf(b));
      break;
    case EntryColumn::kContainer:
      order = Compare(x.container, y.container);
      break;
    case EntryColumn::kName:
      order = CompareFolded(NameOf(a), NameOf(b));
      break;
    case EntryColumn::kHeaderSize:
      order = Compare(x.header_size, y.header_size);
      break;
    case EntryColumn::kBodySize:
      order = Compare(x.body_size, y.body_size);
      break;
    case EntryColumn::kProblems:
      order = Compare(ProblemsOf(a), ProblemsOf(b));
      break;
  }
  if (descending_) order = -order;
  return order != 0 ? order < 0 : a < b;
}

std::string EntriesModel::FilterText() const {
  if (filter_.empty()) return {};
  std::string quoted = filter_;
  // A character that no name byte shows as is quoted as "?".
  std::replace(quoted.begin(), quoted.end(), '\0', '?');
  return (containing_ ? "names containing '" : "names matching '") + quoted +
         "'";
}

std::string EntriesModel::StatusText() const {
  if (!filter_error_.empty()) return filter_error_;
  std::string all = CountText(size(), "entry", "entries");
  if (many_) {
    all += " in " + CountText(static_cast<int64_t>(containers_.size()),
                              "container", "containers");
  }
  if (!pattern_) return all;
  if (rows() == 0) return "No entry shows: " + FilterText();
  return DecimalText(rows()) + " of " + all + " show: " + FilterText();
}

std::vector<EntriesModel::ContainerChoice> EntriesModel::ChoicesOf(
    const std::vector<int32_t>& rows) const {
  if (rows.empty()) {
    throw Error(ErrorKind::kUsage, "no entry is selected");
  }
  std::vector<int32_t> numbers;
  numbers.reserve(rows.size());
  for (int32_t row : rows) {
    if (row < 0 || row >= this->rows()) {
      throw Error(ErrorKind::kUsage, "no row " + DecimalText(row) + " shows");
    }
    numbers.push_back(IndexAt(row));
  }
  // Entries are numbered container after container, so the numbers in
  // order are each container's run of ascending indexes in turn.
  std::sort(numbers.begin(), numbers.end());
  std::vector<ContainerChoice> choices;
  for (size_t first = 0; first < numbers.size();) {
    const int32_t container =
        entries_[static_cast<size_t>(numbers[first])].container;
    if (choices.empty() || choices.back().container != container) {
      choices.push_back({container, EntryChoice()});
    }
    size_t last = first;
    while (last + 1 < numbers.size() &&
           numbers[last + 1] <= numbers[last] + 1 &&
           entries_[static_cast<size_t>(numbers[last + 1])].container ==
               container) {
      ++last;
    }
    choices.back().choice.AddIndexRange(EntryIndexOf(numbers[first]),
                                        EntryIndexOf(numbers[last]));
    first = last + 1;
  }
  return choices;
}

EntryChoice EntriesModel::ChoiceOf(const std::vector<int32_t>& rows) const {
  return ChoicesOf(rows).front().choice;
}

}  // namespace brimwald
