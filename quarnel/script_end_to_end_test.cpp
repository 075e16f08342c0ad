// Rips containers with the built brimwald-ripper-cli, then carries out each
// rip script line by line as the command interpreter would, calling the
// built quarnel, and checks that every joined file holds exactly its
// record, header and body as they stand in the container.
//
// The runner knows only the four line forms a rip writes (MD, quarnel,
// COPY /B with "+"-joined sources, DEL) and fails on anything else, so a
// change in the script's form shows here as well as in its unit tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "samples/container_builder.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using samples::ContainerBuilder;
using samples::TestEntry;
using testing::ReadFile;
using testing::TempDir;

constexpr size_t kRecordSize = 72;

// Splits a script line into words as the command interpreter does: "%%" is
// one "%", spaces outside double quotes separate words, quotes group and
// are dropped. Anything the interpreter would treat specially (a lone "%",
// an unquoted & | < > ^) means the writer failed to protect a name.
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '%') {
      if (i + 1 == line.size() || line[i + 1] != '%') {
        throw std::runtime_error("lone % in: " + line);
      }
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
      in_word = true;
      continue;
    } else if (c == ' ' && !quoted) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
      continue;
    } else if (!quoted &&
               std::string_view("&|<>^").find(c) != std::string::npos) {
      throw std::runtime_error("unquoted special character in: " + line);
    }
    word += c;
    in_word = true;
  }
  if (quoted) throw std::runtime_error("unbalanced quote in: " + line);
  if (in_word) words.push_back(word);
  return words;
}

// The lines of a script, each required to end in CR LF.
std::vector<std::string> ScriptLines(const std::string& script) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < script.size()) {
    size_t end = script.find("\r\n", start);
    if (end == std::string::npos) {
      throw std::runtime_error("last line has no CR LF");
    }
    std::string line = script.substr(start, end - start);
    if (line.find_first_of("\r\n") != std::string::npos) {
      throw std::runtime_error("stray line break in: " + line);
    }
    lines.push_back(std::move(line));
    start = end + 2;
  }
  return lines;
}

// Carries out a rip script inside `dir`, where the container lies, and
// keeps every write inside the script's EXT_ folder.
class ScriptRunner {
 public:
  ScriptRunner(std::string dir, std::string ext_folder)
      : dir_(std::move(dir)), ext_folder_(std::move(ext_folder)) {}

  void Run(const std::string& script) {
    for (const std::string& line : ScriptLines(script)) {
      line_ = line;
      RunLine(SplitWords(line));
    }
  }

 private:
  void RunLine(const std::vector<std::string>& words) {
    if (words.empty()) return;
    const std::string& command = words[0];
    if (command == "MD" && words.size() == 2) return MakeFolder(words[1]);
    if (command == "quarnel" && words.size() == 5) return Cut(words);
    if (command == "COPY" && words.size() >= 4 && words[1] == "/B") {
      return Join(words);
    }
    if (command == "DEL" && words.size() == 2) return Delete(words[1]);
    Fail("a line the runner doesn't know");
  }

  void MakeFolder(const std::string& name) {
    if (!fs::create_directory(Local(name, true))) Fail("folder exists");
    Changed(name);
  }

  void Cut(const std::vector<std::string>& words) {
    // The script names the container bare: it runs beside it.
    if (words[1].find_first_of("/\\") != std::string::npos) {
      Fail("container named with a folder");
    }
    std::string output = Local(words[2], false);
    testing::CommandResult cut = testing::RunProgram(
        QUARNEL_PATH,
        {words[1], output.substr(dir_.size() + 1), words[3], words[4]}, dir_);
    if (cut.status != 0) Fail("quarnel failed: " + cut.err);
    Changed(words[2]);
  }

  void Join(const std::vector<std::string>& words) {
    std::string joined;
    size_t at = 2;
    joined += ReadFile(Local(words[at], false));
    for (; at + 3 < words.size() && words[at + 1] == "+"; at += 2) {
      joined += ReadFile(Local(words[at + 2], false));
    }
    if (at + 2 != words.size()) Fail("malformed COPY");
    testing::WriteFile(Local(words[at + 1], false), joined);
    Changed(words[at + 1]);
  }

