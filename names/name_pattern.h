// Wildcard patterns over entry names, as `list` prints them ("\" between
// the parts):
//
//   *      any run of characters, "\" included, or none
//   ?      any one character
//   [...]  one character of the set: single characters and ranges (a-z);
//          "[!...]" or "[^...]" for one character outside it; a "]" first
//          in the set stands for itself
//
// Everything else stands for itself, except that "/" stands for "\". ASCII
// letters match without regard to case, as Windows ignores it. A pattern
// matches the whole name.

#ifndef BRIMWALD_NAMES_NAME_PATTERN_H_
#define BRIMWALD_NAMES_NAME_PATTERN_H_

#include <string>
#include <string_view>

namespace brimwald {

class NamePattern {
 public:
  /// Takes `pattern` as written. Throws Error (kUsage) naming the pattern
  /// when a "[" has no "]".
  explicit NamePattern(std::string pattern);

  /// Whether `name` matches the whole pattern.
  bool Matches(std::string_view name) const;

  const std::string& text() const { return text_; }

 private:
  std::string text_;     // as given, for messages
  std::string pattern_;  // "/" made "\", letters in lower case
};

}  // namespace brimwald

#endif  // BRIMWALD_NAMES_NAME_PATTERN_H_
