#include "names/name_pattern.h"

#include "base/error.h"

namespace brimwald {
namespace {

char Folded(char c) {
  if (c == '/') return '\\';
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where the set that opens at `open` ("[") ends: the index of its "]".
size_t SetEnd(std::string_view pattern, size_t open) {
  size_t at = open + 1;
  if (at < pattern.size() && (pattern[at] == '!' || pattern[at] == '^')) ++at;
  if (at < pattern.size() && pattern[at] == ']') ++at;  // a "]" of the set
  return pattern.find(']', at);
}

// Whether the set between "[" at `open` and "]" at `close` holds `c`.
bool InSet(std::string_view pattern, size_t open, size_t close, char c) {
  size_t at = open + 1;
  bool negated = pattern[at] == '!' || pattern[at] == '^';
  if (negated) ++at;
  bool found = false;
  for (bool first = true; at < close; ++at, first = false) {
    if (pattern[at] == ']' && !first) break;
    auto low = static_cast<unsigned char>(pattern[at]);
    auto high = low;
    if (at + 2 < close && pattern[at + 1] == '-') {
      high = static_cast<unsigned char>(pattern[at + 2]);
      at += 2;
    }
    auto byte = static_cast<unsigned char>(c);
    if (byte >= low && byte <= high) found = true;
  }
  return found != negated;
}

}  // namespace

NamePattern::NamePattern(std::string pattern) : text_(std::move(pattern)) {
  pattern_.reserve(text_.size());
  for (char c : text_) pattern_ += Folded(c);
  for (size_t at = pattern_.find('['); at != std::string::npos;
       at = pattern_.find('[', at + 1)) {
    size_t close = SetEnd(pattern_, at);
    if (close == std::string::npos) {
      throw Error(ErrorKind::kUsage,
                  "the pattern '" + text_ + "' has a \"[\" without a \"]\"");
    }
    at = close;
  }
}

// The usual matching with one point to come back to: the last "*" and the
// name position it took up to. Each "*" only ever takes more, so this is
// linear in the name per "*".
bool NamePattern::Matches(std::string_view name) const {
  std::string_view p = pattern_;
  size_t pi = 0;
  size_t ni = 0;
  size_t star = std::string_view::npos;
  size_t star_name = 0;
  while (ni < name.size()) {
    char c = Folded(name[ni]);
    if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      star_name = ni;
      continue;
    }
    if (pi < p.size()) {
      if (p[pi] == '[') {
        size_t close = SetEnd(p, pi);
        if (InSet(p, pi, close, c)) {
          pi = close + 1;
          ++ni;
          continue;
        }
      } else if (p[pi] == '?' || p[pi] == c) {
        ++pi;
        ++ni;
        continue;
      }
    }
    if (star == std::string_view::npos) return false;
    pi = star + 1;
    ni = ++star_name;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace brimwald
