// The programs expand wildcards in FILE arguments themselves, as Windows
// programs do: run here through cmd, which passes `*` and `?` on as typed.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "samples/container_builder.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;

class FileArgumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ContainerBuilder::WithEntries({{"sfx/door", "h", "b"}})
        .WriteTo(dir_.File("a.str"));
    ContainerBuilder::WithEntries({{"sfx/bell", "h", "b"}})
        .WriteTo(dir_.File("B.STR"));
    // What `*door*` would match, were a pattern option expanded.
    testing::WriteFile(dir_.File("door.txt"), "");
    std::filesystem::copy_file(CLI_PATH, dir_.File("cli.exe"));
    std::filesystem::copy_file(QUARNEL_PATH, dir_.File("quarnel.exe"));
  }

  // Runs the command `line` through cmd in the folder.
  testing::CommandResult Cmd(const std::string& line) {
    testing::WriteFile(dir_.File("run.bat"), "@" + line + "\r\n");
    return testing::RunProgram(*testing::CommandInterpreter(),
                               {"/c", "run.bat"}, dir_.path());
  }

  testing::TempDir dir_;
};

TEST_F(FileArgumentsTest, FileArgumentsMatchAsWindowsMatchesThem) {
  // Letter case ignored, in sorted order, the folder part kept.
  testing::CommandResult both = Cmd("cli.exe list .\\*.STR");
  EXPECT_EQ(both.status, 0) << both.err;
  EXPECT_TRUE(both.out.starts_with(".\\a.str\t0\tsfx\\door\t")) << both.out;
  EXPECT_NE(both.out.find("\n.\\B.STR\t0\tsfx\\bell\t"), std::string::npos)
      << both.out;

  testing::CommandResult none = Cmd("cli.exe list a.str *.nothing");
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(none.err.starts_with(
      "brimwald-ripper-cli: cannot open '*.nothing': there is no such file; "
      "to choose entries, use --include '*.nothing'"))
      << none.err;

  testing::CommandResult pattern = Cmd("cli.exe list --include *door* *.str");
  EXPECT_EQ(pattern.status, 1);
  EXPECT_TRUE(pattern.out.starts_with("a.str\t0\tsfx\\door\t")) << pattern.out;
  EXPECT_EQ(pattern.out.find('\n'), pattern.out.size() - 1) << pattern.out;
  EXPECT_EQ(pattern.err,
            "brimwald-ripper-cli: 'B.STR': the pattern '*door*' chooses no "
            "entry\n");

  testing::CommandResult several = Cmd("cli.exe update *.str");
  EXPECT_EQ(several.status, 2);
  EXPECT_TRUE(several.err.starts_with(
      "brimwald-ripper-cli: CONTAINER '*.str' matches 2 files; name one"))
      << several.err;
}

// quarnel's INPUT matches one file; its OUTPUT and offsets are left alone.
TEST_F(FileArgumentsTest, QuarnelCutsFromTheOneFileItsInputMatches) {
  const std::string b = testing::ReadFile(dir_.File("B.STR"));
  Cmd("quarnel.exe a.str B.ST? 0x0 0x3");
  EXPECT_EQ(testing::ReadFile(dir_.File("B.STR")), b);

  testing::CommandResult cut = Cmd("quarnel.exe A.S?R out.bin 0x0 0x3");
  EXPECT_EQ(cut.status, 0) << cut.err;
  EXPECT_EQ(testing::ReadFile(dir_.File("out.bin")),
            testing::ReadFile(dir_.File("a.str")).substr(0, 4));

  testing::CommandResult several = Cmd("quarnel.exe *.str out.bin 0x0 0x3");
  EXPECT_EQ(several.status, 2);
  EXPECT_TRUE(several.err.starts_with(
      "quarnel: INPUT '*.str' matches 2 files; name one"))
      << several.err;
}

}  // namespace
}  // namespace brimwald
