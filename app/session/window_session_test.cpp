#include "app/session/window_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "container/inspection.h"
#include "extract/extract.h"
#include "io/utf8_path.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;

class WindowSessionTest : public ::testing::Test {
 protected:
  WindowSessionTest() {
    for (const char* name : {"a.str", "b.str"}) {
      ContainerBuilder::WithEntries({{"x.wav", "h", "body"}})
          .WriteTo(dir_.File(name));
    }
  }
  testing::TempDir dir_;
  WindowSession session_{dir_.path()};
};

TEST_F(WindowSessionTest, RipSaysWhichScriptItWroteOnlyOnceItIsComplete) {
  EXPECT_EQ(session_.Rip().status, "");  // nothing chosen: it fails
  session_.Choose("a.str");
  EXPECT_EQ(session_.Rip().status, "Wrote RIP_a.bat");
}

TEST_F(WindowSessionTest, TheJobKeepsTheChoiceItWasGiven) {
  session_.Choose("a.str");
  StartOutcome started = session_.StartExtract();
  ASSERT_FALSE(started.failed()) << started.error;
  EXPECT_EQ(started.progress_text, "Extracting a.str...");
  session_.Choose("b.str");

  ExtractOutcome outcome = started.job->Run(nullptr);
  EXPECT_EQ(outcome.result.written, 1);
  EXPECT_EQ(dir_.Names(),
            (std::vector<std::string>{"EXT_a", "a.str", "b.str"}));
}

TEST_F(WindowSessionTest, IsBusyFromStartToFinishAndStartsOneAtATime) {
  EXPECT_FALSE(session_.busy());
  session_.Choose("a.str");
  StartOutcome first = session_.StartExtract();
  ASSERT_TRUE(first.job);
  EXPECT_TRUE(session_.busy());

  session_.Choose("b.str");
  StartOutcome second = session_.StartExtract();
  EXPECT_FALSE(second.job);
  EXPECT_NE(second.error.find("'a.str' is still running"), std::string::npos)
      << second.error;
  EXPECT_NE(session_.CloseQuestion().find("a.str"), std::string::npos)
      << session_.CloseQuestion();

  session_.FinishJob();
  EXPECT_FALSE(session_.busy());
  StartOutcome third = session_.StartExtract();
  ASSERT_TRUE(third.job);
  EXPECT_EQ(third.job->selection().FileName, "b.str");
}

TEST_F(WindowSessionTest, StartingWithoutAChoiceLeavesTheErrorToTheJob) {
  StartOutcome started = session_.StartExtract();
  ASSERT_TRUE(started.job);
  EXPECT_EQ(started.job->Run(nullptr).error, "no container has been chosen");
}

class EntriesSessionTest : public ::testing::Test {
 protected:
  EntriesSessionTest() {
    ContainerBuilder::WithEntries(samples::SampleEntries(12))
        .WriteTo(dir_.File("music.str"));
    ContainerBuilder::WithEntries({{"x", "h", "b"}})
        .WriteTo(dir_.File("other.str"));
  }
  // What the extraction of the entries that `pattern` includes leaves.
  std::map<std::string, std::string> IncludedFiles(const std::string& pattern) {
    EntryChoice choice;
    choice.Include(pattern);
    return testing::ExtractedFiles(testing::Chosen(dir_.path(), "music.str"),
                                   choice);
  }
  // Runs the job `started` hands out to its end.
  ExtractOutcome Run(StartOutcome started) {
    EXPECT_TRUE(started.job) << started.error;
    if (!started.job) return {};
    ExtractOutcome outcome = started.job->Run(nullptr);
    session_.FinishJob();
    return outcome;
  }

  testing::TempDir dir_;
  WindowSession session_{dir_.path()};
};

TEST_F(EntriesSessionTest, WithoutAValidChoiceNoEntriesOpen) {
  EntriesOutcome opened = session_.OpenEntries();
  EXPECT_EQ(opened.error, "no container has been chosen");
  EXPECT_EQ(session_.entries(), nullptr);
  testing::WriteFile(dir_.File("bad.str"), "not a container");
  session_.Choose("music.str");
  ASSERT_FALSE(session_.OpenEntries().failed());
  session_.Choose("bad.str");
  EXPECT_TRUE(session_.OpenEntries().failed());
  EXPECT_EQ(session_.entries(), nullptr);
  StartOutcome started = session_.StartExtractAllEntries();
  EXPECT_FALSE(started.job);
  EXPECT_FALSE(session_.busy());
}

