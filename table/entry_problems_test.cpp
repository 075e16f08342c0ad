#include "table/entry_problems.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "testing/error_from.h"

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

// Entries are checked a batch at a time: an earlier path must be found in
// the same batch, in the one before, and far back, and as Windows compares
// paths (letter case, trailing dots and spaces of a folder).
TEST(EntryProblemsTest, FindsEachEarlierPathAcrossBatches) {
  std::vector<std::string> names;
  std::map<int32_t, int32_t> earlier;  // entry -> the one it replaces
  for (int32_t i = 0; i < 300; ++i) {
    names.push_back("sfx\\n" + std::to_string(i));
  }
  auto same = [&](int32_t later, int32_t first, std::string name) {
    names[static_cast<size_t>(later)] = std::move(name);
    earlier[later] = first;
  };
  same(3, 1, "SFX\\N1");
  same(40, 39, "sfx. \\n39");
  same(250, 7, "Sfx\\n7");
  same(299, 0, "sfx\\\\n0");

  std::vector<int32_t> order;
  EntryProblems problems(
      1000, 300,
      [&](const TableEntry& entry, const std::vector<std::string>& found) {
        order.push_back(entry.Index);
        auto it = earlier.find(entry.Index);
        if (it == earlier.end()) {
          EXPECT_TRUE(found.empty()) << entry.Index << ": " << found[0];
        } else {
          ASSERT_EQ(found.size(), 1u) << entry.Index;
          EXPECT_EQ(found[0], "same path as entry " +
                                  std::to_string(it->second) +
                                  ", which it replaces");
        }
      });
  problems.Run([&] {
    for (int32_t i = 0; i < 300; ++i) {
      problems.Add(Entry(i, names[static_cast<size_t>(i)]));
    }
  });
  ASSERT_EQ(order.size(), 300u);
  for (int32_t i = 0; i < 300; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
}

// Entries taken before an error that ends the walk are still checked.
TEST(EntryProblemsTest, HandsOnHeldEntriesBeforeTheWalksError) {
  int checked = 0;
  EntryProblems problems(
      1000, 10,
      [&](const TableEntry&, const std::vector<std::string>&) { ++checked; });
  Error error = testing::ErrorFrom([&] {
    problems.Run([&] {
      for (int32_t i = 0; i < 5; ++i) problems.Add(Entry(i, "n"));
      throw ContainerError("x.str", "the walk ends here");
    });
  });
  EXPECT_TRUE(testing::Says(error, "the walk ends here"));
  EXPECT_EQ(checked, 5);
}

}  // namespace
}  // namespace brimwald
