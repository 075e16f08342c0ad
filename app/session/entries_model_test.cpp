#include "app/session/entries_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "container/inspection.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;

constexpr size_t kTable = 32;     // where WithEntries puts the table
constexpr size_t kBodySize = 16;  // a record's BodySize field
constexpr size_t kRecordSize = 72;

class EntriesModelTest : public ::testing::Test {
 protected:
  // `builder`'s container as "music.str", inspected.
  Selection Chosen(const ContainerBuilder& builder) {
    return testing::WriteChosen(builder, dir_.path(), "music.str");
  }
  EntriesModel Loaded(const ContainerBuilder& builder) {
    return EntriesModel(Chosen(builder));
  }

  testing::TempDir dir_;
};

// The entry indexes of the rows that show, in order.
std::vector<int32_t> Shown(const EntriesModel& model) {
  std::vector<int32_t> indexes;
  for (int32_t row = 0; row < model.rows(); ++row) {
    indexes.push_back(model.IndexAt(row));
  }
  return indexes;
}

// Six entries whose keys tie in every column but the index and the name.
ContainerBuilder Sortable() {
  return ContainerBuilder::WithEntries({{"sfx/b", "hh", "bbb"},
                                        {"A", "h", "bbbb"},
                                        {"sfx/a", "hh", "b"},
                                        {"a", "hhh", "bbb"},
                                        {"music/x", "h", "bbbb"},
                                        {"B", "hh", "b"}});
}

TEST_F(EntriesModelTest, LoadsEveryEntryWithItsSizesAndProblems) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"sfx/door.wav", "hh", "body"},
                                     {"far", "h", "b"},
                                     {"SFX/Door", "", "x"},
                                     {"caf\xE9", "h", "bb"}});
  builder.Int32(kTable + kRecordSize + kBodySize, 1 << 20);
  EntriesModel model = Loaded(builder);

  ASSERT_EQ(model.size(), 4);
  ASSERT_EQ(model.rows(), 4);
  EXPECT_TRUE(model.table_problem().empty());
  EXPECT_EQ(model.selection().FileName, "music.str");
  struct Row {
    std::string index, name, header, body, problems;
  };
  const std::vector<Row> expected = {
      {"0", "sfx\\door", "2", "4", ""},
      {"1", "far", "1", "1048576", "body: "},
      {"2", "SFX\\Door", "0", "1", "same path as entry 0, which it replaces"},
      {"3", "caf\xE9", "1", "2", ""},
  };
  for (int32_t row = 0; row < 4; ++row) {
    const Row& want = expected[static_cast<size_t>(row)];
    EXPECT_EQ(model.Cell(row, EntryColumn::kIndex), want.index);
    EXPECT_EQ(model.Cell(row, EntryColumn::kName), want.name);
    EXPECT_EQ(model.Cell(row, EntryColumn::kHeaderSize), want.header);
    EXPECT_EQ(model.Cell(row, EntryColumn::kBodySize), want.body);
    EXPECT_TRUE(
        model.Cell(row, EntryColumn::kProblems).starts_with(want.problems))
        << row << ": " << model.Cell(row, EntryColumn::kProblems);
    EXPECT_EQ(model.Cell(row, EntryColumn::kProblems).empty(),
              want.problems.empty())
        << row;
  }
  EXPECT_EQ(model.StatusText(), "4 entries");
}

TEST_F(EntriesModelTest, ATableCutShortKeepsTheEntriesBeforeIt) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries(samples::SampleEntries(3));
  builder.Truncate(kTable + 2 * kRecordSize + 10);  // inside record 2
  EntriesModel model = Loaded(builder);
  EXPECT_EQ(model.size(), 2);
  EXPECT_NE(model.table_problem().find("music.str"), std::string::npos)
      << model.table_problem();
  // Their names lay beyond the cut.
  EXPECT_EQ(model.NameOf(0), "");
  EXPECT_NE(model.ProblemsOf(0), "");
}

