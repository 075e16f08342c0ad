#include "cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "cli/cli_test_support.h"
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
using testing::RunCliWith;

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
  Result result = RunCliWith({"inspect", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "VFS Start at: 0xFFFFFFFF\nIncluded Files: 7\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(CliTest, InspectOfANonContainerFails) {
  for (std::string bytes : {"", "ZEQ", "zeqsndstream and more bytes"}) {
    std::string path = dir_.File("bad.str");
    testing::WriteFile(path, bytes);
    Result result = RunCliWith({"inspect", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Invalid File!!!\n");
  }
}

// Several files are headed as `head` heads them; one that isn't a container
// still gets its heading and result, one that can't be read only its error.
TEST_F(CliTest, InspectOfSeveralFilesHeadsEachResult) {
  std::string a =
      Container("a.str", ContainerBuilder().VfsStart(0x40).FileCount(2));
  std::string b = Container("b.str", ContainerBuilder().FileCount(1));
  std::string not_stream = dir_.File("notastream.bin");
  testing::WriteFile(not_stream, "just some bytes");
  Result result = RunCliWith({"inspect", a, b, not_stream});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "==> " + a +
                            " <==\nVFS Start at: 0x40\nIncluded Files: 2\n"
                            "\n==> " +
                            b +
                            " <==\nVFS Start at: 0x0\nIncluded Files: 1\n"
                            "\n==> " +
                            not_stream + " <==\nInvalid File!!!\n");
  EXPECT_EQ(result.err, "");

  Result good = RunCliWith({"inspect", a, b});
  EXPECT_EQ(good.status, 0);
  EXPECT_TRUE(good.out.starts_with("==> " + a + " <==\n")) << good.out;

  std::string missing = dir_.File("missing.str");
  Result unreadable = RunCliWith({"inspect", missing, a});
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_EQ(unreadable.out,
            "==> " + a + " <==\nVFS Start at: 0x40\nIncluded Files: 2\n");
  EXPECT_TRUE(unreadable.err.starts_with("brimwald-ripper-cli: cannot open '" +
                                         missing + "'"))
      << unreadable.err;
}

TEST_F(CliTest, UnreadableFilesAreErrorsOnStderr) {
  std::string cut = Container("cut.str", ContainerBuilder().Truncate(26));
  for (std::string path : {dir_.File("missing.str"), cut, dir_.path() + "/"}) {
    Result result = RunCliWith({"inspect", path});
    EXPECT_EQ(result.status, 1) << path;
    EXPECT_EQ(result.out, "") << path;
    EXPECT_EQ(result.err.rfind("brimwald-ripper-cli: cannot ", 0), 0u)
        << result.err;
  }
  EXPECT_NE(
      RunCliWith({"inspect", dir_.File("missing.str")}).err.find("missing.str"),
      std::string::npos);
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"cut.str"});
}

// A usage error says what is wrong, then shows the synopses of the command
// at fault only (all seven when there is none) and where its help is; it
// comes before any work.
TEST_F(CliTest, BadArgumentsAreUsageErrors) {
  const std::string file =
      Container("c.str", ContainerBuilder::WithEntries({{"sfx/a", "h", "b"}}));
  const std::string dash = "use -- before a file name that starts with '-'";
  struct Case {
    std::vector<std::string> args;
    std::string problem;
    std::string command;  // whose synopses show; "" for all seven
    size_t synopses;
  };
  for (const Case& c : std::vector<Case>{
           {{}, "a command is required", "", 7},
           {{"xtract", file}, "unknown command 'xtract'", "", 7},
           {{"--frobnicate", "inspect", "a"},
            "unknown option '--frobnicate' (" + dash + ")",
            "",
            7},
           {{"inspect", "-demo.str"},
            "unknown option '-demo.str' (" + dash + ")",
            "inspect",
            1},
           {{"rip"}, "FILE is required", "rip", 1},
           {{"extract", file, "sfx/*"},
            "cannot open 'sfx/*': there is no such file; to choose entries, "
            "use --include 'sfx/*'",
            "extract",
            1},
           {{"list", file, "s?x"},
            "cannot open 's?x': there is no such file; to choose entries, "
            "use --include 's?x'",
            "list",
            1},
           {{"verify", file, "gone.str"},
            "cannot open 'gone.str': there is no such file",
            "verify",
            1},
           {{"extract", "--index", "5-2", file},
            "the index list '5-2' holds the range '5-2', which ends before it "
            "starts",
            "extract",
            1},
       }) {
    Result result = RunCliWith(c.args);
    EXPECT_EQ(result.status, 2) << c.problem;
    EXPECT_TRUE(result.err.starts_with("brimwald-ripper-cli: " + c.problem +
                                       "\nUsage: brimwald-ripper-cli " +
                                       c.command))
        << result.err;
    size_t synopses = 0;
    std::istringstream lines(result.err);
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("Usage: brimwald-ripper-cli ") ||
          line.starts_with("       brimwald-ripper-cli ")) {
        ++synopses;
      }
    }
    EXPECT_EQ(synopses, c.synopses) << result.err;
    std::string help = c.command.empty() ? "" : " " + c.command;
    EXPECT_TRUE(result.err.ends_with("\nTry 'brimwald-ripper-cli" + help +
                                     " --help' for more information.\n"))
        << result.err;
  }
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"c.str"});
}

