#include "quarnel/quarnel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald::quarnel {
namespace {

using testing::ReadFile;
using testing::TempDir;

using Result = testing::CommandResult;

Result RunWith(const std::vector<std::string>& args) {
  return testing::RunInProcess(RunQuarnel, args);
}

class QuarnelTest : public ::testing::Test {
 protected:
  QuarnelTest() {
    testing::WriteFile(dir_.File("in.str"), "0123456789");
    testing::WriteFile(dir_.File("old.bin"), "older output");
    std::filesystem::create_directory(dir_.File("folder"));
  }
  TempDir dir_;
};

TEST_F(QuarnelTest, CutsTheRangeSilently) {
  Result result = RunWith(
      {dir_.File("in.str"), dir_.File("EXT_in/a/b.strhd"), "0x1", "0x3"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(ReadFile(dir_.File("EXT_in/a/b.strhd")), "123");
}

// Every failure reports the file at fault and why, and leaves the folder as
// it was: no output, no temporary file, no new folder, an older output
// untouched.
TEST_F(QuarnelTest, FailuresLeaveNothingBehind) {
  const std::vector<std::string> before = dir_.Tree();
  const std::string in = dir_.File("in.str");
  const std::string fresh = dir_.File("new/sub/out.strbd");
  const std::string old = dir_.File("old.bin");
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{
           {{in, fresh, "0xFFFFFFF0", "0x2"}, "in.str': the first offset"},
           {{in, old, "0x5", "0x3"}, "in.str': the last offset 0x3"},
           {{in, fresh, "0x0", "0xA"}, "in.str': the range 0x0 to 0xA"},
           {{in, old, "0x9", "0xA"}, "in.str': the range 0x9 to 0xA"},
           {{in, fresh, "0xB", "0xA"}, "past the end"},
           {{dir_.File("missing.str"), fresh, "0x0", "0x0"},
            "cannot open '" + dir_.File("missing.str") + "': No such file"},
           {{dir_.File("folder"), fresh, "0x0", "0x0"}, "it is a folder"},
           {{in, dir_.File("folder"), "0x0", "0x0"},
            "'" + dir_.File("folder") + "': it names a folder"},
           {{in, dir_.File("new/"), "0x0", "0x0"}, "it names a folder"},
           {{in, dir_.File("in.str/out"), "0x0", "0x0"}, "in.str/out'"},
           {{in, dir_.File("old.bin/sub/out"), "0x0", "0x0"}, "its folder"},
           // Fails only after its folders are made: they must go again.
           {{in, dir_.File("new/sub/") + std::string(300, 'n'), "0x0", "0x0"},
            "cannot create"},
       }) {
    Result result = RunWith(c.args);
    EXPECT_EQ(result.status, 1) << c.args[1];
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("quarnel: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(dir_.Tree(), before) << result.err;
  }
  EXPECT_EQ(ReadFile(old), "older output");
}

TEST_F(QuarnelTest, BadArgumentsAreUsageErrors) {
  const std::vector<std::string> before = dir_.Tree();
  const std::string in = dir_.File("in.str");
  const std::string out = dir_.File("out");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {},
           {in, out, "0x0"},
           {in, out, "0x0", "0x1", "0x2"},
           {in, out, "0", "0x1"},
           {in, out, "0x0", "0x100000000"},
           {in, out, "0x0", "-1"},
           {"--frobnicate", in, out, "0x0", "0x1"}}) {
    Result result = RunWith(args);
    EXPECT_EQ(result.status, 2) << args.size();
    EXPECT_NE(result.err.find("Usage: quarnel INPUT OUTPUT FIRST LAST"),
              std::string::npos)
        << result.err;
  }
  EXPECT_NE(RunWith({in, out, "0x0", "12"}).err.find("LAST '12'"),
            std::string::npos);
  EXPECT_EQ(dir_.Tree(), before);

  Result help = RunWith({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: quarnel"), std::string::npos);
  for (const char* version : {"-v", "-V", "--version"}) {
    EXPECT_EQ(RunWith({version}).out.rfind("quarnel ", 0), 0u) << version;
  }
  // "--" ends the options, for files whose names start with "-".
  testing::WriteFile(dir_.File("-in"), "abc");
  EXPECT_EQ(RunWith({"--", dir_.File("-in"), out, "0x1", "0x1"}).status, 0);
  EXPECT_EQ(ReadFile(out), "b");
}

TEST_F(QuarnelTest, ProgramExitStatusAndStreams) {
  Result cut = testing::RunProgram(
      QUARNEL_PATH, {"in.str", "EXT_in/x y", "0x8", "0x9"}, dir_.path());
  EXPECT_EQ(cut.status, 0);
  EXPECT_EQ(ReadFile(dir_.File("EXT_in/x y")), "89");
  EXPECT_EQ(cut.err, "");
  Result past = testing::RunProgram(
      QUARNEL_PATH, {dir_.File("in.str"), dir_.File("out"), "0x0", "0x10"});
  EXPECT_EQ(past.status, 1);
  EXPECT_NE(past.err.find("past the end"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("out")));
  EXPECT_EQ(testing::RunProgram(QUARNEL_PATH, {"a", "b", "0x0"}).status, 2);
}

// Names reach the program whole, whatever the system's code pages.
TEST_F(QuarnelTest, ProgramCutsUnicodeNames) {
  testing::WriteFile(dir_.File("m\xC3\xBAsica.str"), "0123");
  const std::string output = "EXT_\xE6\x97\xA5\xE6\x9C\xAC/\xC3\xA9.strbd";
  Result cut = testing::RunProgram(
      QUARNEL_PATH, {"m\xC3\xBAsica.str", output, "0x1", "0x2"}, dir_.path());
  EXPECT_EQ(cut.status, 0) << cut.err;
  EXPECT_EQ(ReadFile(dir_.File(output)), "12");
}

}  // namespace
}  // namespace brimwald::quarnel