TEST_F(EntriesModelTest, AContainerThatFailedInspectionLoadsNothing) {
  Selection selection = Chosen(
      ContainerBuilder::WithEntries({{"a", "h", "b"}}).Magic("ZEQSNDSTREAX"));
  EXPECT_THROW(EntriesModel{selection}, Error);
  EXPECT_THROW(EntriesModel{Selection()}, Error);
}

TEST_F(EntriesModelTest, FindsNamesContainingTheFilterOrMatchingItsPattern) {
  EntriesModel model =
      Loaded(ContainerBuilder::WithEntries({{"sfx/door", "h", "b"},
                                            {"sfx/bell7", "h", "b"},
                                            {"music/theme", "h", "b"},
                                            {"caf\xE9", "h", "b"},
                                            {"voice/[x]", "h", "b"}}));
  struct Case {
    std::u16string filter;
    std::vector<int32_t> shown;
  };
  for (const Case& c : std::vector<Case>{
           {u"door", {0}},  // no "*", "?" or "[": the names containing it
           {u"SFX/b", {1}},
           {u"sfx\\*", {0, 1}},
           {u"*[0-9]", {1}},
           {u"caf[!\u20AC]", {3}},
           {u"voice\\[[]x]", {4}},
       }) {
    EXPECT_TRUE(model.SetFilter(c.filter)) << model.FilterText();
    EXPECT_EQ(Shown(model), c.shown) << model.FilterText();
    EXPECT_EQ(model.filter_error(), "");
  }
  // The line under the table counts them and says how the filter reads.
  for (const auto& [filter, status] :
       std::vector<std::pair<std::u16string, std::string>>{
           {u"door", "1 of 5 entries show: names containing 'door'"},
           {u"caf\u20AC", "No entry shows: names containing 'caf?'"},
           {u"sfx\\*", "2 of 5 entries show: names matching 'sfx\\*'"},
           {u"doo?", "No entry shows: names matching 'doo?'"}}) {
    model.SetFilter(filter);
    EXPECT_EQ(model.StatusText(), status);
  }
}

TEST_F(EntriesModelTest, AFilterThatCantBeReadShowsNoRowAndSaysWhy) {
  EntriesModel model =
      Loaded(ContainerBuilder::WithEntries(samples::SampleEntries(4)));
  for (const std::u16string& filter :
       std::vector<std::u16string>{u"[", u"sfx\\[ab", u"*[!", u"[]"}) {
    EXPECT_FALSE(model.SetFilter(filter));
    EXPECT_EQ(model.rows(), 0);
    EXPECT_NE(model.filter_error().find("has a \"[\" without a \"]\""),
              std::string::npos)
        << model.filter_error();
    EXPECT_EQ(model.StatusText(), model.filter_error());
    // Sorting with a broken filter shows nothing either.
    model.Sort(EntryColumn::kName, true);
    EXPECT_EQ(model.rows(), 0);
  }
  EXPECT_TRUE(model.SetFilter(u"sfx\\[t]*"));
  EXPECT_EQ(model.filter_error(), "");
  EXPECT_EQ(Shown(model), (std::vector<int32_t>{0}));
}