// Help, of the program and of every command, fits 80 columns; the version
// answers to the same options in every program.
TEST_F(CliTest, HelpIsWrappedAndVersionAnswers) {
  for (const char* command : {"", "inspect", "rip", "list", "extract", "verify",
                              "replace", "update"}) {
    std::vector<std::string> args{"--help"};
    if (*command != '\0') args.insert(args.begin(), command);
    Result help = RunCliWith(args);
    EXPECT_EQ(help.status, 0);
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
      EXPECT_LE(line.size(), 80u) << command << ": " << line;
    }
  }
  EXPECT_NE(RunCliWith({"--help"}).out.find("extract "), std::string::npos);
  for (const char* version : {"-v", "-V", "--version"}) {
    EXPECT_EQ(RunCliWith({version}).out.rfind("brimwald-ripper-cli ", 0), 0u);
  }
}

TEST_F(CliTest, RipWritesTheScriptBesideTheContainer) {
  std::string path = Container(
      "music.str", ContainerBuilder::WithEntries({{"sfx/a.wav", "h", "b"}}));
  Result result = RunCliWith({"rip", path});
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
      RunCliWith({"rip", invalid, dir_.File("missing.str"), broken, good});
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

TEST_F(CliTest, ListPrintsEntriesAndJsonWithProblems) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"sfx/door.wav", "h", "body"},
                                     {"\xE9t\xE9 50%", "", "b"},
                                     {std::string(300, 'n'), "h", "b"},
                                     {"SFX/Door", "h", "b"}});
  builder.Int32(32 + 72 + 16, -5);  // entry 1: negative body size
  std::string path = Container("music.str", builder);
  const VfsRecord& first = builder.records()[0];
  Result text = RunCliWith({"list", path});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out.substr(0, text.out.find('\n')),
            "0\tsfx\\door\t32\t" + std::to_string(first.HeaderOffset) +
                "\t1\t" + std::to_string(first.BodyOffset) + "\t4");
  EXPECT_NE(text.err.find("warning: '" + path +
                          "': entry 3 'SFX\\Door': "
                          "same path as entry 0"),
            std::string::npos)
      << text.err;

  Result json = RunCliWith({"list", "--json", path});
  EXPECT_EQ(json.status, 0) << json.err;
  nlohmann::json entries = nlohmann::json::parse(json.out);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0]["name"], "sfx\\door");
  EXPECT_EQ(entries[0]["body_size"], 4);
  EXPECT_EQ(entries[0]["problems"], nlohmann::json::array());
  EXPECT_EQ(entries[1]["name"], "\u00e9t\u00e9 50%");  // Latin-1
  EXPECT_EQ(entries[1]["body_size"], -5);
  auto problem = [&](size_t i) { return entries[i]["problems"][0].dump(); };
  EXPECT_EQ(entries[1]["problems"][0], "body: BodySize is -5");
  EXPECT_NE(problem(2).find("307 bytes; filesystems store at most 255"),
            std::string::npos);
  EXPECT_NE(problem(3).find("same path as entry 0"), std::string::npos);

  // The rip warns of the same problems and still writes the script.
  Result rip = RunCliWith({"rip", path});
  EXPECT_EQ(rip.status, 0);
  EXPECT_NE(rip.err.find("entry 1 '\xE9t\xE9 50%': body:"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("RIP_music.bat")));
}

