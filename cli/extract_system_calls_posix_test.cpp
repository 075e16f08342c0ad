// The system calls an extraction makes per small entry, counted by strace:
// as many as an archiver needs to unpack a small file, plus two at most.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "samples/container_builder.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::optional<std::string> Strace() {
  std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
  for (std::string folder; std::getline(path, folder, ':');) {
    fs::path candidate = fs::path(folder) / "strace";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return std::nullopt;
}

// The calls of one extraction of `entries` small entries spread over ten
// folders, from strace's summary; nothing when strace can't trace here.
std::optional<long> CountCalls(const std::string& strace, int entries,
                               std::string& summary) {
  TempDir dir;
  std::vector<samples::TestEntry> table;
  for (int i = 0; i < entries; ++i) {
    table.push_back({"sfx" + std::to_string(i % 10) + "\\e" + std::to_string(i),
                     "header",
                     std::string(300, static_cast<char>('a' + i % 26))});
  }
  samples::ContainerBuilder::WithEntries(table).WriteTo(dir.File("m.str"));
  std::string counted = dir.File("calls.txt");
  testing::CommandResult run = testing::RunProgram(
      strace, {"-f", "-c", "-o", counted, CLI_PATH, "extract", "-q", "m.str"},
      dir.path());
  if (run.status != 0) return std::nullopt;
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(dir.File("EXT_m")),
                          fs::recursive_directory_iterator()),
            entries + 10);
  summary = testing::ReadFile(counted);
  std::istringstream lines(summary);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    // "100.00  SECONDS  USECS  CALLS  [ERRORS]  total"
    if (words.size() >= 4 && words.back() == "total")
      return std::stol(words[3]);
  }
  return std::nullopt;
}

// The difference between two table sizes leaves out what every run costs
// (loading, the container's opening, each folder's first visit).
TEST(ExtractSystemCallsTest, AtMostEightPerSmallEntry) {
  std::optional<std::string> strace = Strace();
  if (!strace) GTEST_SKIP() << "no strace";
  std::string small_summary, large_summary;
  std::optional<long> small = CountCalls(*strace, 500, small_summary);
  std::optional<long> large = CountCalls(*strace, 1500, large_summary);
  if (!small || !large) GTEST_SKIP() << "strace can't trace here";
  double per_entry = static_cast<double>(*large - *small) / 1000;
  EXPECT_LE(per_entry, 8.0) << small_summary << large_summary;
  EXPECT_GE(per_entry, 4.0) << "not counted: " << large_summary;
}

}  // namespace
}  // namespace brimwald
