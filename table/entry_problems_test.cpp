#include "table/entry_problems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brimwald {
namespace {

TableEntry Entry(int32_t index, std::string name) {
  TableEntry entry;
  entry.Index = index;
  entry.Name = std::move(name);
  entry.Ranges = {.RecordFirst = 0,
                  .RecordLast = 71,
                  .HeaderFirst = 0,
                  .HeaderLast = -1,
                  .BodyFirst = 0,
                  .BodyLast = -1};
  return entry;
}

// Paths compare as Windows reads them, exactly, and a later entry names the
// entry that held its path just before it, not the first one.
TEST(EntryProblemsTest, NamesTheEntryThatHeldThePathLast) {
  struct Case {
    std::string name;
    int32_t replaces;  // -1: a path of its own
  };
  const std::vector<Case> cases = {
      {"sfx\\door", -1},
      {"SFX\\Door", 0},
      {"sfx. \\door", 1},
      {"\\sfx\\\\door", 2},
      {"sfx\\door.", -1},
      {"sfx\\doors", -1},
      {"music \\theme", -1},
      {"music\\theme", 6},
      {"sfx\\door", 3},
      {"sfx\\d\xC3\xB6or", -1},
      {"sfx\\D\xC3\xB6OR", 9},
      {"sfx\\d\xC3\x96or", -1},
      {"", -1},
      {"\\", 12},
      {"a\\", -1},
      {"A\\", 14},
  };
  EntryProblems problems(1000);
  for (size_t i = 0; i < cases.size(); ++i) {
    std::vector<std::string> found =
        problems.Check(Entry(static_cast<int32_t>(i), cases[i].name));
    if (cases[i].replaces < 0) {
      EXPECT_TRUE(found.empty()) << i << ": " << found[0];
    } else {
      ASSERT_EQ(found.size(), 1u) << i;
      EXPECT_EQ(found[0], "same path as entry " +
                              std::to_string(cases[i].replaces) +
                              ", which it replaces");
    }
  }
}

TEST(EntryProblemsTest, ReportsBrokenPiecesLongPartsAndLostNames) {
  EntryProblems problems(100);
  TableEntry outside = Entry(0, "a");
  outside.Ranges.BodyFirst = 90;
  outside.Ranges.BodyLast = 120;
  std::vector<std::string> found = problems.Check(outside);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].starts_with("body: the range 0x5A to 0x78")) << found[0];

  found = problems.Check(Entry(1, "x\\" + std::string(249, 'n')));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0],
            "a part of its path has 256 bytes; filesystems store "
            "at most 255");

  TableEntry lost = Entry(2, "");
  lost.NameLost = true;
  lost.Problem = "name: NameOffset 500 lies past the end of the file";
  found = problems.Check(lost);
  EXPECT_EQ(found, std::vector<std::string>{lost.Problem});
  // A lost name holds no path: a later empty name replaces nothing.
  EXPECT_TRUE(problems.Check(Entry(3, "")).empty());
}

}  // namespace
}  // namespace brimwald