TEST_F(EntriesSessionTest, ExtractSelectedLeavesWhatItsPatternIncludes) {
  session_.Choose("music.str");
  EntriesOutcome opened = session_.OpenEntries();
  ASSERT_FALSE(opened.failed()) << opened.error;
  EXPECT_EQ(opened.title, "Entries of music.str");
  // The entries stay with their container while the choice moves on.
  session_.Choose("other.str");
  EntriesModel& entries = *session_.entries();
  ASSERT_TRUE(entries.SetFilter(u"SFX/*"));
  std::vector<int32_t> rows;
  for (int32_t row = 0; row < entries.rows(); ++row) rows.push_back(row);
  ASSERT_EQ(rows.size(), 3u);

  rows.push_back(1);  // a row twice, as a view's ranges may overlap
  StartOutcome started = session_.StartExtractEntries(rows);
  EXPECT_EQ(started.progress_text, "Extracting 3 entries of music.str...");
  ExtractOutcome outcome = Run(std::move(started));
  EXPECT_EQ(outcome.result.written, 3);
  std::map<std::string, std::string> files = dir_.FilesBelow("EXT_music/");
  EXPECT_EQ(files.size(), 3u);
  EXPECT_TRUE(files == IncludedFiles("SFX/*"));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(dir_.File("EXT_other"))));
}

TEST_F(EntriesSessionTest, ExtractAllTakesEveryEntryWhateverTheFilterShows) {
  session_.Choose("music.str");
  ASSERT_FALSE(session_.OpenEntries().failed());
  session_.entries()->SetFilter(u"nothing");
  StartOutcome started = session_.StartExtractAllEntries();
  EXPECT_EQ(started.progress_text, "Extracting music.str...");
  EXPECT_EQ(Run(std::move(started)).result.written, 12);
  EXPECT_TRUE(dir_.FilesBelow("EXT_music/") == IncludedFiles("*"));
}

TEST_F(EntriesSessionTest, NoSelectionOrARunningExtractionStartsNothing) {
  session_.Choose("music.str");
  ASSERT_FALSE(session_.OpenEntries().failed());
  StartOutcome none = session_.StartExtractEntries({});
  EXPECT_FALSE(none.job);
  EXPECT_EQ(none.error, "no entry is selected");
  EXPECT_FALSE(session_.busy());

  StartOutcome first = session_.StartExtract();
  ASSERT_TRUE(first.job);
  StartOutcome refused[] = {session_.StartExtractEntries({0}),
                            session_.StartExtractAllEntries()};
  for (const StartOutcome& outcome : refused) {
    EXPECT_FALSE(outcome.job);
    EXPECT_NE(outcome.error.find("is still running"), std::string::npos)
        << outcome.error;
  }
  session_.FinishJob();
  session_.CloseEntries();
  EXPECT_EQ(session_.entries(), nullptr);
  EXPECT_TRUE(session_.StartExtractEntries({0}).failed());
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"music.str", "other.str"}));
}

TEST_F(EntriesSessionTest, AllContainersExtractEachEntryIntoItsOwnFolder) {
  testing::WriteFile(dir_.File("bad.str"), "not a container");
  EntriesOutcome opened = session_.OpenAllEntries();
  ASSERT_FALSE(opened.failed()) << opened.error;
  EXPECT_EQ(opened.title, "Entries of all containers");
  EntriesModel& entries = *session_.entries();
  EXPECT_EQ(entries.size(), 13);
  // Rows of both containers, interleaved by the sort.
  entries.Sort(EntryColumn::kName, true);
  ASSERT_TRUE(entries.SetFilter(u"*[18x]"));
  std::vector<int32_t> rows;
  for (int32_t row = 0; row < entries.rows(); ++row) rows.push_back(row);
  ASSERT_EQ(rows.size(), 4u);

  StartOutcome started = session_.StartExtractEntries(rows);
  EXPECT_EQ(started.progress_text, "Extracting 4 entries of 2 containers...");
  ExtractOutcome outcome = Run(std::move(started));
  EXPECT_EQ(outcome.result.written, 4);
  EntryChoice choice;
  choice.Include("*[18x]");
  for (const char* name : {"music", "other"}) {
    EXPECT_TRUE(
        dir_.FilesBelow("EXT_" + std::string(name) + "/") ==
        testing::ExtractedFiles(
            testing::Chosen(dir_.path(), name + std::string(".str")), choice))
        << name;
  }
  ExtractReport report = outcome.Report();
  EXPECT_EQ(report.summary, "4 files written into 2 EXT_ folders.");
  EXPECT_TRUE(std::filesystem::equivalent(PathFromUtf8(report.folder),
                                          PathFromUtf8(dir_.path())));
  EXPECT_EQ(session_.StartExtractAllEntries().progress_text,
            "Extracting 2 containers...");
}

TEST_F(WindowSessionTest, FolderTextIsTheAbsoluteFolder) {
  namespace fs = std::filesystem;
  const fs::path folder = PathFromUtf8(dir_.path());
  struct Case {
    std::string directory;
    fs::path shown;
  };
  for (const Case& c : std::vector<Case>{
           {dir_.path(), folder},
           {dir_.path() + "/", folder},
           {dir_.path() + "/./sub/..", folder},
           {"", fs::current_path()},
       }) {
    std::string text = WindowSession(c.directory).FolderText();
    EXPECT_TRUE(PathFromUtf8(text).is_absolute()) << text;
    EXPECT_TRUE(fs::equivalent(PathFromUtf8(text), c.shown)) << text;
    EXPECT_FALSE(text.ends_with("/") || text.ends_with("\\")) << text;
  }
}

}  // namespace
}  // namespace brimwald
