#include "names/name_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"

namespace brimwald {
namespace {

TEST(NamePatternTest, MatchesWholeNamesAsWindowsComparesThem) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  for (const Case& c : std::vector<Case>{
           {"sfx\\*", "sfx\\door", true},
           {"sfx/*", "sfx\\door", true},           // "/" stands for "\"
           {"SFX\\DOOR", "sfx\\door", true},       // ASCII case ignored
           {"sfx\\*", "music\\sfx\\door", false},  // whole name
           {"*sfx\\*", "music\\sfx\\door", true},
           {"*", "", true},
           {"*", "a\\b\\c", true},  // "*" crosses parts
           {"?", "", false},
           {"a?c", "abc", true},
           {"a?c", "a\\c", true},
           {"a?c", "ac", false},
           {"*_old*", "voice\\line_old2", true},
           {"*_old*", "voice\\line_new", false},
           {"[a-c]x", "Bx", true},
           {"[a-c]x", "dx", false},
           {"[!a-c]x", "dx", true},
           {"[^a-c]x", "ax", false},
           {"[]]", "]", true},
           {"[A-C]x", "bx", true},  // sets ignore ASCII case too
           {"[[[]x", "[x", true},
           {"[!]]", "a", true},
           {"*a*b*c", "xaxbxc", true},
           {"*a*b*c", "xaxbxcx", false},
           {"**", "anything", true},
           {"\xC3\xA9*", "\xC3\xA9t\xC3\xA9", true},   // bytes as they stand
           {"\xC3\x89*", "\xC3\xA9t\xC3\xA9", false},  // no case beyond ASCII
       }) {
    EXPECT_EQ(NamePattern(c.pattern).Matches(c.name), c.matches)
        << c.pattern << " ~ " << c.name;
  }
  // A set is read once, however long: 100,000 "[" cost nothing per name.
  NamePattern wide("[" + std::string(100000, '[') + "]*");
  EXPECT_TRUE(wide.Matches("[" + std::string(100000, 'x')));
  EXPECT_FALSE(wide.Matches(std::string(100000, 'x')));
}

TEST(NamePatternTest, AnUnclosedSetIsAUsageError) {
  for (const char* pattern : {"[", "a[bc", "[!", "[]"}) {
    try {
      NamePattern refused(pattern);
      ADD_FAILURE() << pattern;
    } catch (const Error& error) {
      EXPECT_EQ(error.kind(), ErrorKind::kUsage);
      EXPECT_NE(std::string(error.what()).find(pattern), std::string::npos);
    }
  }
}

// A long run of stars against a long name must not take exponential time.
TEST(NamePatternTest, ManyStarsStayFast) {
  std::string name(2000, 'a');
  std::string pattern;
  for (int i = 0; i < 50; ++i) pattern += "*a";
  pattern += "b";
  EXPECT_FALSE(NamePattern(pattern).Matches(name));
}

}  // namespace
}  // namespace brimwald
