// An extraction's system calls per small entry, as counted by strace.

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <sstream>

#include "samples/container_builder.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

constexpr const char* kStrace = "/usr/bin/strace";

// The calls of one extraction of `entries` small entries in ten folders,
// the "total" of strace's summary; nothing when strace can't trace here.
std::optional<long> CountCalls(int entries, std::string& summary) {
  testing::TempDir dir;
  std::vector<samples::TestEntry> table;
  for (int i = 0; i < entries; ++i) {
    table.push_back({"sfx" + std::to_string(i % 10) + "\\e" + std::to_string(i),
                     "header",
                     std::string(300, static_cast<char>('a' + i % 26))});
  }
  samples::ContainerBuilder::WithEntries(table).WriteTo(dir.File("m.str"));
  testing::CommandResult run = testing::RunProgram(
      kStrace,
      {"-f", "-c", "-o", "calls.txt", CLI_PATH, "extract", "-q", "m.str"},
      dir.path());
  if (run.status != 0) return std::nullopt;
  summary = testing::ReadFile(dir.File("calls.txt"));
  size_t total = summary.rfind(" total");
  std::istringstream fields(summary.substr(summary.rfind('\n', total) + 1));
  std::string percent, seconds, per_call;
  long calls = 0;
  fields >> percent >> seconds >> per_call >> calls;
  return calls;
}

// Two table sizes' difference leaves out each run's and folder's own cost.
TEST(ExtractSystemCallsTest, AtMostEightPerSmallEntry) {
  if (::access(kStrace, X_OK) != 0) GTEST_SKIP() << "no strace";
  std::string small_summary, large_summary;
  std::optional<long> small = CountCalls(500, small_summary);
  std::optional<long> large = CountCalls(1500, large_summary);
  if (!small || !large) GTEST_SKIP() << "strace can't trace here";
  double per_entry = static_cast<double>(*large - *small) / 1000;
  EXPECT_LE(per_entry, 8.0) << small_summary << large_summary;
  EXPECT_GE(per_entry, 4.0) << "not counted: " << large_summary;
}

}  // namespace
}  // namespace brimwald
