#include "cli/replace_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_test_support.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using samples::ContainerBuilder;
using testing::ReadFile;
using testing::RunCliWith;
using testing::TempDir;

// Nothing update finds is dropped in silence: each of these ends with exit
// status 1 and a line that names the file, and what can't be taken back
// leaves the container as it was.
TEST(UpdateCommandTest, EveryFindingItDidntActOnFailsAndNamesTheFile) {
  struct Case {
    const char* what;
    std::function<void(const TempDir&)> change;
    std::string says;
  };
  auto tree = [](const TempDir& dir, const std::string& path) {
    return dir.File("EXT_m/" + path);
  };
  auto edit = [&](const TempDir& dir, const std::string& path,
                  const std::string& body) {
    testing::WriteFile(
        tree(dir, path),
        testing::EditedQvstr(ReadFile(tree(dir, path)), "", body));
  };
  std::vector<Case> cases = {
      {"no folder", [&](const TempDir& d) { fs::remove_all(tree(d, "")); },
       "there is no folder"},
      {"a missing file",
       [&](const TempDir& d) { fs::remove(tree(d, "track3.qvstr")); },
       "track3.qvstr: missing"},
      {"a broken table",
       [&](const TempDir& d) {
         edit(d, "track3.qvstr", "edited");
         ContainerBuilder header;
         header.Bytes(0, ReadFile(d.File("m.str"))).FileCount(1000000);
         header.WriteTo(d.File("m.str"));
       },
       "m.str': entry 9: the record's NameOffset"},
      {"sizes that don't fit the length",
       [&](const TempDir& d) {
         testing::WriteFile(tree(d, "track3.qvstr"),
                            ReadFile(tree(d, "track3.qvstr")) + "!");
       },
       "track3.qvstr': it has"},
  };
#ifndef _WIN32  // Windows holds one spelling of a path, and no links
  cases.push_back({"an edit beside a second spelling",
                   [&](const TempDir& d) {
                     fs::copy_file(tree(d, "sfx/track0.qvstr"),
                                   tree(d, "sfx/TRACK0.qvstr"));
                     edit(d, "sfx/TRACK0.qvstr", "edited");
                   },
                   "TRACK0.qvstr': not taken back"});
  cases.push_back({"a link",
                   [&](const TempDir& d) {
                     fs::rename(tree(d, "track3.qvstr"), d.File("away"));
                     fs::create_symlink(d.File("away"),
                                        tree(d, "track3.qvstr"));
                   },
                   "track3.qvstr: missing, a symbolic link stands there"});
#endif
  for (const Case& c : cases) {
    TempDir dir;
    ContainerBuilder::WithEntries(samples::SampleEntries(6))
        .WriteTo(dir.File("m.str"));
    ASSERT_EQ(RunCliWith({"extract", "-q", dir.File("m.str")}).status, 0);
    c.change(dir);
    const std::string before = ReadFile(dir.File("m.str"));
    testing::CommandResult result = RunCliWith({"update", dir.File("m.str")});
    EXPECT_EQ(result.status, 1) << c.what;
    EXPECT_NE(result.err.find(c.says), std::string::npos)
        << c.what << ": " << result.err;
    EXPECT_EQ(ReadFile(dir.File("m.str")), before) << c.what;
  }
}

// -b keeps the old container as m.str~ for replace and update alike; with
// -o, which leaves the container as it is, it is a usage error.
TEST(ReplaceCommandTest, BackupKeepsTheOldContainer) {
  struct Case {
    std::vector<std::string> args;  // after the container, "T" the file
    int status;
  };
  const std::vector<Case> cases = {
      {{"update", "-b", "M"}, 0},
      {{"replace", "--backup", "M", "3", "T"}, 0},
      {{"replace", "-b", "-o", "M.new", "M", "3", "T"}, 2},
  };
  for (const Case& c : cases) {
    TempDir dir;
    ContainerBuilder::WithEntries(samples::SampleEntries(6))
        .WriteTo(dir.File("m.str"));
    ASSERT_EQ(RunCliWith({"extract", "-q", dir.File("m.str")}).status, 0);
    const std::string track = dir.File("EXT_m/track3.qvstr");
    testing::WriteFile(track, testing::EditedQvstr(ReadFile(track), "", "x"));
    const std::string before = ReadFile(dir.File("m.str"));
    std::vector<std::string> args;
    for (const std::string& arg : c.args) {
      args.push_back(arg == "M"       ? dir.File("m.str")
                     : arg == "M.new" ? dir.File("m.new")
                     : arg == "T"     ? track
                                      : arg);
    }
    testing::CommandResult result = RunCliWith(args);
    EXPECT_EQ(result.status, c.status) << c.args[0] << result.err;
    EXPECT_EQ(fs::exists(dir.File("m.str~")), c.status == 0) << c.args[0];
    if (c.status == 0) {
      EXPECT_EQ(ReadFile(dir.File("m.str~")), before);
      EXPECT_NE(ReadFile(dir.File("m.str")), before);
    }
  }
}

}  // namespace
}  // namespace brimwald