  void Delete(const std::string& name) {
    std::string path = Local(name, false);
    if (!fs::is_regular_file(path) || !fs::remove(path)) Fail("DEL failed");
    Changed(name);
  }

  // Windows finds a file or folder by any spelling that differs only in
  // ASCII letter case, and keeps the spelling that made it: `path` (below
  // dir_, "/" between parts) with each part spelled as it is on disk.
  std::string Resolved(const std::string& path) {
    std::string resolved;
    std::string folder = dir_;
    for (const fs::path& part : fs::path(path)) {
      std::map<std::string, std::string>& names = Listing(folder);
      auto found = names.find(Lower(part.string()));
      std::string spelled =
          found != names.end() ? found->second : part.string();
      resolved += (resolved.empty() ? "" : "/") + spelled;
      folder += "/" + spelled;
    }
    return resolved;
  }

  static std::string Lower(std::string text) {
    for (char& c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
  }

  // The names in `folder` by their lower-case form, read once until a line
  // changes the folders along a path.
  std::map<std::string, std::string>& Listing(const std::string& folder) {
    auto [listing, added] = listings_.try_emplace(folder);
    std::error_code error;
    if (added && fs::is_directory(folder, error)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        listing->second.emplace(Lower(name), name);
      }
    }
    return listing->second;
  }

  void Changed(const std::string& name) {
    std::string folder = dir_;
    listings_.erase(folder);
    for (const fs::path& part : fs::path(Resolved(Mapped(name)))) {
      folder += "/" + part.string();
      listings_.erase(folder);
    }
  }

  // The script's path as Windows reads it: "\\" between parts, empty parts
  // dropped, trailing dots and spaces of every part dropped.
  std::string Mapped(const std::string& name) const {
    std::string path;
    std::string part;
    for (size_t i = 0; i <= name.size(); ++i) {
      if (i < name.size() && name[i] != '\\') {
        part += name[i];
        continue;
      }
      // "." and ".." name folders; the runner refuses them below.
      while (part != "." && part != ".." && !part.empty() &&
             (part.back() == '.' || part.back() == ' ')) {
        part.pop_back();
      }
      if (!part.empty()) path += (path.empty() ? "" : "/") + part;
      part.clear();
    }
    return path;
  }

  // The path in `dir_` of the script's `name`, which must lie inside the
  // EXT_ folder (or be that folder, for MD).
  std::string Local(const std::string& name, bool is_folder) {
    fs::path path = fs::path(Mapped(name)).lexically_normal();
    auto part = path.begin();
    if (path.is_absolute() || part == path.end() || *part != ext_folder_) {
      Fail("path outside " + ext_folder_);
    }
    for (const fs::path& each : path) {
      if (each == "..") Fail("path climbs out");
    }
    if (!is_folder && std::next(part) == path.end()) Fail("file is a folder");
    return dir_ + "/" + Resolved(path.generic_string());
  }

  [[noreturn]] void Fail(const std::string& why) const {
    throw std::runtime_error(why + " in line: " + line_);
  }

  std::string dir_;
  std::string ext_folder_;
  std::string line_;
  std::map<std::string, std::map<std::string, std::string>> listings_;
};

struct Container {
  std::string file_name;
  std::vector<TestEntry> entries;
  // The entry names the joined files must get, "/" between parts.
  std::vector<std::string> entry_names;
};

std::string Patterned(size_t size, int seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>(
        (i * 13 + i / 256 + static_cast<size_t>(seed)) & 0xFF);
  }
  return bytes;
}

