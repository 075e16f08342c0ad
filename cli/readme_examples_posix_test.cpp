// The README, checked against the programs. Every "$ COMMAND" line of an
// indented block runs, in document order, in a folder holding the demo
// containers with the programs on the PATH, and must print the lines that
// follow it (standard output and error together; a "..." line stands for
// any number of lines). And the build dependencies that the README lists
// are the ones the scripts install.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using testing::ReadFile;
using testing::TempDir;

constexpr std::string_view kIndent = "    ";

struct Example {
  size_t line;  // of the command, counted from 1
  std::string command;
  std::vector<std::string> output;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::erase(line, '\r');
    lines.push_back(line);
  }
  return lines;
}

// The examples of `readme`: a "$ " line in an indented block and the
// indented lines after it, up to the next "$ " line or the block's end.
std::vector<Example> Examples(const std::vector<std::string>& lines) {
  std::vector<Example> examples;
  bool in_example = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.starts_with(std::string(kIndent) + "$ ")) {
      examples.push_back({i + 1, line.substr(kIndent.size() + 2), {}});
      in_example = true;
    } else if (in_example && line.starts_with(kIndent)) {
      examples.back().output.push_back(line.substr(kIndent.size()));
    } else if (in_example && line.empty()) {
      examples.back().output.push_back("");
    } else {
      in_example = false;
    }
  }
  for (Example& example : examples) {
    while (!example.output.empty() && example.output.back().empty()) {
      example.output.pop_back();
    }
  }
  return examples;
}

// Whether `got` matches `want`, where a "..." line matches any lines.
bool Matches(const std::vector<std::string>& want, size_t w,
             const std::vector<std::string>& got, size_t g) {
  if (w == want.size()) return g == got.size();
  if (want[w] == "...") {
    for (size_t skip = g; skip <= got.size(); ++skip) {
      if (Matches(want, w + 1, got, skip)) return true;
    }
    return false;
  }
  return g < got.size() && got[g] == want[w] &&
         Matches(want, w + 1, got, g + 1);
}

std::string Folder(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

TEST(ReadmeTest, ExamplesPrintWhatTheyShow) {
  std::vector<Example> examples = Examples(Lines(ReadFile(README_PATH)));
  ASSERT_GE(examples.size(), 8u);
  TempDir demo;
  ASSERT_EQ(testing::RunProgram(SAMPLES_PATH, {"demo", demo.path()}).status, 0);
  const std::string path = "PATH='" + Folder(CLI_PATH) + "':'" +
                           Folder(QUARNEL_PATH) + "':\"$PATH\"; export PATH; ";
  for (const Example& example : examples) {
    testing::CommandResult run = testing::RunProgram(
        "/bin/sh", {"-c", path + "{ " + example.command + "; } 2>&1"},
        demo.path());
    std::vector<std::string> got = Lines(run.out);
    EXPECT_TRUE(Matches(example.output, 0, got, 0))
        << "README.md:" << example.line << ": $ " << example.command
        << "\nprints:\n"
        << run.out;
  }
}

// The words of the shell list NAME=( ... ) in `script`.
std::set<std::string> ShellList(const std::string& script,
                                const std::string& name) {
  size_t start = script.find("\n" + name + "=(");
  if (start == std::string::npos) return {};
  start = script.find('(', start) + 1;
  std::istringstream words(
      script.substr(start, script.find(')', start) - start));
  std::set<std::string> list;
  for (std::string word; words >> word;) list.insert(word);
  return list;
}

TEST(ReadmeTest, BuildDependenciesAreTheScriptsOwn) {
  std::vector<std::string> lines = Lines(ReadFile(README_PATH));
  auto at = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.starts_with(std::string(kIndent) + "apt-get install ");
  });
  ASSERT_NE(at, lines.end()) << "no apt-get install line in the README";
  std::set<std::string> listed;
  for (bool more = true; more && at != lines.end(); ++at) {
    std::istringstream words(*at);
    more = false;
    for (std::string word; words >> word;) {
      if (word == "\\") {
        more = true;
      } else if (word != "apt-get" && word != "install") {
        listed.insert(word);
      }
    }
  }
  std::set<std::string> installed =
      ShellList(ReadFile(COMMON_SH_PATH), "BUILD_PACKAGES");
  ASSERT_FALSE(installed.empty());
  EXPECT_EQ(listed, installed);
}

}  // namespace
}  // namespace brimwald
