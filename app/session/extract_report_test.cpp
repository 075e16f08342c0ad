#include "app/session/extract_report.h"

#include <gtest/gtest.h>

namespace brimwald {
namespace {

TEST(ReportOfTest, SummaryIsOneLineWithCountsThatAgree) {
  struct Case {
    int32_t written;
    int32_t failed;
    bool stopped;
    const char* summary;
  };
  for (const Case& c : std::vector<Case>{
           {0, 0, false, "0 files written."},
           {1, 0, false, "1 file written."},
           {2, 1, false, "2 files written; 1 entry failed."},
           {1, 0, true, "Stopped. 1 file written."},
           {0, 3, true, "Stopped. 0 files written; 3 entries failed."},
       }) {
    ExtractResult result{c.written, c.failed, c.stopped, "EXT_a", std::nullopt};
    std::vector<ExtractFailure> failures;
    for (int32_t i = 0; i < c.failed; ++i) failures.push_back({i, "x"});
    ExtractReport report = ReportOf(result, failures);
    EXPECT_EQ(report.summary, c.summary);
    EXPECT_EQ(report.summary.find('\n'), std::string::npos);
    EXPECT_EQ(report.folder, "EXT_a");
    EXPECT_EQ(report.warning, c.failed > 0) << c.summary;
  }
}

TEST(ReportOfTest, DetailsHoldEveryFailureInEntryOrder) {
  std::vector<ExtractFailure> failures;
  // As an extraction that writes folder by folder may report them.
  for (int32_t index : {5, 1, 900, 3, 2}) {
    failures.push_back({index, "entry " + std::to_string(index) + " 'x': y"});
  }
  ExtractReport report =
      ReportOf({10, 5, false, "EXT_a", std::nullopt}, failures);
  EXPECT_EQ(report.details,
            "entry 1 'x': y\nentry 2 'x': y\nentry 3 'x': y\nentry 5 'x': "
            "y\nentry 900 'x': y");
}

TEST(ReportOfTest, HundredsOfFailuresAreAllInTheDetails) {
  std::vector<ExtractFailure> failures;
  for (int32_t index = 0; index < 500; ++index) {
    failures.push_back({index, "entry " + std::to_string(index)});
  }
  ExtractReport report =
      ReportOf({0, 500, false, "EXT_a", std::nullopt}, failures);
  EXPECT_EQ(report.summary, "0 files written; 500 entries failed.");
  EXPECT_EQ(std::count(report.details.begin(), report.details.end(), '\n'),
            499);
  EXPECT_TRUE(report.details.ends_with("\nentry 499"));
}

// A table that can't be read to its end is a failure of its own, after
// the entries'.
TEST(ReportOfTest, ATableCutShortIsReportedLast) {
  ExtractResult result{2, 1, false, "EXT_a",
                       ContainerError("a.str", "the record ends here")};
  ExtractReport report = ReportOf(result, {{4, "entry 4"}});
  EXPECT_TRUE(report.warning);
  EXPECT_EQ(report.summary,
            "2 files written; 1 entry failed; the table ends in a "
            "record that can't be read.");
  EXPECT_EQ(report.details,
            "entry 4\ncannot read 'a.str': the record ends here");
}

TEST(ReportOfTest, NoFailureGivesNoDetails) {
  ExtractReport report = ReportOf({3, 0, false, "EXT_a", std::nullopt}, {});
  EXPECT_FALSE(report.warning);
  EXPECT_EQ(report.details, "");
}

}  // namespace
}  // namespace brimwald
