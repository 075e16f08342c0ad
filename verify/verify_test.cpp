#include "verify/verify.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "container/inspection.h"
#include "extract/extract.h"
#include "io/utf8_path.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using samples::ContainerBuilder;
using testing::TempDir;
using Kind = VerifyFinding::Kind;

class Findings : public VerifyListener {
 public:
  void Found(const VerifyFinding& finding) override {
    found.push_back(finding);
  }
  std::vector<VerifyFinding> found;
};

class NoFailures : public ExtractListener {
 public:
  void EntryFailed(const TableEntry&, const Error& error) override {
    ADD_FAILURE() << error.what();
  }
  bool Progress(const ExtractProgress&) override { return true; }
};

class VerifyTest : public ::testing::Test {
 protected:
  void SetUp() override { Write(ContainerBuilder::WithEntries(kEntries)); }

  void Write(const ContainerBuilder& builder) {
    selection_ = testing::WriteChosen(builder, dir_.path(), "c.str");
  }

  void ExtractAll(const EntryChoice& choice = EntryChoice()) {
    NoFailures no_failures;
    Extract(selection_, "", no_failures, choice);
  }

  VerifyResult Check(const EntryChoice& choice = EntryChoice()) {
    findings_.found.clear();
    return Verify(selection_, "", findings_, choice);
  }

  // Each finding as "<kind> <path below the container's folder>", with the
  // entry's index where it has one.
  std::vector<std::string> Found() const {
    std::vector<std::string> found;
    for (const VerifyFinding& finding : findings_.found) {
      std::string text = KindName(finding.kind);
      if (!finding.path.empty()) {
        // "/" between the parts on every system.
        std::string path = finding.path.substr(dir_.path().size() + 1);
        std::replace(path.begin(), path.end(), '\\', '/');
        text += " " + path;
      }
      if (finding.index >= 0) text += " #" + std::to_string(finding.index);
      found.push_back(text);
    }
    return found;
  }

  std::string File(const std::string& path) const {
    return dir_.File("EXT_c/" + path);
  }

  static inline const std::vector<samples::TestEntry> kEntries = {
      {"sfx/door.wav", "hd", "creak"}, {"sfx/door_old", "ho", "old"},
      {"music/theme", "ht", "tune"},   {"SFX/Bell", "hb", "ding"},
      {"voice/en/a", "", "hello"},     {"jingle", "", ""},
      {"sfx/ui/click", "hc", "click"}, {"music/battle", "hm", "drums"},
  };

  TempDir dir_;
  Selection selection_;
  Findings findings_;
};

TEST_F(VerifyTest, TheExtractedTreePasses) {
  ExtractAll();
  VerifyResult result = Check();
  EXPECT_EQ(Found(), std::vector<std::string>{});
  EXPECT_EQ(result.checked, 8);
  EXPECT_EQ(result.problems, 0);
  EXPECT_TRUE(fs::equivalent(PathFromUtf8(result.folder),
                             PathFromUtf8(dir_.File("EXT_c"))));
}

// One file deleted, one byte of another changed, a stray added: exactly
// those three, the entries' in entry order, then the stray.
TEST_F(VerifyTest, NamesTheMissingTheDifferentAndTheStray) {
  ExtractAll();
  fs::remove(PathFromUtf8(File("music/theme.qvstr")));
  std::string bell = testing::ReadFile(File("sfx/Bell.qvstr"));
  bell[72 + 3] ^= 0x20;
  testing::WriteFile(File("sfx/Bell.qvstr"), bell);
  testing::WriteFile(File("sfx/extra.QVSTR"), "x");
  testing::WriteFile(File("sfx/notes.txt"), "not an entry's");
  VerifyResult result = Check();
  EXPECT_EQ(Found(),
            (std::vector<std::string>{"missing EXT_c/music/theme.qvstr #2",
                                      "differs EXT_c/sfx/Bell.qvstr #3",
                                      "stray EXT_c/sfx/extra.QVSTR"}));
  ASSERT_EQ(findings_.found.size(), 3u);
  EXPECT_EQ(findings_.found[1].offset, 75);
  EXPECT_EQ(findings_.found[1].size, findings_.found[1].expected_size);
  EXPECT_EQ(findings_.found[0].name, "music\\theme");
  EXPECT_EQ(result.problems, 3);
  EXPECT_EQ(result.checked, 8);
}