std::vector<Container> TestContainers() {
  Container music{"music.str", {}, {}};
  auto add = [&music](std::string name, std::string header, std::string body,
                      std::string entry_name) {
    music.entries.push_back(
        {std::move(name), std::move(header), std::move(body)});
    music.entry_names.push_back(std::move(entry_name));
  };
  add("sfx/door.wav", std::string("HD\0\xFF\r\n", 6), "door\0body", "sfx/door");
  add("music/theme.wav", "", "theme body", "music/theme");
  add("voice/en/line 1.wav", "voice header", "", "voice/en/line 1");
  add("deep/a/b/c/silence", "", "", "deep/a/b/c/silence");
  add("100%/fx%%.wav", "h%", "b%%", "100%/fx%%");
  add("sfx/rock&roll.wav", "R", "&", "sfx/rock&roll");
  add("a.w.wavav", "aw", "wav", "a.wav");
  add("LOUD.WAV", "L", "OUD", "LOUD.WAV");
  add("plain", "p", "q", "plain");
  // Larger than quarnel's copy chunk, so its chunks are joined too.
  add("big/stream.wav", Patterned(300, 1), Patterned(200000, 2), "big/stream");

  // An empty name leaves only the extension: EXT_<base>/.qvstr.
  Container percent{
      "half 50%.str",
      {{"x.wav", "hh", "bb"}, {"sub/y", "", "only body"}, {"", "e", "f"}},
      {"x", "sub/y", ""}};
  Container empty{"empty.str", {}, {}};
  Container sample{"sample.str", samples::SampleEntries(24), {}};
  for (const TestEntry& entry : sample.entries) {
    std::string name = entry.name;
    if (name.ends_with(".wav")) name.resize(name.size() - 4);
    sample.entry_names.push_back(name);
  }
  return {music, percent, empty, sample};
}

// Where `actual` first departs from `expected`, or "" when they are equal; a
// readable failure even for a body of many kilobytes.
std::string Difference(const std::string& actual, const std::string& expected) {
  if (actual == expected) return "";
  auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(),
                              expected.end());
  return "differs from byte " + std::to_string(a - actual.begin()) + " on (" +
         std::to_string(actual.size()) + " bytes, expected " +
         std::to_string(expected.size()) + ")";
}

// Runs the rip script of the container with base name `base` in `dir`: with
// the system's command interpreter and quarnel beside the container where
// there is one, with the runner above elsewhere.
void RunRipScript(const std::string& dir, const std::string& base,
                  bool interpreter_if_any = true) {
  const std::string script = "RIP_" + base + ".bat";
  std::optional<std::string> interpreter = testing::CommandInterpreter();
  if (interpreter && interpreter_if_any) {
    testing::CommandResult run =
        testing::RunProgram(*interpreter, {"/c", script}, dir);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    // cmd goes on after a failed line: quarnel's own word shows it.
    EXPECT_EQ(run.err.find("quarnel:"), std::string::npos) << run.err;
    return;
  }
  // The folder as Windows reads its name, trailing dots and spaces dropped.
  std::string folder = "EXT_" + base;
  while (folder.back() == ' ' || folder.back() == '.') folder.pop_back();
  ScriptRunner(dir, folder).Run(ReadFile(dir + "/" + script));
}

std::string BaseName(const std::string& file_name) {
  return file_name.substr(0, file_name.rfind('.'));
}