// A table that claims more records than the file holds ends in an error;
// what was listed before it is all there, and the JSON stays whole.
TEST_F(CliTest, ListKeepsWhatItListedBeforeAnUnreadableRecord) {
  ContainerBuilder builder = ContainerBuilder::WithEntries({{"a", "h", "b"}});
  builder.Int32(28, 1000000);  // FileCount
  std::string path = Container("music.str", builder);
  Result text = RunCliWith({"list", path});
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(text.out.substr(0, 4), "0\ta\t");
  EXPECT_NE(text.err.find("lies outside the file"), std::string::npos)
      << text.err;
  Result json = RunCliWith({"list", "--json", path});
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(nlohmann::json::parse(json.out)[0]["name"], "a");
}

// An entry whose name lies past the end is listed in its place, with a
// problem, and fails alone.
TEST_F(CliTest, EveryReadableEntryIsAccountedFor) {
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < 10; ++i)
    entries.push_back({"e" + std::to_string(i), "h", "b"});
  ContainerBuilder builder = ContainerBuilder::WithEntries(entries);
  builder.Int32(32 + 72 * 4 + 48, 1 << 24);  // entry 4's name
  std::string path = Container("music.str", builder);
  Result json = RunCliWith({"list", "--json", path});
  EXPECT_EQ(json.status, 1);
  nlohmann::json listed = nlohmann::json::parse(json.out);
  ASSERT_EQ(listed.size(), 10u);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(listed[static_cast<size_t>(i)]["index"], i);
  EXPECT_TRUE(listed[4]["name"].is_null());
  EXPECT_EQ(listed[4]["problems"][0],
            "name: NameOffset 16777216 lies past the end of the file (" +
                std::to_string(builder.bytes().size()) + " bytes)");
  EXPECT_EQ(listed[5]["name"], "e5");

  Result extract = RunCliWith({"extract", "-q", path});
  EXPECT_EQ(extract.status, 1);
  EXPECT_NE(extract.err.find("'" + path + "': entry 4: name: NameOffset"),
            std::string::npos)
      << extract.err;
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(dir_.File("EXT_music")),
                    {}),
      9);
}

// Several containers are listed one after another, each line after its
// container's name; one that can't be read, or whose table breaks, is
// reported and stands in the JSON where its entries would, and the rest
// are still listed.
TEST_F(CliTest, ListOfSeveralContainersNamesEachOne) {
  std::string a = Container(
      "a.str", ContainerBuilder::WithEntries(
                   {{"sfx/door_open", "h", "b"}, {"music/title", "h", "b"}}));
  ContainerBuilder broken =
      ContainerBuilder::WithEntries({{"sfx/door", "h", "b"}});
  broken.Int32(28, 1000000);  // FileCount
  std::string cut = Container("cut.str", broken);
  std::string plain = dir_.File("plain.str");
  testing::WriteFile(plain, "not a container");
  std::string b = Container(
      "b.str", ContainerBuilder::WithEntries({{"sfx/door_close", "h", "b"}}));

  Result text = RunCliWith({"list", a, cut, plain, b});
  EXPECT_EQ(text.status, 1);
  std::vector<std::string> starts;
  std::istringstream lines(text.out);
  for (std::string line; std::getline(lines, line);) {
    starts.push_back(line.substr(0, line.find('\t', line.find('\t') + 1)));
  }
  EXPECT_EQ(starts, (std::vector<std::string>{a + "\t0", a + "\t1", cut + "\t0",
                                              b + "\t0"}));
  EXPECT_NE(text.err.find("cannot read '" + plain + "'"), std::string::npos)
      << text.err;
  EXPECT_NE(text.err.find("lies outside the file"), std::string::npos);

  Result json = RunCliWith({"list", "--json", a, cut, plain, b});
  EXPECT_EQ(json.status, 1);
  nlohmann::json listed = nlohmann::json::parse(json.out);
  std::vector<std::string> containers;
  for (const nlohmann::json& entry : listed)
    containers.push_back(entry["container"]);
  EXPECT_EQ(containers, (std::vector<std::string>{a, a, cut, cut, plain, b}));
  for (size_t unreadable : {3u, 4u}) {
    EXPECT_TRUE(listed[unreadable]["name"].is_null());
    EXPECT_TRUE(listed[unreadable]["index"].is_null());
    const std::string problem = listed[unreadable]["problems"][0];
    EXPECT_NE(json.err.find(problem), std::string::npos) << json.err;
  }
  EXPECT_EQ(listed[5]["name"], "sfx\\door_close");

  // Which container holds the door sounds: every one, and each is named.
  Result doors = RunCliWith({"list", "--include", "*door_*", a, b});
  EXPECT_EQ(doors.status, 0) << doors.err;
  EXPECT_TRUE(doors.out.starts_with(a + "\t0\tsfx\\door_open\t")) << doors.out;
  EXPECT_EQ(doors.out.find(b + "\t0\tsfx\\door_close\t"),
            doors.out.find('\n') + 1)
      << doors.out;
  EXPECT_EQ(std::count(doors.out.begin(), doors.out.end(), '\n'), 2);
}

