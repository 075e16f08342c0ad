#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "io/atomic_file.h"
#include "io/interrupt.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using testing::TempDir;

// An interrupt while a file is being replaced under a temporary name (the
// one moment a file being written has a name) removes that name before the
// program ends as the signal asks.
TEST(InterruptTest, RemovesRegisteredTemporaryFilesAndEndsBySignal) {
  for (int signal_number : {SIGINT, SIGTERM}) {
    TempDir dir;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RemoveTemporaryFilesOnInterrupt();
      Folder folder(dir.path());
      testing::WriteFile(dir.File("out.tmp-1"), "partial");
      TemporaryName name(folder, "out.tmp-1");
      testing::WriteFile(dir.File("done"), "complete");
      ::raise(signal_number);
      ::_exit(0);  // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"done"});
  }
}

}  // namespace
}  // namespace brimwald