TEST(ScriptEndToEndTest, RunScriptsCutExactlyEachRecordHeaderAndBody) {
  TempDir dir;
  std::vector<Container> containers = TestContainers();
  std::vector<std::string> rip = {"rip"};
  std::vector<ContainerBuilder> builders;
  for (const Container& container : containers) {
    builders.push_back(ContainerBuilder::WithEntries(container.entries));
    builders.back().WriteTo(dir.File(container.file_name));
    rip.push_back(dir.File(container.file_name));
  }
  testing::CommandResult ripped = testing::RunProgram(CLI_PATH, rip);
  ASSERT_EQ(ripped.status, 0) << ripped.err;

  std::set<std::string> expected_files;
  if (testing::CommandInterpreter()) {
    fs::copy_file(QUARNEL_PATH, dir.File("quarnel.exe"));
    expected_files.insert("quarnel.exe");
  }
  for (size_t c = 0; c < containers.size(); ++c) {
    const Container& container = containers[c];
    std::string base = BaseName(container.file_name);
    expected_files.insert(container.file_name);
    expected_files.insert("RIP_" + base + ".bat");
    RunRipScript(dir.path(), base);

    // WithEntries lays the table right after the 32-byte header.
    const std::string& bytes = builders[c].bytes();
    for (size_t i = 0; i < container.entries.size(); ++i) {
      const VfsRecord& record = builders[c].records()[i];
      std::string expected =
          bytes.substr(32 + kRecordSize * i, kRecordSize) +
          bytes.substr(static_cast<size_t>(record.HeaderOffset),
                       static_cast<size_t>(record.HeaderSize)) +
          bytes.substr(static_cast<size_t>(record.BodyOffset),
                       static_cast<size_t>(record.BodySize));
      std::string joined =
          "EXT_" + base + "/" + container.entry_names[i] + ".qvstr";
      EXPECT_EQ(Difference(ReadFile(dir.File(joined)), expected), "") << joined;
      expected_files.insert(joined);
    }
  }

  // No piece, temporary file or stray output anywhere.
  std::set<std::string> files;
  for (const std::string& path : dir.Tree()) {
    if (!path.ends_with("/")) files.insert(path);
  }
  EXPECT_EQ(files, expected_files);
  EXPECT_TRUE(fs::is_empty(dir.File("EXT_empty")));
}

// Every file and folder below `root` whose path starts with "EXT_", with
// the files' bytes.
std::map<std::string, std::string> ExtractedTree(const TempDir& root) {
  std::map<std::string, std::string> tree;
  for (const std::string& path : root.Tree()) {
    if (!path.starts_with("EXT_")) continue;
    tree[path] = path.ends_with("/") ? "" : ReadFile(root.File(path));
  }
  return tree;
}

// The paths where `tree` departs from `expected`: missing, different or
// extra (paths, not bytes, which may be long).
std::vector<std::string> Differing(
    const std::map<std::string, std::string>& tree,
    const std::map<std::string, std::string>& expected) {
  std::vector<std::string> differing;
  for (const auto& [path, bytes] : expected) {
    auto found = tree.find(path);
    if (found == tree.end() || found->second != bytes) {
      differing.push_back(path);
    }
  }
  for (const auto& entry : tree) {
    if (!expected.contains(entry.first)) differing.push_back(entry.first);
  }
  return differing;
}

// Runs `verify` on `containers` against the trees in `folder` ("" for the
// containers' own) and expects no problem: one summary line each saying so.
void ExpectVerified(const std::vector<std::string>& containers,
                    const std::string& folder) {
  std::vector<std::string> args = {"verify"};
  if (!folder.empty()) args.insert(args.end(), {"-C", folder});
  args.push_back("--");
  args.insert(args.end(), containers.begin(), containers.end());
  testing::CommandResult verified = testing::RunProgram(CLI_PATH, args);
  EXPECT_EQ(verified.status, 0) << verified.out << verified.err;
  size_t summaries = 0;
  for (size_t at = verified.out.find(" checked, 0 problems\n");
       at != std::string::npos;
       at = verified.out.find(" checked, 0 problems\n", at + 1)) {
    ++summaries;
  }
  EXPECT_EQ(summaries, containers.size()) << verified.out;
  EXPECT_EQ(std::count(verified.out.begin(), verified.out.end(), '\n'),
            static_cast<std::ptrdiff_t>(containers.size()))
      << verified.out;
}

// Names as Windows reads them, duplicates, and a container whose name
// starts with "-" (a cut must not read it as an option). Wine's cmd keeps
// the trailing dots and spaces of a path's parts that Windows drops, so
// those names are compared where the runner reads the script.
std::vector<Container> EdgeContainers() {
  std::vector<Container> containers = TestContainers();
  std::vector<samples::TestEntry> entries = {{"a//b/", "h2", "b2"},
                                             {"/lead/x.wav", "h3", "b3"},
                                             {"Dup/same", "first", "1"},
                                             {"Dup/same", "second", "2"},
                                             {"dots/.../x", "", ""}};
  std::string name = "-dash.str";
  if (!testing::CommandInterpreter()) {
    entries.push_back({"trail. /name. ", "h1", "b1"});
    name = "-dash .str";
  }
  containers.push_back({name, entries, {}});
  return containers;
}