// A table cut short before its first record: nothing to extract, no empty
// folder left, and still the summary.
TEST_F(CliTest, ATruncatedContainerLeavesNoFolderAndASummary) {
  ContainerBuilder builder = ContainerBuilder::WithEntries({{"a", "h", "b"}});
  builder.Truncate(40);
  std::string path = Container("cut.str", builder);
  Result extract = RunCliWith({"extract", "-q", path});
  EXPECT_EQ(extract.status, 1);
  EXPECT_TRUE(extract.out.ends_with("EXT_cut: 0 files written\n"))
      << extract.out;
  EXPECT_NE(extract.err.find("entry 0"), std::string::npos) << extract.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("EXT_cut")));
}

TEST_F(CliTest, ExtractWritesBesideTheFileOrIntoDirAndReportsFailures) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"a/b", "h", "x"}, {"c", "h", "y"}});
  builder.Int32(32 + 72 + 24, 1 << 20);  // entry 1's header is outside
  std::string path = Container("music.str", builder);
  Result beside = RunCliWith({"extract", path});
  EXPECT_EQ(beside.status, 1);
  EXPECT_TRUE(
      beside.out.ends_with("EXT_music: 1 file written, 1 entry failed\n"))
      << beside.out;
  EXPECT_EQ(beside.err, "brimwald-ripper-cli: '" + path +
                            "': entry 1 'c': header: the range 0x100000 to "
                            "0x100000 (1 byte) runs past the end of the "
                            "input, which has " +
                            std::to_string(builder.bytes().size()) +
                            " bytes\n");
  TempDir other;
  EXPECT_EQ(RunCliWith({"extract", "-C", other.path(), path}).status, 1);
  EXPECT_EQ(other.Tree(),
            (std::vector<std::string>{"EXT_music/", "EXT_music/a/",
                                      "EXT_music/a/b.qvstr"}));
}

TEST_F(CliTest, ExtractCountsAgreeWithTheirNouns) {
  struct Case {
    std::vector<samples::TestEntry> entries;
    std::vector<int> broken;
    std::string summary;
  };
  const samples::TestEntry entry = {"e", "h", "b"};
  for (const Case& c : std::vector<Case>{
           {{}, {}, "EXT_music: 0 files written\n"},
           {{entry}, {}, "EXT_music: 1 file written\n"},
           {{entry, {"f", "h", "b"}}, {}, "EXT_music: 2 files written\n"},
           {{entry}, {0}, "EXT_music: 0 files written, 1 entry failed\n"},
           {{entry, {"f", "h", "b"}, {"g", "h", "b"}},
            {0, 2},
            "EXT_music: 1 file written, 2 entries failed\n"},
       }) {
    TempDir dir;
    ContainerBuilder builder = ContainerBuilder::WithEntries(c.entries);
    for (int index : c.broken) {
      builder.Int32(static_cast<size_t>(32 + 72 * index + 24), 1 << 20);
    }
    builder.WriteTo(dir.File("music.str"));
    Result result = RunCliWith({"extract", dir.File("music.str")});
    // The folder comes first, as the system writes its path.
    ASSERT_TRUE(result.out.starts_with(dir.path())) << result.out;
    EXPECT_EQ(result.out.substr(result.out.rfind("EXT_music")), c.summary)
        << result.err;
    EXPECT_EQ(result.status, c.broken.empty() ? 0 : 1);
  }
}

// A missing -C folder, or one that is a file, is one error before any
// work: no file is extracted and no other message follows.
TEST_F(CliTest, ExtractChecksTheOutputFolderFirst) {
  std::string a =
      Container("a.str", ContainerBuilder::WithEntries({{"a", "h", "b"}}));
  std::string b =
      Container("b.str", ContainerBuilder::WithEntries({{"b", "h", "b"}}));
  struct Case {
    std::string folder;
    std::string reason;  // the system's words when empty
  };
  for (const Case& c : std::vector<Case>{
           {dir_.File("nowhere"), ""},
           {a, "it is not a folder"},
       }) {
    Result result = RunCliWith({"extract", "-C", c.folder, a, b});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    const std::string head =
        "brimwald-ripper-cli: cannot write into '" + c.folder + "': ";
    EXPECT_TRUE(result.err.starts_with(head + c.reason)) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
  }
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"a.str", "b.str"}));
}

