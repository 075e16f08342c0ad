#include "extract/extract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "container/inspection.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using samples::ContainerBuilder;
using testing::ReadFile;
using testing::TempDir;

// Records what the extraction reports.
class Recorder : public ExtractListener {
 public:
  void EntryFailed(const TableEntry& entry, const Error& error) override {
    failed[entry.Index] = error.what();
  }
  bool Progress(const ExtractProgress& progress) override {
    last = progress;
    return progress.entries_done < stop_after;
  }
  bool WantsTotals() const override { return true; }

  std::map<int32_t, std::string> failed;
  ExtractProgress last;
  int32_t stop_after = INT32_MAX;
};

class ExtractTest : public ::testing::Test {
 protected:
  ExtractResult Run(const ContainerBuilder& builder) {
    return Extract(testing::WriteChosen(builder, dir_.path(), "music.str"), "",
                   recorder_);
  }
  TempDir dir_;
  Recorder recorder_;
};

// A large body is copied in rounds, from and to offsets that no page
// boundary lines up; a pattern shows a byte off or a round repeated.
TEST_F(ExtractTest, WritesRecordHeaderAndBodyAndCountsProgress) {
  std::string big(1500000, '\0');
  for (size_t i = 0; i < big.size(); ++i) {
    big[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  }
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"sfx/door.wav", "HD", "body"}, {"big", "", big}});
  ExtractResult result = Run(builder);
  EXPECT_EQ(result.written, 2);
  EXPECT_TRUE(fs::equivalent(result.folder, dir_.File("EXT_music")));
  EXPECT_EQ(ReadFile(dir_.File("EXT_music/sfx/door.qvstr")),
            builder.bytes().substr(32, 72) + "HDbody");
  EXPECT_TRUE(ReadFile(dir_.File("EXT_music/big.qvstr")) ==
              builder.bytes().substr(32 + 72, 72) + big);
  EXPECT_EQ(recorder_.last.entries_done, 2);
  EXPECT_EQ(recorder_.last.bytes_total, 72 + 6 + 72 + 1500000);
  EXPECT_EQ(recorder_.last.bytes_done, recorder_.last.bytes_total);
}

// The summary counts the files that stand: six entries on two paths (one
// spelled three ways, and a file there before the run) leave two files.
TEST_F(ExtractTest, CountsTheFilesThatStand) {
  fs::create_directory(dir_.File("EXT_music"));
  testing::WriteFile(dir_.File("EXT_music/a.qvstr"), "there before");
  ExtractResult result = Run(ContainerBuilder::WithEntries({{"a", "", "1"},
                                                            {"A", "", "2"},
                                                            {"b", "", "3"},
                                                            {"/a", "", "4"},
                                                            {"B", "", "5"},
                                                            {"b", "", "6"}}));
  EXPECT_EQ(result.written, 6);
  EXPECT_EQ(result.replaced, 4);
  EXPECT_EQ(WrittenText(result),
            "6 entries written to 2 files (4 replaced an earlier entry of "
            "the same path)");
  result.replaced = 0;
  EXPECT_EQ(WrittenText(result), "6 files written");
}

// A broken entry is reported with its index and leaves nothing, not even
// a folder made for it; the others are written.
TEST_F(ExtractTest, BrokenEntriesLeaveNothingAndTheRestGoOn) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"ok/first", "h", "b"},
                                     {"new/outside", "h", "b"},
                                     {"new/negative", "h", "b"},
                                     {"new/" + std::string(300, 'n'), "h", "b"},
                                     {"lost", "h", "b"},
                                     {"ok/last", "h", "b"}});
  builder.Int32(32 + 72 * 1 + 24, 1 << 20);  // header past the end
  builder.Int32(32 + 72 * 2 + 16, -2);       // negative body size
  builder.Int32(32 + 72 * 4 + 48, 1 << 24);  // name past the end
  ExtractResult result = Run(builder);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(result.failed, 4);
  EXPECT_EQ(dir_.Tree(),
            (std::vector<std::string>{"EXT_music/", "EXT_music/ok/",
                                      "EXT_music/ok/first.qvstr",
                                      "EXT_music/ok/last.qvstr", "music.str"}));
  ASSERT_EQ(recorder_.failed.size(), 4u);
  EXPECT_NE(
      recorder_.failed[1].find("entry 1 'new\\outside': header: the range"),
      std::string::npos);
  EXPECT_NE(
      recorder_.failed[2].find("entry 2 'new\\negative': body: BodySize is -2"),
      std::string::npos);
  EXPECT_NE(recorder_.failed[4].find("entry 4: name: NameOffset 16777216"),
            std::string::npos);
}

