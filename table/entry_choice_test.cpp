#include "table/entry_choice.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"

namespace brimwald {
namespace {

TableEntry Entry(int32_t index, std::string name) {
  TableEntry entry;
  entry.Index = index;
  entry.Name = std::move(name);
  return entry;
}

const std::vector<std::string> kNames = {
    "sfx\\door", "sfx\\door_old", "music\\theme", "SFX\\Bell", "voice\\a"};

std::vector<int32_t> Chosen(const EntryChoice& choice) {
  std::vector<int32_t> chosen;
  for (size_t i = 0; i < kNames.size(); ++i) {
    if (choice.Chooses(Entry(static_cast<int32_t>(i), kNames[i]))) {
      chosen.push_back(static_cast<int32_t>(i));
    }
  }
  return chosen;
}

TEST(EntryChoiceTest, IncludesThenIndexesThenExcludes) {
  EntryChoice all;
  EXPECT_EQ(Chosen(all), (std::vector<int32_t>{0, 1, 2, 3, 4}));
  EntryChoice sfx;
  sfx.Include("sfx/*");
  sfx.Exclude("*_old*");
  EXPECT_EQ(Chosen(sfx), (std::vector<int32_t>{0, 3}));
  EntryChoice indexed;
  indexed.AddIndexes("0,2-3,4-");
  indexed.Include("*o*");
  indexed.Include("voice\\*");
  EXPECT_EQ(Chosen(indexed), (std::vector<int32_t>{0, 4}));
  EXPECT_TRUE(indexed.Unused().empty());
}

TEST(EntryChoiceTest, SaysWhatChoseNothing) {
  EntryChoice choice;
  choice.Include("sfx\\*");
  choice.Include("nothing\\*");
  choice.AddIndexes("10-");
  Chosen(choice);
  // An include whose every entry is excluded chooses nothing either.
  EntryChoice excluded;
  excluded.Include("sfx/*");
  excluded.Exclude("sfx/*");
  EXPECT_TRUE(Chosen(excluded).empty());
  EXPECT_EQ(excluded.Unused(),
            (std::vector<std::string>{"the pattern 'sfx/*' chooses no entry"}));
  EXPECT_EQ(choice.Unused(), (std::vector<std::string>{
                                 "the pattern 'sfx\\*' chooses no entry",
                                 "the pattern 'nothing\\*' chooses no entry",
                                 "the index list '10-' chooses no entry"}));
}

// Ranges in ascending order are looked up by halving, others one by one;
// both must choose exactly the indexes within some range.
TEST(EntryChoiceTest, ChoosesTheIndexesWithinItsRangesInAnyOrder) {
  using Ranges = std::vector<std::pair<int32_t, int32_t>>;
  for (const Ranges& ranges : std::vector<Ranges>{
           {{0, 0}},
           {{3, 3}, {5, 7}, {9, 9}, {12, 20}},
           {{1, 2}, {4, 4}, {6, 6}, {8, 8}, {10, 10}, {12, 12}},
           {{5, 7}, {3, 3}, {12, 20}},  // not ascending
           {{3, 8}, {5, 10}},           // overlapping
           {{2, 4}, {4, 6}},            // touching at 4
           {{9, 4}, {6, 6}},            // a range that holds nothing
           {{0, 2}, {30, 40}, {10, 12}, {50, 50}},
       }) {
    EntryChoice choice;
    std::set<int32_t> expected;
    for (const auto& [first, last] : ranges) {
      choice.AddIndexRange(first, last);
      for (int32_t i = first; i <= last; ++i) expected.insert(i);
    }
    for (int32_t index = -1; index <= 52; ++index) {
      EXPECT_EQ(choice.Chooses(Entry(index, "a")), expected.contains(index))
          << "index " << index << " of ranges from " << ranges.front().first;
    }
  }
}

TEST(EntryChoiceTest, RefusesIndexListsItCantRead) {
  for (const char* list :
       {"", "a", "1,,2", "3-1", "-4", "1-2-3", "+5", "99999999999"}) {
    EntryChoice choice;
    try {
      choice.AddIndexes(list);
      ADD_FAILURE() << list;
    } catch (const Error& error) {
      EXPECT_EQ(error.kind(), ErrorKind::kUsage) << list;
    }
  }
}

}  // namespace
}  // namespace brimwald
