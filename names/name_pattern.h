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

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
  // One step of the pattern, "/" made "\\" and letters in lower case.
  struct Token {
    enum Kind { kChar, kAny, kStar, kSet } kind;
    char c;      // kChar
    size_t set;  // kSet: its index in sets_
  };

  static std::bitset<256> CompileSet(std::string_view pattern, size_t open,
                                     size_t close);
  bool Takes(const Token& token, char c) const;

  std::string text_;  // as given, for messages
  std::vector<Token> tokens_;
  std::vector<std::bitset<256>> sets_;
};

}  // namespace brimwald

#endif  // BRIMWALD_NAMES_NAME_PATTERN_H_