// A file cut short or grown differs from where the shorter one ends; a
// difference far into a file larger than a chunk is found where it is.
TEST_F(VerifyTest, SaysWhereAFileFirstDiffers) {
  std::string big(600000, 'b');
  Write(ContainerBuilder::WithEntries(
      {{"short", "h", "body"}, {"long", "h", "body"}, {"big", "h", big}}));
  ExtractAll();
  std::string short_file = testing::ReadFile(File("short.qvstr"));
  testing::WriteFile(File("short.qvstr"), short_file.substr(0, 74));
  testing::WriteFile(File("long.qvstr"),
                     testing::ReadFile(File("long.qvstr")) + "!");
  std::string big_file = testing::ReadFile(File("big.qvstr"));
  big_file[500000] = 'x';
  testing::WriteFile(File("big.qvstr"), big_file);
  Check();
  ASSERT_EQ(findings_.found.size(), 3u);
  struct Want {
    int64_t offset, size, expected_size;
  };
  const Want wants[] = {{74, 74, 77}, {77, 78, 77}, {500000, 600073, 600073}};
  for (size_t i = 0; i < 3; ++i) {
    const VerifyFinding& finding = findings_.found[i];
    EXPECT_EQ(finding.kind, Kind::kDiffers) << i;
    EXPECT_EQ(finding.offset, wants[i].offset) << i;
    EXPECT_EQ(finding.size, wants[i].size) << i;
    EXPECT_EQ(finding.expected_size, wants[i].expected_size) << i;
  }
}

// Windows finds a file by any spelling that differs only in ASCII letter
// case, as the rip script's tree may spell it.
TEST_F(VerifyTest, FindsFilesByAnySpellingOfTheirPath) {
  ExtractAll();
  fs::rename(PathFromUtf8(File("sfx")), PathFromUtf8(File("Sfx")));
  fs::rename(PathFromUtf8(File("Sfx/door.qvstr")),
             PathFromUtf8(File("Sfx/DOOR.QVSTR")));
  fs::rename(PathFromUtf8(File("jingle.qvstr")),
             PathFromUtf8(File("Jingle.qvstr")));
  EXPECT_EQ(Check().problems, 0);
  EXPECT_EQ(Found(), std::vector<std::string>{});
}

// Only the chosen entries are compared; the files of the others are
// neither compared nor strays, whatever they hold.
TEST_F(VerifyTest, LeavesOutWhatTheChoiceLeavesOut) {
  EntryChoice sfx;
  sfx.Include("sfx/*");
  sfx.Exclude("*_old*");
  ExtractAll(sfx);
  EXPECT_EQ(Check(sfx).checked, 3);  // door, Bell, ui/click
  EXPECT_EQ(Found(), std::vector<std::string>{});
  fs::create_directory(PathFromUtf8(File("music")));
  testing::WriteFile(File("music/theme.qvstr"), "not the entry's bytes");
  testing::WriteFile(File("sfx/door_old.qvstr"), "nor this");
  EXPECT_EQ(Check(sfx).problems, 0);
  // Without the choice, every entry counts.
  Check();
  EXPECT_EQ(Found(),
            (std::vector<std::string>{"differs EXT_c/sfx/door_old.qvstr #1",
                                      "differs EXT_c/music/theme.qvstr #2",
                                      "missing EXT_c/voice/en/a.qvstr #4",
                                      "missing EXT_c/jingle.qvstr #5",
                                      "missing EXT_c/music/battle.qvstr #7"}));
}

// The last chosen entry of a path that can be extracted gives the file;
// one that can't leaves the earlier file standing and is only noted.
TEST_F(VerifyTest, TheLastExtractableEntryOfAPathGivesItsFile) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"a", "h", "1"}, {"A", "h", "2"}, {"a.wav", "h", "3"}, {"b", "h", "4"}});
  builder.Int32(32 + 72 * 2 + 16, 1 << 20);  // entry 2's body size
  Write(builder);
  std::string second = builder.bytes().substr(32 + 72, 72) + "h" + "2";
  fs::create_directory(PathFromUtf8(dir_.File("EXT_c")));
  testing::WriteFile(File("a.qvstr"), second);
  testing::WriteFile(File("b.qvstr"),
                     builder.bytes().substr(32 + 72 * 3, 72) + "h4");
  VerifyResult result = Check();
  EXPECT_EQ(Found(), std::vector<std::string>{"note #2"});
  EXPECT_EQ(result.problems, 0);
  EXPECT_EQ(result.notes, 1);
  EXPECT_EQ(result.checked, 2);
  EXPECT_NE(findings_.found[0].why.find("entry 2 'a': body: "),
            std::string::npos)
      << findings_.found[0].why;

  // With entry 1 left out, entry 0 gives the file.
  EntryChoice choice;
  choice.AddIndexes("0,2-");
  Check(choice);
  EXPECT_EQ(Found(),
            (std::vector<std::string>{"differs EXT_c/a.qvstr #0", "note #2"}));
}

