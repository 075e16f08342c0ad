#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace brimwald {
namespace {

constexpr ExtractProgress kHalfway = {.entries_done = 3,
                                      .entries_total = 6,
                                      .bytes_done = 1500000,
                                      .bytes_total = 3000000};

TEST(ProgressLineTest, TextShowsCountsBytesAndRate) {
  EXPECT_EQ(ProgressLine::Text("music.str", kHalfway, 2.0, 80),
            "music.str: 3/6 entries, 1.5/3.0 MB, 0.8 MB/s");
  EXPECT_EQ(ProgressLine::Text("music.str", kHalfway, 0.0, 80),
            "music.str: 3/6 entries, 1.5/3.0 MB");
  ExtractProgress one = {.entries_done = 1, .entries_total = 1};
  EXPECT_EQ(ProgressLine::Text("a.str", one, 0.0, 80),
            "a.str: 1/1 entry, 0.0/0.0 MB");
}

// However narrow the terminal, the text stays off its last column; a long
// name gives way first, keeping its end and never half a character.
TEST(ProgressLineTest, TextFitsBeforeTheLastColumn) {
  const std::string counts = ": 3/6 entries, 1.5/3.0 MB";
  const std::string name = "folder/" + std::string(40, 'n') + "\xC3\xA9.str";
  struct Case {
    int columns;
    std::string text;
  };
  const int full = static_cast<int>(name.size() + counts.size());
  for (const Case& c : std::vector<Case>{
           {80, name + counts},
           {full + 1, name + counts},
           // One column less: the name's first bytes and one more give way
           // to "...".
           {full, "..." + name.substr(4) + counts},
           {35, "...\xC3\xA9.str" + counts},
           // Five bytes would start inside the two-byte "é": the cut skips it.
           {34, "....str" + counts},
           {29, counts},
           {10, ": 3/6 ent"},
           {1, ""},
           {0, ""},
       }) {
    std::string text = ProgressLine::Text(name, kHalfway, 0.0, c.columns);
    EXPECT_EQ(text, c.text) << c.columns;
    EXPECT_LT(text.size(), static_cast<size_t>(std::max(c.columns, 1)));
  }
}

TEST(ProgressLineTest, DrawsOverItselfAndClearsWhatItDrew) {
  std::ostringstream out;
  {
    ProgressLine line(out, "music.str", 80);
    auto start = ProgressLine::Clock::now() + std::chrono::seconds(1);
    line.Update(kHalfway, start);
    const std::string first = out.str();
    ASSERT_TRUE(first.starts_with("\rmusic.str: 3/6 entries")) << first;
    // Within the tenth of a second: not drawn again.
    line.Update(kHalfway, start + std::chrono::milliseconds(50));
    EXPECT_EQ(out.str(), first);
    out.str("");
    line.Clear();
    EXPECT_EQ(out.str(), "\r" + std::string(first.size() - 1, ' ') + "\r");
    out.str("");
    line.Clear();  // nothing drawn since
    EXPECT_EQ(out.str(), "");
    ExtractProgress done = kHalfway;
    done.entries_done = 6;
    line.Update(done, start + std::chrono::milliseconds(60));  // the end
    EXPECT_TRUE(out.str().starts_with("\rmusic.str: 6/6 entries")) << out.str();
    out.str("");
  }
  // Going away clears it.
  EXPECT_TRUE(out.str().starts_with("\r   ")) << out.str();
  EXPECT_TRUE(out.str().ends_with("   \r")) << out.str();
}

}  // namespace
}  // namespace brimwald
