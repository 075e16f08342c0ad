// `extract` on a real terminal (a pseudo-terminal), where standard output
// and standard error share one screen with the progress line.

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <regex>
#include <string>
#include <vector>

#include "samples/container_builder.h"
#include "testing/temp_dir.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::TempDir;

struct TerminalRun {
  std::string output;  // all the terminal received
  int status = -1;
};

// Runs brimwald-ripper-cli with `args` on a terminal `columns` wide that is
// its standard output and standard error; sends it SIGINT once the terminal
// shows `interrupt_at`, if given.
TerminalRun RunOnTerminal(const std::vector<std::string>& args, int columns,
                          const std::string& interrupt_at = "") {
  std::vector<char*> argv{const_cast<char*>(CLI_PATH)};
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);
  struct winsize size = {};
  size.ws_row = 24;
  size.ws_col = static_cast<unsigned short>(columns);
  int terminal = -1;
  pid_t child = ::forkpty(&terminal, nullptr, nullptr, &size);
  if (child == 0) {
    ::execv(CLI_PATH, argv.data());
    ::_exit(127);
  }
  TerminalRun run;
  if (child < 0) return run;
  bool sent = interrupt_at.empty();
  char buffer[4096];
  for (;;) {
    ssize_t got = ::read(terminal, buffer, sizeof buffer);
    if (got > 0) {
      run.output.append(buffer, static_cast<size_t>(got));
      if (!sent && run.output.find(interrupt_at) != std::string::npos) {
        ::kill(child, SIGINT);
        sent = true;
      }
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the program is gone
    }
  }
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The lines the terminal shows in the end: a carriage return goes back to
// the line's start, and what follows writes over what was there.
std::vector<std::string> ShownLines(const std::string& output) {
  std::vector<std::string> lines;
  std::string line;
  size_t column = 0;
  auto end_line = [&] {
    line.erase(line.find_last_not_of(' ') + 1);
    lines.push_back(line);
    line.clear();
    column = 0;
  };
  for (char c : output) {
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      end_line();
    } else {
      if (column < line.size()) {
        line[column] = c;
      } else {
        line.push_back(c);
      }
      ++column;
    }
  }
  if (line.find_first_not_of(' ') != std::string::npos) end_line();
  return lines;
}

// Every stretch of text between two line controls that draws progress.
std::vector<std::string> ProgressDrawings(const std::string& output) {
  std::vector<std::string> drawings;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find_first_of("\r\n", start);
    if (end == std::string::npos) end = output.size();
    std::string piece = output.substr(start, end - start);
    if (std::regex_search(piece, std::regex("[0-9]+/[0-9]+ entr"))) {
      drawings.push_back(piece);
    }
    start = end + 1;
  }
  return drawings;
}

// Failures and summaries each stand on a line of their own, in entry
// order; the progress line is drawn, never wraps, keeps the container's
// name and whole numbers, and is gone at the end. Quiet, success is silent.
TEST(ExtractTerminalTest, MessagesAndSummariesGetLinesOfTheirOwn) {
  TempDir dir;
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < 300; ++i) {
    entries.push_back({"e" + std::to_string(i), "h", "body"});
  }
  ContainerBuilder builder = ContainerBuilder::WithEntries(entries);
  const std::vector<int> broken = {5, 120, 299};
  for (int index : broken) {
    builder.Int32(static_cast<size_t>(32 + 72 * index + 24), 1 << 20);
  }
  // A name long enough that the progress line must be shortened to fit.
  const std::string long_name = std::string(70, 'l');
  const std::string first = dir.File(long_name + ".str");
  builder.WriteTo(first);
  const std::string second = dir.File("b.str");
  ContainerBuilder::WithEntries({{"x", "h", "b"}}).WriteTo(second);

  constexpr int kColumns = 30;
  TerminalRun run = RunOnTerminal({"extract", first, second}, kColumns);
  EXPECT_EQ(run.status, 1);

  std::vector<std::string> expected;
  for (int index : broken) {
    const std::string name = "e" + std::to_string(index);
    expected.push_back(
        "brimwald-ripper-cli: '" + first + "': entry " + std::to_string(index) +
        " '" + name +
        "': header: the range 0x100000 to 0x100000 (1 byte) runs past the "
        "end of the input, which has " +
        CountText(static_cast<int64_t>(builder.bytes().size()), "byte",
                  "bytes"));
  }
  expected.push_back(dir.File("EXT_" + long_name) +
                     ": 297 files written, 3 entries failed");
  expected.push_back(dir.File("EXT_b") + ": 1 file written");
  EXPECT_EQ(ShownLines(run.output), expected) << run.output;

  std::vector<std::string> drawings = ProgressDrawings(run.output);
  EXPECT_FALSE(drawings.empty()) << "no progress line was drawn";
  // "…" takes one column of its three bytes.
  const std::regex shortened(
      "^\u2026[^ ]+\\.str: [0-9]+/(300 entries|1 entry) *$");
  for (const std::string& drawing : drawings) {
    EXPECT_LT(drawing.size() - 2, static_cast<size_t>(kColumns)) << drawing;
    EXPECT_TRUE(std::regex_match(drawing, shortened)) << drawing;
  }

  TerminalRun quiet = RunOnTerminal({"extract", "--quiet", second}, kColumns);
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.output, "");
}

// Ctrl-C stops the extraction between two entries: the progress line gives
// way to how far it got, which the tree bears out.
TEST(ExtractTerminalTest, AnInterruptTellsHowFarTheExtractionGot) {
  TempDir dir;
  const std::string file = dir.File("big.str");
  ContainerBuilder::WithEntries(samples::SampleEntries(20000)).WriteTo(file);
  TerminalRun run = RunOnTerminal({"extract", file}, 80, " entries");
  EXPECT_EQ(run.status, 130);
  std::vector<std::string> shown = ShownLines(run.output);
  std::smatch counts;
  const std::regex interrupted(
      "brimwald-ripper-cli: interrupted: ([0-9]+) files? written, ([0-9]+) "
      "entr(y|ies) left");
  ASSERT_EQ(shown.size(), 1u) << run.output;
  ASSERT_TRUE(std::regex_match(shown[0], counts, interrupted)) << shown[0];
  size_t files = 0;
  for (const std::string& path : dir.Tree()) files += path.ends_with(".qvstr");
  EXPECT_EQ(std::stoul(counts[1]), files);
  EXPECT_EQ(std::stoul(counts[1]) + std::stoul(counts[2]), 20000u);
}

// Entry bytes never go to a terminal, where they would garble the screen
// and mean nothing.
TEST(ExtractTerminalTest, BytesAreNeverWrittenToATerminal) {
  TempDir dir;
  const std::string file = dir.File("c.str");
  ContainerBuilder::WithEntries({{"x", "HEADER", "BODY"}}).WriteTo(file);
  TerminalRun run = RunOnTerminal({"extract", "-O", file}, 80);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output,
            "brimwald-ripper-cli: entry bytes are not written to a terminal: "
            "send standard output to a file or a pipe\r\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"c.str"});
}

}  // namespace
}  // namespace brimwald
