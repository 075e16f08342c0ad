#include "app/session/extract_report.h"

#include <gtest/gtest.h>

namespace brimwald {
namespace {

TableEntry EntryAt(int32_t index, std::string name) {
  TableEntry entry;
  entry.Index = index;
  entry.Name = std::move(name);
  return entry;
}

TEST(CountedTest, TheNounAgreesWithTheCount) {
  struct Case {
    int64_t count;
    const char* text;
  };
  for (const Case& c :
       {Case{0, "0 entries"}, Case{1, "1 entry"}, Case{2, "2 entries"},
        Case{-1, "-1 entries"}, Case{3000000000, "3000000000 entries"}}) {
    EXPECT_EQ(Counted(c.count, "entry", "entries"), c.text) << c.count;
  }
}

TEST(FailureOfTest, NamesTheEntryOnceThenWhy) {
  struct Case {
    const char* message;
    const char* line;
  };
  for (const Case& c : std::vector<Case>{
           // The core's message for a broken entry: container and entry go.
           {"cannot read '/music/a.str': entry 7: body: the range lies "
            "outside the container",
            "entry 7 'sfx\\door': body: the range lies outside the container"},
           // Another entry's number is not this entry's: nothing goes.
           {"cannot read '/music/a.str': entry 8: body: x",
            "entry 7 'sfx\\door': cannot read '/music/a.str': entry 8: body: "
            "x"},
           // A file that can't be written names its own path.
           {"cannot create 'EXT_a/sfx/door.qvstr': File name too long",
            "entry 7 'sfx\\door': cannot create 'EXT_a/sfx/door.qvstr': File "
            "name too long"},
       }) {
    ExtractFailure failure =
        FailureOf(EntryAt(7, "sfx\\door"), Error(ErrorKind::kEntry, c.message));
    EXPECT_EQ(failure.index, 7);
    EXPECT_EQ(failure.line, c.line);
  }
}

TEST(ReportOfTest, SummaryIsOneLineWithCountsThatAgree) {
  struct Case {
    int32_t written;
    int32_t failed;
    bool stopped;
    const char* summary;
  };
  for (const Case& c : std::vector<Case>{
           {0, 0, false, "0 files written to EXT_a."},
           {1, 0, false, "1 file written to EXT_a."},
           {12, 0, false, "12 files written to EXT_a."},
           {2, 1, false, "2 files written to EXT_a; 1 entry failed."},
           {1, 2, false, "1 file written to EXT_a; 2 entries failed."},
           {1, 0, true, "Stopped. 1 file written to EXT_a."},
           {0, 3, true, "Stopped. 0 files written to EXT_a; 3 entries failed."},
       }) {
    ExtractResult result{c.written, c.failed, c.stopped, "EXT_a"};
    std::vector<ExtractFailure> failures;
    for (int32_t i = 0; i < c.failed; ++i) failures.push_back({i, "x"});
    ExtractReport report = ReportOf(result, failures);
    EXPECT_EQ(report.summary, c.summary);
    EXPECT_EQ(report.summary.find('\n'), std::string::npos);
    EXPECT_EQ(report.warning, c.failed > 0) << c.summary;
  }
}

TEST(ReportOfTest, DetailsHoldEveryFailureInEntryOrder) {
  std::vector<ExtractFailure> failures;
  // As an extraction that writes folder by folder may report them.
  for (int32_t index : {5, 1, 900, 3, 2}) {
    failures.push_back({index, "entry " + std::to_string(index) + " 'x': y"});
  }
  ExtractReport report = ReportOf({10, 5, false, "EXT_a"}, failures);
  EXPECT_EQ(report.details,
            "entry 1 'x': y\nentry 2 'x': y\nentry 3 'x': y\nentry 5 'x': "
            "y\nentry 900 'x': y");
}

TEST(ReportOfTest, HundredsOfFailuresAreAllInTheDetails) {
  std::vector<ExtractFailure> failures;
  for (int32_t index = 0; index < 500; ++index) {
    failures.push_back({index, "entry " + std::to_string(index)});
  }
  ExtractReport report = ReportOf({0, 500, false, "EXT_a"}, failures);
  EXPECT_EQ(report.summary, "0 files written to EXT_a; 500 entries failed.");
  EXPECT_EQ(std::count(report.details.begin(), report.details.end(), '\n'),
            499);
  EXPECT_TRUE(report.details.ends_with("\nentry 499"));
}

TEST(ReportOfTest, NoFailureGivesNoDetails) {
  ExtractReport report = ReportOf({3, 0, false, "EXT_a"}, {});
  EXPECT_FALSE(report.warning);
  EXPECT_EQ(report.details, "");
}

}  // namespace
}  // namespace brimwald