TEST_F(EntriesModelTest, SortsEveryColumnBothWaysKeepingTableOrderForTies) {
  EntriesModel model = Loaded(Sortable());
  struct Case {
    EntryColumn column;
    bool descending;
    std::vector<int32_t> shown;
  };
  for (const Case& c : std::vector<Case>{
           {EntryColumn::kIndex, false, {0, 1, 2, 3, 4, 5}},
           {EntryColumn::kIndex, true, {5, 4, 3, 2, 1, 0}},
           // A, a, B: case ignored, ties in table order.
           {EntryColumn::kName, false, {1, 3, 5, 4, 2, 0}},
           {EntryColumn::kName, true, {0, 2, 4, 5, 1, 3}},
           {EntryColumn::kHeaderSize, false, {1, 4, 0, 2, 5, 3}},
           {EntryColumn::kHeaderSize, true, {3, 0, 2, 5, 1, 4}},
           {EntryColumn::kBodySize, false, {2, 5, 0, 3, 1, 4}},
           {EntryColumn::kBodySize, true, {1, 4, 0, 3, 2, 5}},
       }) {
    model.Sort(c.column, c.descending);
    EXPECT_EQ(model.sort_column(), c.column);
    EXPECT_EQ(model.descending(), c.descending);
    EXPECT_EQ(Shown(model), c.shown)
        << HeadingOf(c.column) << (c.descending ? " descending" : "");
  }
}

TEST_F(EntriesModelTest, SortsByProblemsWithTheSoundEntriesTogether) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"a", "h", "b"}, {"b", "h", "b"}, {"A", "h", "b"}, {"c", "h", "b"}});
  builder.Int32(kTable + kRecordSize + kBodySize, -2);
  EntriesModel model = Loaded(builder);
  // "body: ..." sorts before "same path ...".
  model.Sort(EntryColumn::kProblems, false);
  EXPECT_EQ(Shown(model), (std::vector<int32_t>{0, 3, 1, 2}));
  model.Sort(EntryColumn::kProblems, true);
  EXPECT_EQ(Shown(model), (std::vector<int32_t>{2, 1, 0, 3}));
}

TEST_F(EntriesModelTest, TheFilterAndTheSortOrderKeepEachOther) {
  EntriesModel model = Loaded(Sortable());
  model.Sort(EntryColumn::kName, true);
  model.SetFilter(u"sfx\\*");
  EXPECT_EQ(Shown(model), (std::vector<int32_t>{0, 2}));
  model.Sort(EntryColumn::kBodySize, false);
  EXPECT_EQ(Shown(model), (std::vector<int32_t>{2, 0}));
  model.SetFilter(u"");
  EXPECT_EQ(Shown(model), (std::vector<int32_t>{2, 5, 0, 3, 1, 4}));
}

// Every entry index that `choice` takes, of `count`.
std::vector<int32_t> Taken(const EntryChoice& choice, int32_t count) {
  std::vector<int32_t> taken;
  for (int32_t index = 0; index < count; ++index) {
    TableEntry entry;
    entry.Index = index;
    if (choice.Chooses(entry)) taken.push_back(index);
  }
  return taken;
}

TEST_F(EntriesModelTest, TheSelectedRowsBecomeAChoiceOfExactlyTheirEntries) {
  EntriesModel model =
      Loaded(ContainerBuilder::WithEntries(samples::SampleEntries(40)));
  model.Sort(EntryColumn::kIndex, true);  // row r shows entry 39 - r
  struct Case {
    std::vector<int32_t> rows;
    std::vector<int32_t> taken;
  };
  for (const Case& c : std::vector<Case>{
           {{0}, {39}},
           {{39, 0}, {0, 39}},
           {{5, 3, 4, 4, 10}, {29, 34, 35, 36}},
           {{1, 3, 5, 7}, {32, 34, 36, 38}},
       }) {
    EXPECT_EQ(Taken(model.ChoiceOf(c.rows), 40), c.taken);
  }
  // Through a filter: the rows are those that show.
  model.SetFilter(u"voice\\en\\*");  // entries 2, 6, ..., 38
  EXPECT_EQ(Taken(model.ChoiceOf({0, 9}), 40), (std::vector<int32_t>{2, 38}));
}

TEST_F(EntriesModelTest, NoRowOrARowThatDoesntShowIsNoChoice) {
  EntriesModel model =
      Loaded(ContainerBuilder::WithEntries(samples::SampleEntries(4)));
  model.SetFilter(u"sfx\\*");
  for (const std::vector<int32_t>& rows :
       std::vector<std::vector<int32_t>>{{}, {1}, {-1}, {0, 4}}) {
    try {
      model.ChoiceOf(rows);
      ADD_FAILURE() << rows.size();
    } catch (const Error& error) {
      EXPECT_EQ(error.kind(), ErrorKind::kUsage);
    }
  }
}

