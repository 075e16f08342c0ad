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

// However narrow the terminal, the text stays off its last column and keeps
// the name, shortened from its start to "…" (never by half a character);
// the rate, the bytes and the word go before a number would be cut.
TEST(ProgressLineTest, TextFitsBeforeTheLastColumn) {
  const std::string counts = ": 3/6 entries, 1.5/3.0 MB";
  const std::string name = "folder/" + std::string(40, 'n') + "\xC3\xA9.str";
  const std::string end = "\xC3\xA9.str";
  const std::string cut = "\u2026";
  struct Case {
    std::string name;
    double seconds;
    int columns;
    std::string text;
  };
  const int full = static_cast<int>(name.size() + counts.size());
  for (const Case& c : std::vector<Case>{
           {name, 0, 80, name + counts},
           {name, 0, full + 1, name + counts},
           // One column less: the name's first two bytes give way to "…".
           {name, 0, full, cut + name.substr(2) + counts},
           {name, 0, 35, cut + std::string(14, 'n') + end + ": 3/6 entries"},
           {name, 0, 20, cut + std::string(7, 'n') + end + ": 3/6"},
           {name, 0, 10, cut + "nn" + end},
           // Five bytes would start inside the two-byte "é": the cut skips it.
           {name, 0, 7, cut + ".str"},
           {name, 0, 1, ""},
           {name, 0, 0, ""},
           {"music.str", 2.0, 30, "music.str: 3/6 entries"},
           {"music.str", 2.0, 44, "music.str: 3/6 entries, 1.5/3.0 MB"},
       }) {
    std::string text =
        ProgressLine::Text(c.name, kHalfway, c.seconds, c.columns);
    EXPECT_EQ(text, c.text) << c.columns;
    EXPECT_LT(ProgressLine::Columns(text),
              static_cast<size_t>(std::max(c.columns, 1)));
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
