#include "app/session/write_back_job.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/session/window_session.h"
#include "io/utf8_path.h"
#include "replace/replace.h"
#include "replace/update.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

// m.str of six sample entries, extracted beside itself, in the session's
// folder and, for what the core alone writes, in a second one.
class WriteBackTest : public ::testing::Test {
 protected:
  WriteBackTest() {
    for (const testing::TempDir* dir : {&dir_, &core_}) {
      Selection chosen = testing::WriteChosen(
          samples::ContainerBuilder::WithEntries(samples::SampleEntries(6)),
          dir->path(), "m.str");
      testing::QuietListener quiet;
      Extract(chosen, "", quiet);
    }
    before_ = ReadFile(dir_.File("m.str"));
    session_.Choose("m.str");
  }
  // Gives EXT_m/`path` a new body in both folders.
  void Edit(const std::string& path, const std::string& body) {
    for (const testing::TempDir* dir : {&dir_, &core_}) {
      const std::string file = dir->File("EXT_m/" + path);
      testing::WriteFile(file, testing::EditedQvstr(ReadFile(file), "", body));
    }
  }
  // Runs the job `started` hands out to its end, cancelled at its first
  // step with `cancel`.
  WriteBackOutcome Run(WriteBackStartOutcome started, bool cancel = false) {
    EXPECT_TRUE(started.job) << started.error;
    if (!started.job) return {};
    WriteBackJob& job = *started.job;
    WriteBackOutcome outcome = job.Run([&](int) {
      if (cancel) job.Cancel();
    });
    EXPECT_FALSE(session_.FinishJob().failed());
    return outcome;
  }
  std::string Container() const { return ReadFile(dir_.File("m.str")); }

  testing::TempDir dir_;
  testing::TempDir core_;
  std::string before_;
  WindowSession session_{dir_.path()};
};

TEST_F(WriteBackTest, ThePlanTellsWhatUpdateWouldDoAndWritesNothing) {
  WriteBackPlan nothing = session_.PlanUpdate();
  EXPECT_FALSE(nothing.can_confirm);
  EXPECT_TRUE(nothing.text.starts_with("Nothing to take back")) << nothing.text;

  Edit("track3.qvstr", "edited");
  testing::WriteFile(dir_.File("EXT_m/stray.qvstr"), "stray");
  testing::WriteFile(dir_.File("EXT_m/sfx/track4.qvstr"),
                     ReadFile(dir_.File("EXT_m/sfx/track4.qvstr")) + "!");
  WriteBackPlan refused = session_.PlanUpdate();
  EXPECT_FALSE(refused.can_confirm);
  EXPECT_NE(refused.text.find("1 file can't be taken back"), std::string::npos)
      << refused.text;
  for (const char* says : {"stray.qvstr: stray: no entry has this path; left "
                           "alone",
                           "track4.qvstr': it has"}) {
    EXPECT_NE(refused.details.find(says), std::string::npos) << refused.details;
  }

  fs::remove(dir_.File("EXT_m/sfx/track4.qvstr"));
  WriteBackPlan plan = session_.PlanUpdate();
  EXPECT_TRUE(plan.can_confirm);
  EXPECT_EQ(plan.title, "Update m.str");
  EXPECT_TRUE(
      plan.text.starts_with("Replace 1 entry of m.str with the files "
                            "of "))
      << plan.text;
  EXPECT_TRUE(
      plan.details.starts_with("entry 3 'track3': header appended at 0x"))
      << plan.details;
  EXPECT_NE(plan.details.find("track4.qvstr: missing"), std::string::npos)
      << plan.details;
  EXPECT_EQ(plan.backup_label, "Keep a backup (m.str~)");
  EXPECT_EQ(Container(), before_);
}

// Confirmed, the update writes what the core's update writes; cancelled
// before the rename, nothing.
TEST_F(WriteBackTest, TheUpdateWritesWhatTheCommandWritesOrNothingCancelled) {
  Edit("music/track1.qvstr", "a new body of another length");
  ASSERT_TRUE(Update(testing::Chosen(core_.path(), "m.str"), {}).written);
  for (bool cancel : {true, false}) {
    WriteBackOutcome done = Run(session_.StartUpdate(true), cancel);
    ASSERT_FALSE(done.failed()) << done.error;
    EXPECT_EQ(done.written, !cancel);
    EXPECT_EQ(done.report.warning, cancel);
    EXPECT_NE(done.report.summary.find(cancel ? "stopped, nothing written"
                                              : "1 entry replaced"),
              std::string::npos)
        << done.report.summary;
    EXPECT_EQ(Container() == before_, cancel);
    EXPECT_EQ(fs::exists(dir_.File("m.str~")), !cancel);
  }
  EXPECT_EQ(Container(), ReadFile(core_.File("m.str")));
  EXPECT_EQ(ReadFile(dir_.File("m.str~")), before_);
}

