#include "cli/verify_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "cli/cli_test_support.h"
#include "samples/container_builder.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using samples::ContainerBuilder;
using testing::TempDir;
using Result = testing::CommandResult;
using testing::RunCliWith;
using Kind = VerifyFinding::Kind;

TEST(VerifyReportTest, OneLineForEachFinding) {
  auto finding = [](Kind kind, std::string path) {
    VerifyFinding f;
    f.kind = kind;
    f.path = std::move(path);
    f.index = 3;
    f.name = "sfx\\door";
    return f;
  };
  VerifyFinding missing = finding(Kind::kMissing, "E/sfx/door.qvstr");
  VerifyFinding folder = missing;
  folder.why = "a folder stands there";
  VerifyFinding differs = finding(Kind::kDiffers, "E/sfx/door.qvstr");
  differs.offset = 75;
  differs.size = differs.expected_size = 80;
  VerifyFinding shorter = differs;
  shorter.offset = shorter.size = 74;
  VerifyFinding unreadable = finding(Kind::kUnreadable, "E/sfx/door.qvstr");
  unreadable.why = "cannot open 'E/sfx/door.qvstr': Permission denied";
  unreadable.name_lost = true;
  VerifyFinding duplicate = finding(Kind::kDuplicate, "E/sfx/Door.qvstr");
  duplicate.other = "E/sfx/door.qvstr";
  VerifyFinding note = finding(Kind::kNote, "");
  note.why = "'c.str': entry 3 'sfx\\door': body: out of range";
  const std::pair<VerifyFinding, std::string> cases[] = {
      {missing, "E/sfx/door.qvstr: missing (entry 3 'sfx\\door')"},
      {folder,
       "E/sfx/door.qvstr: missing, a folder stands there (entry 3 "
       "'sfx\\door')"},
      {differs, "E/sfx/door.qvstr: differs at byte 75 (entry 3 'sfx\\door')"},
      {shorter,
       "E/sfx/door.qvstr: differs at byte 74; 74 bytes, expected 80 (entry 3 "
       "'sfx\\door')"},
      {unreadable,
       "cannot open 'E/sfx/door.qvstr': Permission denied (entry 3)"},
      {finding(Kind::kStray, "E/x.qvstr"),
       "E/x.qvstr: stray: no entry has this path"},
      {finding(Kind::kLink, "E/sfx"), "E/sfx: a symbolic link, never followed"},
      {duplicate,
       "E/sfx/Door.qvstr: the same path on Windows as "
       "E/sfx/door.qvstr"},
      {note,
       "note: 'c.str': entry 3 'sfx\\door': body: out of range; it leaves no "
       "file to compare"},
  };
  for (const auto& [found, line] : cases) {
    EXPECT_EQ(FindingLine(found), line);
  }
  VerifyResult result;
  result.folder = "E";
  result.checked = 1;
  EXPECT_EQ(VerifyReport::Summary(result), "E: 1 file checked, 0 problems");
  result.checked = 12;
  result.problems = 1;
  result.notes = 2;
  EXPECT_EQ(VerifyReport::Summary(result),
            "E: 12 files checked, 1 problem, 2 entries not compared");
}

class VerifyCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ContainerBuilder::WithEntries({{"sfx/door.wav", "hd", "creak"},
                                   {"sfx/bell", "hb", "ding"},
                                   {"music/theme", "ht", "tune"},
                                   {"jingle", "", "la"}})
        .WriteTo(dir_.File("c.str"));
  }
  Result Run(std::vector<std::string> args) {
    args.push_back(dir_.File("c.str"));
    return RunCliWith(args);
  }
  // The path of `path` below the container's folder ("" for the folder),
  // as the system writes it.
  std::string Ext(std::string path) const {
    path = path.empty() ? "/EXT_c" : "/EXT_c/" + path;
    std::replace(path.begin(), path.end(), '/',
                 static_cast<char>(fs::path::preferred_separator));
    return dir_.path() + path;
  }
  TempDir dir_;
};

// After one file is deleted, one byte of another changed and a stray added,
// the report names exactly those three.
TEST_F(VerifyCommandTest, PassesTheExtractedTreeAndNamesWhatChanged) {
  ASSERT_EQ(Run({"extract", "-q"}).status, 0);
  Result clean = Run({"verify"});
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out, Ext("") + ": 4 files checked, 0 problems\n");

  fs::remove(Ext("sfx/bell.qvstr"));
  std::string theme = testing::ReadFile(Ext("music/theme.qvstr"));
  theme[73] = 'X';
  testing::WriteFile(Ext("music/theme.qvstr"), theme);
  testing::WriteFile(Ext("music/old.qvstr"), "left from before");
  Result changed = Run({"verify"});
  EXPECT_EQ(changed.status, 1);
  EXPECT_EQ(changed.out,
            Ext("sfx/bell.qvstr") + ": missing (entry 1 'sfx\\bell')\n" +
                Ext("music/theme.qvstr") +
                ": differs at byte 73 (entry 2 'music\\theme')\n" +
                Ext("music/old.qvstr") + ": stray: no entry has this path\n" +
                Ext("") + ": 4 files checked, 3 problems\n");
  EXPECT_EQ(changed.err, "");
}

TEST_F(VerifyCommandTest, TakesTheChoiceAndTheFolderOfExtract) {
  TempDir other;
  ASSERT_EQ(
      Run({"extract", "-q", "-C", other.path(), "--include", "sfx/*"}).status,
      0);
  Result chosen = Run({"verify", "-C", other.path(), "--include", "sfx/*"});
  EXPECT_EQ(chosen.status, 0) << chosen.out;
  EXPECT_TRUE(chosen.out.ends_with(": 2 files checked, 0 problems\n"))
      << chosen.out;
  Result all = Run({"verify", "-C", other.path()});
  EXPECT_EQ(all.status, 1);
  EXPECT_TRUE(all.out.ends_with(": 4 files checked, 2 problems\n")) << all.out;
  Result unused = Run({"verify", "-C", other.path(), "--include", "sfx/*",
                       "--include", "none"});
  EXPECT_EQ(unused.status, 1);
  EXPECT_NE(unused.err.find("the pattern 'none' chooses no entry"),
            std::string::npos)
      << unused.err;

  Result nowhere = Run({"verify", "-C", dir_.File("nowhere")});
  EXPECT_EQ(nowhere.status, 1);
  EXPECT_TRUE(nowhere.err.starts_with(
      "brimwald-ripper-cli: cannot look into '" + dir_.File("nowhere") + "': "))
      << nowhere.err;
  EXPECT_EQ(nowhere.out, "");
  EXPECT_FALSE(fs::exists(dir_.File("EXT_c")));  // verify writes nothing
}

}  // namespace
}  // namespace brimwald
