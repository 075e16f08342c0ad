// --include, --exclude and --index through the commands that take them.

#include "cli/choice_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "cli/cli_test_support.h"
#include "samples/container_builder.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::TempDir;
using Result = testing::CommandResult;
using testing::RunCliWith;

// A table of mixed names, each made with what it is known to be: whether
// its first part is "sfx" in some letter case, and whether "_old" stands in
// it in some letter case. Near misses sit among them: "sfxa", "sfx" as a
// later part, "sfx" with no part after it, "old" without "_".
struct Named {
  std::string name;  // as the container holds it
  std::string path;  // the file it is extracted to, below EXT_c/, in lower
                     // case: the first spelling of a folder names it
  bool sfx;
  bool old;
};

std::vector<Named> MixedNames(int count) {
  const std::vector<Named> kinds = {
      {"sfx/door%.wav", "sfx/door%.qvstr", true, false},
      {"SFX/Bell%", "sfx/bell%.qvstr", true, false},
      {"Sfx\\deep/er/x%", "sfx/deep/er/x%.qvstr", true, false},
      {"sfx/door%_old.wav", "sfx/door%_old.qvstr", true, true},
      {"sfx/a%_OLD/b", "sfx/a%_old/b.qvstr", true, true},
      {"sfx/old%", "sfx/old%.qvstr", true, false},
      {"sfxa/x%", "sfxa/x%.qvstr", false, false},
      {"music/sfx/y%", "music/sfx/y%.qvstr", false, false},
      {"music/z%_old", "music/z%_old.qvstr", false, true},
      {"sfx%", "sfx%.qvstr", false, false},
  };
  std::vector<Named> named;
  for (int i = 0; i < count; ++i) {
    Named entry = kinds[static_cast<size_t>(i) % kinds.size()];
    auto number = [i](std::string text) {
      return text.replace(text.find('%'), 1, std::to_string(i));
    };
    entry.name = number(entry.name);
    entry.path = number(entry.path);
    named.push_back(entry);
  }
  return named;
}

class ChoiceOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    names_ = MixedNames(230);
    std::vector<samples::TestEntry> entries;
    for (const Named& named : names_) entries.push_back({named.name, "h", "b"});
    ContainerBuilder::WithEntries(entries).WriteTo(dir_.File("c.str"));
  }

  // The indexes that `list` prints, and the files that `extract` writes,
  // with `options`; each run must succeed.
  std::set<int> Listed(const std::vector<std::string>& options) {
    std::vector<std::string> args = {"list"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(dir_.File("c.str"));
    Result result = RunCliWith(args);
    EXPECT_EQ(result.status, 0) << result.err;
    std::set<int> listed;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
      listed.insert(std::stoi(line.substr(0, line.find('\t'))));
    }
    return listed;
  }

  std::set<std::string> Extracted(const std::vector<std::string>& options) {
    TempDir out;
    std::vector<std::string> args = {"extract", "-q", "-C", out.path()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(dir_.File("c.str"));
    Result result = RunCliWith(args);
    EXPECT_EQ(result.status, 0) << result.err;
    std::set<std::string> files;
    for (const std::string& path : out.Tree()) {
      if (path.ends_with("/")) continue;
      std::string file = path.substr(6);  // below "EXT_c/"
      for (char& c : file) c = static_cast<char>(std::tolower(c));
      files.insert(file);
    }
    return files;
  }

  std::vector<Named> names_;
  TempDir dir_;
};

TEST_F(ChoiceOptionsTest, ListAndExtractChooseTheSameEntries) {
  struct Case {
    std::vector<std::string> options;
    bool (*wanted)(const Named& named, int index);
  };
  const Case cases[] = {
      {{"--include", "sfx\\*", "--exclude", "*_old*"},
       [](const Named& n, int) { return n.sfx && !n.old; }},
      {{"--include", "SFX/*"}, [](const Named& n, int) { return n.sfx; }},
      {{"--exclude", "*_old*"}, [](const Named& n, int) { return !n.old; }},
      {{"--index", "0-9,15,200-"},
       [](const Named&, int i) { return i <= 9 || i == 15 || i >= 200; }},
      {{"--index", "0-9", "--index", "15,200-", "--include", "sfx/*",
        "--exclude", "*_OLD*"},
       [](const Named& n, int i) {
         return (i <= 9 || i == 15 || i >= 200) && n.sfx && !n.old;
       }},
      {{"--include", "music/*", "--include", "sfx?"},
       [](const Named& n, int) {
         return n.name.starts_with("music/") || n.name.size() == 4;
       }},
  };
  for (const Case& c : cases) {
    std::set<int> indexes;
    std::set<std::string> files;
    for (size_t i = 0; i < names_.size(); ++i) {
      if (c.wanted(names_[i], static_cast<int>(i))) {
        indexes.insert(static_cast<int>(i));
        files.insert(names_[i].path);
      }
    }
    ASSERT_FALSE(indexes.empty());
    EXPECT_EQ(Listed(c.options), indexes) << c.options[1];
    EXPECT_EQ(Extracted(c.options), files) << c.options[1];
  }
}

