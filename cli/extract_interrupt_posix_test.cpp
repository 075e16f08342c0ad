#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "samples/container_builder.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using testing::TempDir;

// Runs `brimwald-ripper-cli extract -q FILE` and interrupts it with
// `signal_number` after `delay` (0: lets it finish); returns how it ended.
int InterruptedExtract(const std::string& file, int signal_number,
                       std::chrono::milliseconds delay) {
  pid_t child = ::fork();
  if (child == 0) {
    ::execl(CLI_PATH, CLI_PATH, "extract", "-q", file.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (signal_number != 0) {
    std::this_thread::sleep_for(delay);
    ::kill(child, signal_number);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

// Whatever moment the interrupt comes, every .qvstr is complete and no
// temporary file is left. Even SIGKILL leaves none while files are new (they
// have no name until complete); the later runs replace files, the one moment
// a file being written has a name, which SIGINT and SIGTERM remove.
TEST(ExtractInterruptTest, LeavesCompleteFilesAndNoTemporaryFile) {
  TempDir dir;
  std::vector<samples::TestEntry> entries = samples::SampleEntries(20000);
  samples::ContainerBuilder::WithEntries(entries).WriteTo(
      dir.File("music.str"));
  for (int signal_number : {SIGKILL, SIGINT, SIGTERM}) {
    for (int delay_ms : {5, 40, 150}) {
      if (signal_number == SIGKILL && delay_ms != 40) continue;
      InterruptedExtract(dir.File("music.str"), signal_number,
                         std::chrono::milliseconds(delay_ms));
      for (const std::string& path : dir.Tree()) {
        ASSERT_EQ(path.find(".tmp-"), std::string::npos) << path;
        if (!path.ends_with(".qvstr")) continue;
        // Record, header (8 to 16 bytes) and body (16 to 38 bytes).
        size_t size = testing::ReadFile(dir.File(path)).size();
        EXPECT_TRUE(size >= 72 + 8 + 16 && size <= 72 + 16 + 38) << path;
      }
    }
  }
  // And a run left alone completes the tree.
  int status = InterruptedExtract(dir.File("music.str"), 0, {});
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // music.str, EXT_music/, its four folders and the files.
  EXPECT_EQ(dir.Tree().size(), 1 + 1 + 4 + 20000u);
}

}  // namespace
}  // namespace brimwald
