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

}  // namespace

NamePattern::NamePattern(std::string pattern) : text_(std::move(pattern)) {
  std::string folded;
  folded.reserve(text_.size());
  for (char c : text_) folded += Folded(c);
  for (size_t at = 0; at < folded.size(); ++at) {
    char c = folded[at];
    if (c == '*') {
      tokens_.push_back({Token::kStar, 0, 0});
    } else if (c == '?') {
      tokens_.push_back({Token::kAny, 0, 0});
    } else if (c != '[') {
      tokens_.push_back({Token::kChar, c, 0});
    } else {
      size_t close = SetEnd(folded, at);
      if (close == std::string::npos) {
        throw Error(ErrorKind::kUsage,
                    "the pattern '" + text_ + "' has a \"[\" without a \"]\"");
      }
      tokens_.push_back({Token::kSet, 0, sets_.size()});
      sets_.push_back(CompileSet(folded, at, close));
      at = close;
    }
  }
}

// The folded bytes that the set between "[" at `open` and "]" at `close`
// holds, once, so that matching never reads the set's text again.
std::bitset<256> NamePattern::CompileSet(std::string_view pattern, size_t open,
                                         size_t close) {
  size_t at = open + 1;
  bool negated = pattern[at] == '!' || pattern[at] == '^';
  if (negated) ++at;
  std::bitset<256> set;
  for (bool first = true; at < close; ++at, first = false) {
    if (pattern[at] == ']' && !first) break;
    auto low = static_cast<unsigned char>(pattern[at]);
    auto high = low;
    if (at + 2 < close && pattern[at + 1] == '-') {
      high = static_cast<unsigned char>(pattern[at + 2]);
      at += 2;
    }
    for (unsigned byte = low; byte <= high; ++byte) set.set(byte);
  }
  return negated ? ~set : set;
}

bool NamePattern::Takes(const Token& token, char c) const {
  switch (token.kind) {
    case Token::kAny:
      return true;
    case Token::kChar:
      return token.c == c;
    case Token::kSet:
      return sets_[token.set][static_cast<unsigned char>(c)];
    case Token::kStar:
      break;
  }
  return false;
}

// The usual matching with one point to come back to: the last "*" and the
// name position it took up to. Each "*" only ever takes more, so this is
// linear in the name per "*".
bool NamePattern::Matches(std::string_view name) const {
  size_t ti = 0;
  size_t ni = 0;
  size_t star = std::string_view::npos;
  size_t star_name = 0;
  while (ni < name.size()) {
    char c = Folded(name[ni]);
    if (ti < tokens_.size() && tokens_[ti].kind == Token::kStar) {
      star = ti++;
      star_name = ni;
      continue;
    }
    if (ti < tokens_.size() && Takes(tokens_[ti], c)) {
      ++ti;
      ++ni;
      continue;
    }
    if (star == std::string_view::npos) return false;
    ti = star + 1;
    ni = ++star_name;
  }
  while (ti < tokens_.size() && tokens_[ti].kind == Token::kStar) ++ti;
  return ti == tokens_.size();
}

}  // namespace brimwald
