#include "cli/cli.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "samples/container_builder.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"
#include "text/script_encoding.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::ReadFile;
using testing::TempDir;

using Result = testing::CommandResult;

Result RunWith(const std::vector<std::string>& args) {
  return testing::RunInProcess(
      [](const std::vector<std::string>& a, std::ostream& out,
         std::ostream& err) { return RunCli(a, out, err); },
      args);
}

class CliTest : public ::testing::Test {
 protected:
  std::string Container(const std::string& name,
                        const ContainerBuilder& builder) {
    std::string path = dir_.File(name);
    builder.WriteTo(path);
    return path;
  }
  TempDir dir_;
};

TEST_F(CliTest, InspectPrintsTheLabelAsTwoLines) {
  std::string path =
      Container("music.str", ContainerBuilder().VfsStart(-1).FileCount(7));
  Result result = RunWith({"inspect", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "VFS Start at: 0xFFFFFFFF\nIncluded Files: 7\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(CliTest, InspectOfANonContainerFails) {
  for (std::string bytes : {"", "ZEQ", "zeqsndstream and more bytes"}) {
    std::string path = dir_.File("bad.str");
    testing::WriteFile(path, bytes);
    Result result = RunWith({"inspect", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Invalid File!!!\n");
  }
}

TEST_F(CliTest, UnreadableFilesAreErrorsOnStderr) {
  std::string cut = Container("cut.str", ContainerBuilder().Truncate(26));
  for (std::string path : {dir_.File("missing.str"), cut, dir_.path() + "/"}) {
    Result result = RunWith({"inspect", path});
    EXPECT_EQ(result.status, 1) << path;
    EXPECT_EQ(result.out, "") << path;
    EXPECT_EQ(result.err.rfind("brimwald-ripper-cli: cannot ", 0), 0u)
        << result.err;
  }
  EXPECT_NE(
      RunWith({"inspect", dir_.File("missing.str")}).err.find("missing.str"),
      std::string::npos);
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"cut.str"});
}

TEST_F(CliTest, BadArgumentsAreUsageErrors) {
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {},
           {"inspect"},
           {"inspect", "a", "b"},
           {"rip"},
           {"frobnicate"},
           {"--frobnicate", "inspect", "a"}}) {
    Result result = RunWith(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("Usage: brimwald-ripper-cli"), std::string::npos);
  }
  EXPECT_EQ(RunWith({"--help"}).status, 0);
  for (const char* command : {"inspect", "rip", "list", "extract"}) {
    EXPECT_NE(RunWith({"--help"}).out.find(command), std::string::npos);
  }
  EXPECT_EQ(RunWith({"--version"}).out.rfind("brimwald-ripper-cli ", 0), 0u);
}

TEST_F(CliTest, RipWritesTheScriptBesideTheContainer) {
  std::string path = Container(
      "music.str", ContainerBuilder::WithEntries({{"sfx/a.wav", "h", "b"}}));
  Result result = RunWith({"rip", path});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, dir_.File("RIP_music.bat") + "\n");
  std::string script = ReadFile(dir_.File("RIP_music.bat"));
  // The container is named bare: the script runs from its folder.
  EXPECT_NE(script.find("quarnel \"music.str\" \"EXT_music\\sfx\\a.mainhd\""),
            std::string::npos);
}

TEST_F(CliTest, RipGoesOnAfterAFailureAndReportsIt) {
  std::string good =
      Container("good.str", ContainerBuilder::WithEntries({{"a", "h", "b"}}));
  std::string invalid =
      Container("invalid.str", ContainerBuilder().Magic("XXXXXXXXXXXX"));
  std::string broken =
      Container("broken.str",
                ContainerBuilder::WithEntries({{"a", "h", "b"}}).FileCount(9));
  Result result =
      RunWith({"rip", invalid, dir_.File("missing.str"), broken, good});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, dir_.File("RIP_good.bat") + "\n");
  EXPECT_NE(result.err.find("invalid.str"), std::string::npos);
  EXPECT_NE(result.err.find("Invalid File!!!"), std::string::npos);
  EXPECT_NE(result.err.find("missing.str"), std::string::npos);
  EXPECT_NE(result.err.find("broken.str"), std::string::npos);
  EXPECT_EQ(dir_.Names(),
            (std::vector<std::string>{"RIP_good.bat", "broken.str", "good.str",
                                      "invalid.str"}));
}

TEST_F(CliTest, ProgramExitStatusAndStreams) {
  std::string path = Container("x.str", ContainerBuilder().FileCount(1));
  Result result = testing::RunProgram(CLI_PATH, {"inspect", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "VFS Start at: 0x0\nIncluded Files: 1\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(testing::RunProgram(CLI_PATH, {"nonsense"}).status, 2);
}

// Names reach the program whole, whatever the system's code pages. A name
// that the script's code page can't hold is refused with the reason rather
// than written as another name.
TEST_F(CliTest, ProgramReadsListsExtractsAndRipsUnicodeNames) {
  for (const std::string base :
       {"m\xC3\xBAsica", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"}) {
    const std::string path = dir_.File(base + ".str");
    testing::WriteFile(
        path, ContainerBuilder::WithEntries({{"sfx/a.wav", "h", "b"}}).bytes());
    auto run = [&](std::vector<std::string> args) {
      args.push_back(path);
      return testing::RunProgram(CLI_PATH, args);
    };
    EXPECT_EQ(run({"inspect"}).out, "VFS Start at: 0x20\nIncluded Files: 1\n");
    EXPECT_NE(run({"list"}).out.find("0\tsfx\\a\t"), std::string::npos);
    Result extracted = run({"extract", "--quiet"});
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(ReadFile(dir_.File("EXT_" + base + "/sfx/a.qvstr")).size(), 74u);
    Result ripped = run({"rip"});
    std::optional<std::string> in_script = EncodeForScript(base + ".str");
    if (in_script) {
      EXPECT_EQ(ripped.status, 0) << ripped.err;
      EXPECT_NE(ReadFile(dir_.File("RIP_" + base + ".bat"))
                    .find("quarnel \"" + *in_script + "\""),
                std::string::npos);
    } else {
      EXPECT_EQ(ripped.status, 1);
      EXPECT_NE(ripped.err.find(base + ".str': its name can't be written in"),
                std::string::npos)
          << ripped.err;
    }
  }
}

}  // namespace
}  // namespace brimwald