TEST_F(EntriesModelTest, AFolderShowsEveryContainersEntriesBesideItsName) {
  ContainerBuilder::WithEntries({{"sfx/b", "h", "b"}, {"A", "hh", "b"}})
      .WriteTo(dir_.File("one.str"));
  testing::WriteFile(dir_.File("bad.str"), "not a container");
  ContainerBuilder::WithEntries(
      {{"a", "h", "b"}, {"sfx/a", "h", "bb"}, {"B", "h", "b"}})
      .WriteTo(dir_.File("Two.str"));
  EntriesModel model(dir_.path(), {"bad.str", "one.str", "Two.str", "gone"});

  ASSERT_EQ(model.size(), 5);
  EXPECT_EQ(model.StatusText(), "5 entries in 2 containers");
  // Each file that loaded nothing says why, on a line of its own.
  const std::string& problems = model.table_problem();
  EXPECT_NE(problems.find("bad.str': not a stream container\n"),
            std::string::npos)
      << problems;
  EXPECT_NE(problems.find("gone"), std::string::npos) << problems;
  std::vector<std::string> row3;
  for (int column = 0; column < model.columns(); ++column) {
    row3.push_back(HeadingOf(model.ColumnAt(column)) + std::string("=") +
                   model.Cell(3, model.ColumnAt(column)));
  }
  EXPECT_EQ(row3, (std::vector<std::string>{"Container=Two.str", "Index=1",
                                            "Name=sfx\\a", "Header size=1",
                                            "Body size=2", "Problems="}));
  struct Case {
    EntryColumn column;
    bool descending;
    std::vector<int32_t> shown;
  };
  EXPECT_EQ(model.sort_column(), EntryColumn::kContainer);
  for (const Case& c : std::vector<Case>{
           {EntryColumn::kContainer, false, {0, 1, 2, 3, 4}},
           {EntryColumn::kContainer, true, {2, 3, 4, 0, 1}},
           // Ties in the order loaded, container after container.
           {EntryColumn::kIndex, false, {0, 2, 1, 3, 4}},
           {EntryColumn::kIndex, true, {4, 1, 3, 0, 2}},
           {EntryColumn::kName, false, {1, 2, 4, 3, 0}},
           {EntryColumn::kHeaderSize, true, {1, 0, 2, 3, 4}},
       }) {
    model.Sort(c.column, c.descending);
    EXPECT_EQ(Shown(model), c.shown)
        << HeadingOf(c.column) << (c.descending ? " descending" : "");
  }
  // The rows of one filter become one choice per container, in its own
  // indexes.
  model.SetFilter(u"sfx\\*");
  ASSERT_EQ(Shown(model), (std::vector<int32_t>{0, 3}));
  std::vector<EntriesModel::ContainerChoice> choices = model.ChoicesOf({1, 0});
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(model.containers()[0].FileName, "one.str");
  EXPECT_EQ(choices[0].container, 0);
  EXPECT_EQ(Taken(choices[0].choice, 3), (std::vector<int32_t>{0}));
  EXPECT_EQ(choices[1].container, 1);
  EXPECT_EQ(Taken(choices[1].choice, 3), (std::vector<int32_t>{1}));
}

TEST(EntryColumnTest, HeadingsNameTheColumns) {
  std::vector<std::string> headings;
  for (int column = 0; column < kEntryColumns; ++column) {
    headings.push_back(HeadingOf(static_cast<EntryColumn>(column)));
  }
  EXPECT_EQ(headings, (std::vector<std::string>{"Index", "Name", "Header size",
                                                "Body size", "Problems"}));
}

}  // namespace
}  // namespace brimwald