// What chooses nothing is reported and fails the run; the entries that
// others chose are still listed or extracted.
TEST_F(ChoiceOptionsTest, APatternOrListThatChoosesNothingFails) {
  const std::string file = dir_.File("c.str");
  Result listed = RunCliWith({"list", "--include", "sfx/door0", "--include",
                              "nothing*", "--index", "0-5", file});
  EXPECT_EQ(listed.status, 1);
  EXPECT_EQ(listed.out.substr(0, 2), "0\t");
  EXPECT_EQ(listed.err, "brimwald-ripper-cli: '" + file +
                            "': the pattern 'nothing*' chooses no entry\n");
  Result extracted = RunCliWith({"extract", "-q", "--index", "229,400-", file});
  EXPECT_EQ(extracted.status, 0) << extracted.err;
  Result past = RunCliWith({"extract", "--index", "400-", file});
  EXPECT_EQ(past.status, 1);
  EXPECT_TRUE(past.out.ends_with("EXT_c: 0 files written\n")) << past.out;
  EXPECT_EQ(past.err, "brimwald-ripper-cli: '" + file +
                          "': the index list '400-' chooses no entry\n");
}

// Among the chosen entries, the first spelling of a path names it and the
// last entry gives its content, as if the others weren't in the table.
TEST_F(ChoiceOptionsTest, TheExtractionRuleHoldsAmongTheChosenEntries) {
  ContainerBuilder builder = ContainerBuilder::WithEntries({{"sfx/a", "h", "0"},
                                                            {"SFX/A", "h", "1"},
                                                            {"Sfx/a", "h", "2"},
                                                            {"b", "h", "3"}});
  builder.WriteTo(dir_.File("d.str"));
  struct Case {
    std::string list;
    std::string path;  // below EXT_d/
    char body;
  };
  for (const Case& c :
       {Case{"0-", "sfx/a.qvstr", '2'}, Case{"0,1", "sfx/a.qvstr", '1'},
        Case{"1-", "SFX/A.qvstr", '2'}, Case{"2,0", "sfx/a.qvstr", '2'},
        Case{"0,3", "sfx/a.qvstr", '0'}}) {
    TempDir out;
    Result result = RunCliWith({"extract", "-q", "-C", out.path(), "--index",
                                c.list, dir_.File("d.str")});
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::string> tree = out.Tree();
    EXPECT_NE(std::find(tree.begin(), tree.end(), "EXT_d/" + c.path),
              tree.end())
        << c.list;
    EXPECT_EQ(testing::ReadFile(out.File("EXT_d/" + c.path)).back(), c.body)
        << c.list;
    EXPECT_EQ(RunCliWith({"verify", "-C", out.path(), "--index", c.list,
                          dir_.File("d.str")})
                  .status,
              0)
        << c.list;
  }
}

TEST_F(ChoiceOptionsTest, APatternOrListThatCantBeReadIsAUsageError) {
  for (const std::string command : {"list", "extract", "verify"}) {
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>>{{"--include", "sfx/[ab"},
                                               {"--exclude", "["},
                                               {"--index", "3-1"},
                                               {"--index", "x"}}) {
      Result result =
          RunCliWith({command, options[0], options[1], dir_.File("c.str")});
      EXPECT_EQ(result.status, 2) << command << " " << options[1];
      EXPECT_NE(result.err.find(options[1]), std::string::npos) << result.err;
      EXPECT_EQ(result.out, "");
    }
  }
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"c.str"});
}

}  // namespace
}  // namespace brimwald
