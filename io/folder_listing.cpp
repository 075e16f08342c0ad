#include "io/folder_listing.h"

#include <algorithm>
#include <tuple>

namespace brimwald {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Bytes compare unsigned, as std::string compares them, so that names
// outside ASCII come after it rather than before.
bool LowerBefore(char x, char y) {
  return static_cast<unsigned char>(AsciiLower(x)) <
         static_cast<unsigned char>(AsciiLower(y));
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(),
                                           b.end(), LowerBefore);
  bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(),
                                              a.end(), LowerBefore);
  return less || (!greater && a < b);
}

}  // namespace

bool EndsWithIgnoringCase(std::string_view name, std::string_view extension) {
  if (name.size() < extension.size()) return false;
  std::string_view tail = name.substr(name.size() - extension.size());
  return std::equal(
      tail.begin(), tail.end(), extension.begin(),
      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

void SortIgnoringCase(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), LessIgnoringCase);
}

}  // namespace brimwald