// Reading a record needs its first 52 bytes; cutting it needs all 72.
TEST_F(ExtractTest, ARecordCutShortByTheEndOfTheFileIsABrokenEntry) {
  ContainerBuilder builder = ContainerBuilder::WithEntries({{"a", "h", "b"}});
  size_t end = builder.bytes().size();
  builder.Record(end, builder.records()[0])
      .VfsStart(static_cast<int32_t>(end))
      .Truncate(end + 60);
  EXPECT_EQ(Run(builder).failed, 1);
  EXPECT_NE(recorder_.failed[0].find("entry 0 'a': record: the range"),
            std::string::npos)
      << recorder_.failed[0];
}

TEST_F(ExtractTest, PlantedSymbolicLinksAreNeverFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "wine makes no symbolic links; io/folder_test covers it";
#endif
  TempDir outside;
  fs::create_directories(dir_.File("EXT_music"));
  fs::create_directory_symlink(outside.path(), dir_.File("EXT_music/sfx"));
  testing::WriteFile(outside.File("target"), "keep");
  fs::create_symlink(outside.File("target"), dir_.File("EXT_music/a.qvstr"));
  ExtractResult result = Run(ContainerBuilder::WithEntries(
      {{"sfx/door", "h", "b"}, {"a", "h", "b"}, {"b", "h", "b"}}));
  EXPECT_EQ(result.written, 1);
  EXPECT_NE(recorder_.failed[0].find("symbolic link"), std::string::npos);
  EXPECT_NE(recorder_.failed[1].find("symbolic link"), std::string::npos);
  EXPECT_EQ(outside.Names(), std::vector<std::string>{"target"});
  EXPECT_EQ(ReadFile(outside.File("target")), "keep");

  // The output folder itself.
  fs::remove_all(dir_.File("EXT_music"));
  fs::create_directory_symlink(outside.path(), dir_.File("EXT_music"));
  EXPECT_TRUE(testing::Says(
      testing::ErrorFrom([&] { Run(ContainerBuilder::WithEntries({})); }),
      "symbolic link"));
  EXPECT_EQ(outside.Names(), std::vector<std::string>{"target"});
}

// An entry that fails leaves no spelling behind: the next entry of its
// path names the file. Entry 1 finds a folder, put there after entry 0,
// where its file would go.
TEST_F(ExtractTest, AFailedEntryLeavesNoSpellingForTheNext) {
  class Planter : public Recorder {
   public:
    explicit Planter(fs::path folder) : folder_(std::move(folder)) {}
    bool Progress(const ExtractProgress& progress) override {
      if (progress.entries_done == 1) fs::create_directory(folder_);
      if (progress.entries_done == 2) fs::remove(folder_);
      return Recorder::Progress(progress);
    }

   private:
    fs::path folder_;
  } planter(dir_.File("EXT_music/x/A.qvstr"));
  ExtractResult result = Extract(
      testing::WriteChosen(
          ContainerBuilder::WithEntries(
              {{"x/first", "h", "b"}, {"x/A", "h", "b"}, {"x/a", "h", "b"}}),
          dir_.path(), "music.str"),
      "", planter);
  EXPECT_EQ(result.written, 2);
  EXPECT_NE(planter.failed[1].find("folder"), std::string::npos)
      << planter.failed[1];
  EXPECT_EQ(dir_.Tree(),
            (std::vector<std::string>{"EXT_music/", "EXT_music/x/",
                                      "EXT_music/x/a.qvstr",
                                      "EXT_music/x/first.qvstr", "music.str"}));
}

TEST_F(ExtractTest, AStoppedExtractionKeepsCompleteFilesOnly) {
  recorder_.stop_after = 2;
  ExtractResult result = Run(ContainerBuilder::WithEntries(
      {{"a", "h", "b"}, {"b", "h", "b"}, {"c", "h", "b"}}));
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(dir_.Tree(),
            (std::vector<std::string>{"EXT_music/", "EXT_music/a.qvstr",
                                      "EXT_music/b.qvstr", "music.str"}));
}

}  // namespace
}  // namespace brimwald
