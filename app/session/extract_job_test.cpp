#include "app/session/extract_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "container/inspection.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::TempDir;

TEST(PermilleTest, CountsBytesWhenKnownElseEntries) {
  struct Case {
    ExtractProgress progress;
    int permille;
  };
  constexpr int64_t kHuge = int64_t{1} << 60;  // times 1000 leaves 64 bits
  for (const Case& c : std::vector<Case>{
           {{1, 4, 50, 100}, 500},
           {{1, 4, 0, 0}, 250},
           {{3, 3, 0, 0}, 1000},
           {{0, 0, 0, 0}, 1000},
           {{2, 4, 7, 7}, 1000},
           {{2, 4, 9, 7}, 1000},
           {{0, 4, 1, 3}, 333},
           {{0, 4, kHuge / 2, kHuge}, 500},
       }) {
    EXPECT_EQ(Permille(c.progress), c.permille)
        << c.progress.entries_done << "/" << c.progress.entries_total << " "
        << c.progress.bytes_done << "/" << c.progress.bytes_total;
  }
}

class ExtractJobTest : public ::testing::Test {
 protected:
  // The container `builder` makes, as "music.str", chosen and inspected.
  Selection Chosen(const ContainerBuilder& builder) {
    return testing::WriteChosen(builder, dir_.path(), "music.str");
  }
  // The files below EXT_music, without folders.
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    for (const std::string& path : dir_.Tree()) {
      if (path.starts_with("EXT_music/") && !path.ends_with("/")) {
        files.push_back(path);
      }
    }
    return files;
  }

  TempDir dir_;
};

TEST_F(ExtractJobTest, WritesTheEntriesAndNamesEachFailure) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"a.wav", "h", "body"}, {"sfx/b.wav", "h", "body"}, {"c", "h", "b"}});
  builder.Int32(32 + 72 + 16, 1 << 20);  // entry 1's body: past the end
  ExtractJob job(Chosen(builder));
  ExtractOutcome outcome = job.Run(nullptr);

  ASSERT_FALSE(outcome.failed()) << outcome.error;
  EXPECT_EQ(outcome.result.written, 2);
  EXPECT_EQ(outcome.result.failed, 1);
  EXPECT_EQ(Files(), (std::vector<std::string>{"EXT_music/a.qvstr",
                                               "EXT_music/c.qvstr"}));
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].index, 1);
  EXPECT_NE(outcome.failures[0].line.find("': entry 1 'sfx\\b': body: "),
            std::string::npos)
      << outcome.failures[0].line;
  ExtractReport report = outcome.Report();
  EXPECT_TRUE(report.warning);
  EXPECT_EQ(report.summary, "2 files written; 1 entry failed.");
  EXPECT_TRUE(report.folder.ends_with("EXT_music")) << report.folder;
  EXPECT_EQ(report.details, outcome.failures[0].line);
}

TEST_F(ExtractJobTest, ProgressRisesOnlyWhenTheThousandthsChange) {
  ExtractJob job(
      Chosen(ContainerBuilder::WithEntries(samples::SampleEntries(2000))));
  std::vector<int> seen;
  ExtractOutcome outcome =
      job.Run([&](int permille) { seen.push_back(permille); });
  ASSERT_FALSE(outcome.failed()) << outcome.error;
  EXPECT_EQ(outcome.result.written, 2000);
  ASSERT_FALSE(seen.empty());
  EXPECT_LE(seen.size(), static_cast<size_t>(kPermille));
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
  EXPECT_EQ(seen.back(), kPermille);
}

// The window's thread cancels while the worker waits inside its first
// progress report: the worker then stops before the second entry.
TEST_F(ExtractJobTest, CancelFromAnotherThreadStopsBetweenTwoEntries) {
  ExtractJob job(
      Chosen(ContainerBuilder::WithEntries(samples::SampleEntries(50))));
  std::mutex mutex;
  std::condition_variable changed;
  bool reported = false;
  bool cancelled = false;
  ExtractOutcome outcome;
  std::thread worker([&] {
    outcome = job.Run([&](int) {
      std::unique_lock lock(mutex);
      reported = true;
      changed.notify_all();
      changed.wait(lock, [&] { return cancelled; });
    });
  });
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return reported; });
    job.Cancel();
    cancelled = true;
    changed.notify_all();
  }
  worker.join();

  ASSERT_FALSE(outcome.failed()) << outcome.error;
  EXPECT_TRUE(outcome.result.stopped);
  EXPECT_EQ(outcome.result.written, 1);
  EXPECT_EQ(Files().size(), 1u);
  EXPECT_TRUE(outcome.Report().summary.starts_with("Stopped. 1 file written"))
      << outcome.Report().summary;
}

TEST_F(ExtractJobTest, TakesOnlyTheEntriesItsChoiceTakes) {
  EntryChoice choice;
  choice.AddIndexRange(1, 2);
  choice.AddIndexRange(5, 5);
  ExtractJob job(
      Chosen(ContainerBuilder::WithEntries(samples::SampleEntries(8))), choice);
  std::vector<int> seen;
  ExtractOutcome outcome =
      job.Run([&](int permille) { seen.push_back(permille); });
  ASSERT_FALSE(outcome.failed()) << outcome.error;
  EXPECT_EQ(outcome.result.written, 3);
  EXPECT_EQ(Files(),
            (std::vector<std::string>{"EXT_music/music/track1.qvstr",
                                      "EXT_music/music/track5.qvstr",
                                      "EXT_music/voice/en/track2.qvstr"}));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), kPermille);
}

TEST_F(ExtractJobTest, AnErrorThatEndsTheExtractionComesBackInTheOutcome) {
  ExtractJob job{Selection()};
  ExtractOutcome outcome = job.Run(nullptr);
  EXPECT_EQ(outcome.error, "no container has been chosen");
  EXPECT_TRUE(Files().empty());
}

TEST_F(ExtractJobTest, AContainerThatEndsEarlyLeavesTheNextToGoOn) {
  std::vector<ExtractPart> parts;
  for (const char* name : {"a.str", "b.str"}) {
    parts.push_back(
        {testing::WriteChosen(ContainerBuilder::WithEntries({{"x", "h", "b"}}),
                              dir_.path(), name),
         EntryChoice()});
  }
  testing::WriteFile(dir_.File("EXT_a"), "a file where the folder would go");
  ExtractOutcome outcome = ExtractJob(parts).Run(nullptr);
  ASSERT_FALSE(outcome.failed()) << outcome.error;
  ASSERT_EQ(outcome.results.size(), 2u);
  EXPECT_TRUE(outcome.results[0].table_error.has_value());
  EXPECT_EQ(outcome.results[1].written, 1);
  ExtractReport report = outcome.Report();
  EXPECT_TRUE(report.warning);
  EXPECT_EQ(report.summary,
            "1 file written into 2 EXT_ folders; 1 container ended early.");
  EXPECT_NE(report.details.find("EXT_a"), std::string::npos) << report.details;
}

}  // namespace
}  // namespace brimwald