// Replace... of one entry: what `replace` writes, and the table shows the
// new sizes; a file of the wrong length is refused as `replace` refuses it.
TEST_F(WriteBackTest, ReplaceWritesOneEntryOrSaysWhyNot) {
  ASSERT_FALSE(session_.OpenEntries().failed());
  const int32_t row = 4;  // sfx/track4
  EXPECT_EQ(PathFromUtf8(session_.ReplaceFolder(row)),
            PathFromUtf8(dir_.File("EXT_m/sfx")));
  const std::string file = core_.File("new.qvstr");
  testing::WriteFile(
      file, testing::EditedQvstr(ReadFile(core_.File("EXT_m/sfx/track4.qvstr")),
                                 "a header", "a body"));
  testing::WriteFile(core_.File("long.qvstr"), ReadFile(file) + "!");

  WriteBackPlan wrong = session_.PlanReplace(row, core_.File("long.qvstr"));
  EXPECT_NE(wrong.error.find("long.qvstr': it has 87 bytes, but 72 + "
                             "HeaderSize (8) + BodySize (6) is 86"),
            std::string::npos)
      << wrong.error;
  WriteBackPlan plan = session_.PlanReplace(row, file);
  ASSERT_TRUE(plan.can_confirm) << plan.error;
  EXPECT_EQ(plan.text,
            "Replace entry 4 'sfx\\track4' of m.str with '" + file + "'?");
  EXPECT_EQ(Container(), before_);

  WriteBackOutcome done = Run(session_.StartReplace(row, file, false));
  ASSERT_FALSE(done.failed()) << done.error;
  EXPECT_EQ(done.report.summary, "m.str: entry 4 'sfx\\track4' replaced");
  ReplaceEntries(testing::Chosen(core_.path(), "m.str"), {{4, file}}, "");
  EXPECT_EQ(Container(), ReadFile(core_.File("m.str")));
  EXPECT_FALSE(fs::exists(dir_.File("m.str~")));
  EXPECT_EQ(session_.entries()->Cell(row, EntryColumn::kBodySize), "6");
}

// In the table of all containers, a row's entry is replaced in its own
// container, and the table reads them all again.
TEST_F(WriteBackTest, ReplaceInTheTableOfAllContainersTakesTheRowsOwn) {
  for (const testing::TempDir* dir : {&dir_, &core_}) {
    testing::WriteChosen(
        samples::ContainerBuilder::WithEntries(samples::SampleEntries(6)),
        dir->path(), "n.str");
  }
  ASSERT_FALSE(session_.OpenAllEntries().failed());
  const int32_t row = 6 + 4;  // n.str's sfx/track4
  const std::string file = core_.File("new.qvstr");
  testing::WriteFile(
      file, testing::EditedQvstr(ReadFile(core_.File("EXT_m/sfx/track4.qvstr")),
                                 "a header", "a body"));
  WriteBackOutcome done = Run(session_.StartReplace(row, file, false));
  ASSERT_FALSE(done.failed()) << done.error;
  ReplaceEntries(testing::Chosen(core_.path(), "n.str"), {{4, file}}, "");
  EXPECT_EQ(ReadFile(dir_.File("n.str")), ReadFile(core_.File("n.str")));
  EXPECT_EQ(Container(), before_);
  const EntriesModel& entries = *session_.entries();
  EXPECT_EQ(entries.rows(), 12);
  EXPECT_EQ(entries.Cell(row, EntryColumn::kContainer), "n.str");
  EXPECT_EQ(entries.Cell(row, EntryColumn::kBodySize), "6");
}

TEST_F(WriteBackTest, ADroppedContainerIsChosenInItsFolder) {
  EXPECT_TRUE(WindowSession::TakesDrop({"a/B.STR"}));
  EXPECT_FALSE(WindowSession::TakesDrop({"b.qvstr"}));
  EXPECT_FALSE(WindowSession::TakesDrop({"a.str", "b.str"}));
  EXPECT_TRUE(WindowSession::TakesEntryDrop({"a/b.QVSTR"}));
  EXPECT_FALSE(WindowSession::TakesEntryDrop({"b.str"}));

  fs::create_directory(dir_.File("other"));
  fs::copy_file(dir_.File("m.str"), dir_.File("other/n.str"));
  DropOutcome dropped = session_.Drop(dir_.File("other/n.str"));
  ASSERT_FALSE(dropped.failed()) << dropped.error;
  EXPECT_EQ(session_.ListContainers().names, std::vector<std::string>{"n.str"});
  EXPECT_EQ(dropped.chosen, "n.str");
  EXPECT_EQ(session_.directory(), dir_.File("other"));
  EXPECT_EQ(session_.selection().FileName, "");
  EXPECT_TRUE(session_.Choose("n.str").label.starts_with("VFS Start at: 0x"));
  EXPECT_TRUE(session_.Drop(dir_.File("EXT_m/track3.qvstr")).failed());
}

}  // namespace
}  // namespace brimwald
