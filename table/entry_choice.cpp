#include "table/entry_choice.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>

#include "base/error.h"

namespace brimwald {
namespace {

// A whole index of `text`, 0 or more.
std::optional<int32_t> IndexOf(std::string_view text) {
  int32_t value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

void EntryChoice::Include(std::string pattern) {
  includes_.push_back({NamePattern(std::move(pattern))});
}

void EntryChoice::Exclude(std::string pattern) {
  excludes_.emplace_back(std::move(pattern));
}

void EntryChoice::AddIndexes(std::string_view list) {
  const std::string given(list);
  auto refuse = [&given](std::string_view why) {
    return Error(ErrorKind::kUsage,
                 "the index list '" + given + "' " + std::string(why));
  };
  if (list.empty()) throw refuse("is empty");
  while (true) {
    size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    size_t dash = item.find('-');
    std::optional<int32_t> first = IndexOf(item.substr(0, dash));
    std::optional<int32_t> last = first;
    if (dash != std::string_view::npos) {
      std::string_view end = item.substr(dash + 1);
      last = end.empty() ? std::numeric_limits<int32_t>::max() : IndexOf(end);
    }
    if (!first || !last) {
      throw refuse("holds '" + std::string(item) +
                   "', which is neither an index nor a range such as 3-7");
    }
    if (*last < *first) {
      throw refuse("holds the range '" + std::string(item) +
                   "', which ends before it starts");
    }
    AddIndexRange(*first, *last);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  if (!index_text_.empty()) index_text_ += ',';
  index_text_ += given;
}

void EntryChoice::AddIndexRange(int32_t first, int32_t last) {
  ranges_ascend_ = ranges_ascend_ && first <= last &&
                   (ranges_.empty() || first > ranges_.back().second);
  ranges_.emplace_back(first, last);
}

bool EntryChoice::Within(int32_t index) const {
  if (ranges_ascend_) {
    auto after = std::upper_bound(
        ranges_.begin(), ranges_.end(), index,
        [](int32_t at, const auto& range) { return at < range.first; });
    return after != ranges_.begin() && index <= std::prev(after)->second;
  }
  return std::any_of(ranges_.begin(), ranges_.end(), [index](const auto& r) {
    return index >= r.first && index <= r.second;
  });
}

bool EntryChoice::Chooses(const TableEntry& entry) const {
  if (!ranges_.empty() && !Within(entry.Index)) return false;
  bool included = includes_.empty();
  for (const Included& include : includes_) {
    included = included || include.pattern.Matches(entry.Name);
  }
  if (!included) return false;
  for (const NamePattern& exclude : excludes_) {
    if (exclude.Matches(entry.Name)) return false;
  }
  // Only what the entry is finally chosen by counts as used.
  index_used_ = true;
  for (const Included& include : includes_) {
    if (!include.used && include.pattern.Matches(entry.Name)) {
      include.used = true;
    }
  }
  return true;
}

std::vector<std::string> EntryChoice::Unused() const {
  std::vector<std::string> unused;
  for (const Included& include : includes_) {
    if (!include.used) {
      unused.push_back("the pattern '" + include.pattern.text() +
                       "' chooses no entry");
    }
  }
  if (!ranges_.empty() && !index_used_ && !index_text_.empty()) {
    unused.push_back("the index list '" + index_text_ + "' chooses no entry");
  }
  return unused;
}

}  // namespace brimwald