// Entries whose bytes a text stream would change: line ends, Ctrl-Z, NULs.
ContainerBuilder BinaryEntries() {
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < 10; ++i) {
    std::string body = "line\nend\r\n\x1A" + std::string(1, '\0');
    for (int b = 0; b < 256; ++b) body += static_cast<char>((b + i) & 0xFF);
    entries.push_back({"folder" + std::to_string(i % 3) + "/entry" +
                           std::to_string(i) + ".wav",
                       "\r\n", body});
  }
  return ContainerBuilder::WithEntries(entries);
}

// The bytes of -O are the files that extract writes, entry after entry in
// table order, and -O makes no folder.
TEST_F(CliTest, ExtractToStdoutWritesTheChosenEntriesFiles) {
  std::string path = Container("c.str", BinaryEntries());
  Result bytes = RunCliWith(
      {"extract", "-O", "--index", "7,2", "--include", "folder?/*", path});
  EXPECT_EQ(bytes.status, 0) << bytes.err;
  EXPECT_EQ(bytes.err, "");
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"c.str"});
  ASSERT_EQ(RunCliWith({"extract", "-q", path}).status, 0);
  EXPECT_TRUE(bytes.out ==
              ReadFile(dir_.File("EXT_c/folder2/entry2.qvstr")) +
                  ReadFile(dir_.File("EXT_c/folder1/entry7.qvstr")));
  EXPECT_EQ(RunCliWith({"extract", "-O", path}).out.size(),
            10u * (72 + 2 + 268));
}

TEST_F(CliTest, ExtractToStdoutReportsBrokenEntriesAndRefusesATerminal) {
  ContainerBuilder builder = BinaryEntries();
  builder.Int32(32 + 72 * 3 + 16, 1 << 20);  // entry 3's body size
  std::string path = Container("c.str", builder);
  Result broken = RunCliWith({"extract", "-O", "--index", "2-4", path});
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.out.size(), 2u * (72 + 2 + 268));
  EXPECT_TRUE(broken.err.starts_with("brimwald-ripper-cli: '" + path +
                                     "': entry 3 'folder0\\entry3': body: "))
      << broken.err;

  bool made_binary = false;
  static bool* binary_flag = nullptr;
  binary_flag = &made_binary;
  auto run = [&path](bool terminal) {
    return testing::RunInProcess(
        [terminal](const std::vector<std::string>& a, std::ostream& out,
                   std::ostream& err) {
          StandardStreams streams;
          streams.out_is_terminal = terminal;
          streams.make_out_binary = [] { *binary_flag = true; };
          return RunCli(a, out, err, streams);
        },
        {"extract", "-O", "--index", "0", path});
  };
  Result terminal = run(true);
  EXPECT_EQ(terminal.status, 1);
  EXPECT_EQ(terminal.out, "");
  EXPECT_EQ(terminal.err,
            "brimwald-ripper-cli: entry bytes are not written to a terminal: "
            "send standard output to a file or a pipe\n");
  EXPECT_FALSE(made_binary);
  run(false);
  EXPECT_TRUE(made_binary);
}

// Through the program: on Windows, standard output must carry the bytes
// unchanged, "\n" never made "\r\n".
TEST_F(CliTest, ProgramExtractsToStdoutByteForByte) {
  std::string path = Container("c.str", BinaryEntries());
  ASSERT_EQ(RunCliWith({"extract", "-q", path}).status, 0);
  Result piped =
      testing::RunProgram(CLI_PATH, {"extract", "-O", "--index", "7", path}, "",
                          testing::OutputForm::kBytes);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(piped.out == ReadFile(dir_.File("EXT_c/folder1/entry7.qvstr")))
      << piped.out.size();
#ifndef _WIN32
  // As a shell pipes it into another tool.
  Result compared =
      testing::RunProgram("/bin/sh",
                          {"-c", std::string("'") + CLI_PATH +
                                     "' extract -O --index 7 c.str | cmp - "
                                     "EXT_c/folder1/entry7.qvstr && echo same"},
                          dir_.path());
  EXPECT_EQ(compared.status, 0) << compared.out << compared.err;
  EXPECT_EQ(compared.out, "same\n");
#endif
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