TEST_F(VerifyTest, WhatStandsInAFilesPlaceIsNoFile) {
  ExtractAll();
  fs::remove(PathFromUtf8(File("jingle.qvstr")));
  fs::create_directory(PathFromUtf8(File("jingle.qvstr")));
  Check();
  ASSERT_EQ(Found(), std::vector<std::string>{"missing EXT_c/jingle.qvstr #5"});
  EXPECT_EQ(findings_.found[0].why, "a folder stands there");
}

TEST_F(VerifyTest, AMissingFolderMissesEveryFile) {
  VerifyResult result = Check();
  EXPECT_TRUE(result.folder_missing);
  EXPECT_EQ(result.problems, 1);
  EXPECT_EQ(Found(), std::vector<std::string>{});
  EXPECT_FALSE(fs::exists(PathFromUtf8(dir_.File("EXT_c"))));
}

// Strays are told only while every entry's path is known.
TEST_F(VerifyTest, ABrokenTableEndsTheCheckWithoutStrays) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"a", "h", "1"}, {"b", "h", "2"}});
  Write(builder);
  ExtractAll();
  builder.FileCount(1000000);
  Write(builder);
  testing::WriteFile(File("c.qvstr"), "maybe a later entry's");
  VerifyResult result = Check();
  EXPECT_TRUE(result.table_error.has_value());
  EXPECT_EQ(result.checked, 2);
  EXPECT_EQ(Found(), std::vector<std::string>{});
}

TEST_F(VerifyTest, LinksAreReportedAndNeverFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "wine makes no symbolic links";
#endif
  ExtractAll();
  TempDir outside;
  testing::WriteFile(outside.File("theme.qvstr"),
                     testing::ReadFile(File("music/theme.qvstr")));
  fs::remove_all(File("music"));
  fs::create_directory_symlink(outside.path(), File("music"));
  fs::rename(File("jingle.qvstr"), outside.File("jingle.qvstr"));
  fs::create_symlink(outside.File("jingle.qvstr"), File("jingle.qvstr"));
  Check();
  EXPECT_EQ(
      Found(),
      (std::vector<std::string>{
          "missing EXT_c/music/theme.qvstr #2", "missing EXT_c/jingle.qvstr #5",
          "missing EXT_c/music/battle.qvstr #7", "link EXT_c/music"}));

  fs::remove_all(dir_.File("EXT_c"));
  fs::create_directory_symlink(outside.path(), dir_.File("EXT_c"));
  EXPECT_TRUE(testing::Says(testing::ErrorFrom([&] { Check(); }),
                            "it is a symbolic link"));
}

// Two spellings of one path can't stand side by side on Windows.
TEST_F(VerifyTest, ASecondSpellingOfAFileIsReported) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows keeps one spelling of a path";
#endif
  ExtractAll();
  fs::copy_file(File("sfx/Bell.qvstr"), File("sfx/bell.qvstr"));
  fs::create_directory(File("SFX"));
  testing::WriteFile(File("SFX/new.qvstr"), "a stray all the same");
  Check();
  // In the order of the paths' bytes, upper case first.
  ASSERT_EQ(Found(),
            (std::vector<std::string>{"stray EXT_c/SFX/new.qvstr",
                                      "duplicate EXT_c/sfx/bell.qvstr"}));
  EXPECT_EQ(findings_.found[1].other, File("sfx/Bell.qvstr"));

  // Spellings that only Linux holds, where an entry's file goes: a folder
  // beside the file, a trailing dot in place of it.
  fs::remove(File("sfx/bell.qvstr"));
  fs::remove_all(File("SFX"));
  fs::create_directory(File("sfx/ui/click.QVSTR"));
  fs::rename(File("sfx/door.qvstr"), File("sfx/door.qvstr."));
  Check();
  EXPECT_EQ(Found(), (std::vector<std::string>{
                         "missing EXT_c/sfx/door.qvstr #0",
                         "missing EXT_c/sfx/ui/click.QVSTR #6",
                         "duplicate EXT_c/sfx/door.qvstr.",
                         "duplicate EXT_c/sfx/ui/click.qvstr",
                     }));
}

}  // namespace
}  // namespace brimwald