TEST(ScriptEndToEndTest, ExtractLeavesTheTreeTheScriptLeaves) {
  TempDir scripted;
  TempDir extracted;
  std::vector<Container> containers = EdgeContainers();
  std::vector<std::string> rip = {"rip", "--"};
  std::vector<std::string> extract = {"extract", "-q", "-C", extracted.path(),
                                      "--"};
  for (const Container& container : containers) {
    samples::ContainerBuilder::WithEntries(container.entries)
        .WriteTo(scripted.File(container.file_name));
    rip.push_back(scripted.File(container.file_name));
    extract.push_back(scripted.File(container.file_name));
  }
  ASSERT_EQ(testing::RunProgram(CLI_PATH, rip).status, 0);
  ASSERT_EQ(testing::RunProgram(CLI_PATH, extract).status, 0);
  if (testing::CommandInterpreter()) {
    fs::copy_file(QUARNEL_PATH, scripted.File("quarnel.exe"));
  }
  for (const Container& container : containers) {
    RunRipScript(scripted.path(), BaseName(container.file_name));
  }
  std::map<std::string, std::string> tree = ExtractedTree(extracted);
  EXPECT_EQ(Differing(tree, ExtractedTree(scripted)),
            std::vector<std::string>{});
  // verify takes both trees for what the extraction leaves.
  std::vector<std::string> files(extract.begin() + 5, extract.end());
  ExpectVerified(files, "");
  ExpectVerified(files, extracted.path());
  // The Windows reading of the names, and the later duplicate winning.
  EXPECT_EQ(tree.count("EXT_-dash/a/b/.qvstr"), 1u);
  EXPECT_EQ(tree.count("EXT_-dash/lead/x.qvstr"), 1u);
  EXPECT_EQ(tree["EXT_-dash/Dup/same.qvstr"].substr(72), "second2");
}

// A table whose names spell each path in several ways, interleaved at
// random, as game tables do: the same folder or file under another letter
// case, with a leading or doubled "/", a "\\" for a "/", a folder part with
// trailing dots or spaces, and a "X.WAV" written "X.WAV.wav". The first
// spelling names each folder and file, the last entry gives its content.
std::vector<TestEntry> SpelledEntries(int paths) {
  std::mt19937 random(20261208);
  auto pick = [&random](int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
  };
  auto flip_case = [&](std::string text) {
    for (char& c : text) {
      if (std::isalpha(static_cast<unsigned char>(c)) && pick(2) == 0) {
        c = static_cast<char>(c ^ 0x20);
      }
    }
    return text;
  };
  std::vector<TestEntry> entries;
  for (int p = 0; p < paths; ++p) {
    std::vector<std::string> parts = {"Fold" + std::to_string(p % 29),
                                      "sub" + std::to_string(p % 3),
                                      "Name" + std::to_string(p)};
    if (p % 5 == 0) parts.back() += ".WAV";
    int spellings = 2 + pick(4);
    for (int s = 0; s < spellings; ++s) {
      std::string name = pick(4) == 0 ? "/" : "";
      for (size_t i = 0; i < parts.size(); ++i) {
        std::string part = parts[i];
        if (pick(3) == 0) {
          // ".wav" in lower case would be removed: a path of its own.
          size_t stem = part.ends_with(".WAV") ? part.size() - 4 : part.size();
          part = flip_case(part.substr(0, stem)) + part.substr(stem);
        }
        if (i + 1 < parts.size() && pick(6) == 0) {
          part += pick(2) == 0 ? ". " : "..";
        }
        if (i + 1 == parts.size() && part.ends_with(".WAV") && pick(2) == 0) {
          part += ".wav";
        }
        name += part;
        if (i + 1 < parts.size()) {
          int separator = pick(8);
          name += separator == 0 ? "//" : separator == 1 ? "\\" : "/";
        }
      }
      std::string id = std::to_string(entries.size());
      entries.push_back({name, "h" + id, "body " + id});
    }
  }
  std::shuffle(entries.begin(), entries.end(), random);
  return entries;
}

TEST(ScriptEndToEndTest, SpelledDuplicatesLeaveTheTreeTheScriptLeaves) {
  // Under wine every cut starts a Windows process: fewer paths there.
  const bool wine = testing::CommandInterpreter().has_value();
  const int paths = wine ? 100 : SPELLED_PATHS;
  std::vector<TestEntry> entries = SpelledEntries(paths);
  ASSERT_GT(entries.size(), static_cast<size_t>(paths) * 3);
  TempDir scripted;
  TempDir extracted;
  samples::ContainerBuilder::WithEntries(entries).WriteTo(
      scripted.File("spelled.str"));
  ASSERT_EQ(testing::RunProgram(CLI_PATH, {"rip", scripted.File("spelled.str")})
                .status,
            0);
  testing::CommandResult extract = testing::RunProgram(
      CLI_PATH,
      {"extract", "-q", "-C", extracted.path(), scripted.File("spelled.str")});
  ASSERT_EQ(extract.status, 0) << extract.err;
  // Under wine, cmd now and then joins the pieces of an entry before the
  // last of them shows (about one entry in a thousand here): the runner
  // carries the script out there too, with quarnel.exe for every cut.
  RunRipScript(scripted.path(), "spelled", false);
  std::map<std::string, std::string> tree = ExtractedTree(extracted);
  std::map<std::string, std::string> expected = ExtractedTree(scripted);
  // Every spelling of a path reached the one file its first spelling made.
  EXPECT_EQ(std::count_if(
                expected.begin(), expected.end(),
                [](const auto& entry) { return !entry.first.ends_with("/"); }),
            paths);
  std::vector<std::string> differing = Differing(tree, expected);
  EXPECT_EQ(differing.size(), 0u);
  if (!differing.empty()) {
    // Each file's header names the entry it came from ("h<index>").
    auto header = [](const std::map<std::string, std::string>& files,
                     const std::string& path) {
      auto found = files.find(path);
      if (found == files.end()) return std::string("(none)");
      const std::string& bytes = found->second;
      return std::to_string(bytes.size()) + " bytes, " +
             bytes.substr(bytes.size() < 72 ? 0 : 72, 16);
    };
    ADD_FAILURE() << differing[0] << ": extracted "
                  << header(tree, differing[0]) << ", scripted "
                  << header(expected, differing[0]);
  }
  ExpectVerified({scripted.File("spelled.str")}, "");
  ExpectVerified({scripted.File("spelled.str")}, extracted.path());
}

TEST(ScriptEndToEndTest, RunnerRefusesWhatTheInterpreterWouldReadOtherwise) {
  for (const std::string line :
       {"ECHO hello", "MD \"EXT_a\" extra", "DEL \"EXT_a\\x\" \"EXT_a\\y\"",
        "COPY \"EXT_a\\x\" \"EXT_a\\y\"", "COPY /B \"EXT_a\\x\" + \"EXT_a\\y\"",
        "MD \"EXT_b\"", "MD \"EXT_a\\..\\..\"", "DEL \"EXT_a\"",
        "DEL \"EXT_a\\50%\"", "DEL \"EXT_a\\x", "DEL EXT_a\\a&b",
        "quarnel \"sub\\c.str\" \"EXT_a\\x\" 0x0 0x0"}) {
    TempDir dir;
    ScriptRunner runner(dir.path(), "EXT_a");
    EXPECT_THROW(runner.Run(line + "\r\n"), std::runtime_error) << line;
  }
  EXPECT_EQ(SplitWords("DEL \"EXT_a\\5%% off\""),
            (std::vector<std::string>{"DEL", "EXT_a\\5% off"}));
}

}  // namespace
}  // namespace brimwald
