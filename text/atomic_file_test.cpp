#include "text/atomic_file.h"

#include <gtest/gtest.h>

#include "testing/temp_dir.h"
#include "text/file_error.h"

namespace brimwald {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(AtomicFileTest, TargetAppearsOnlyOnCommit) {
  TempDir dir;
  std::string target = dir.File("out.bat");
  testing::WriteFile(target, "old");
  {
    AtomicFile file(target);
    file.WriteLine("first");
    file.Write(std::string(600000, 'x'));  // more than one buffer
    EXPECT_EQ(ReadFile(target), "old");
    file.Commit();
  }
  EXPECT_EQ(ReadFile(target), "first\r\n" + std::string(600000, 'x'));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.bat"});
}

TEST(AtomicFileTest, AbandonedFileLeavesTheTargetAsItWas) {
  TempDir dir;
  std::string target = dir.File("out.bat");
  testing::WriteFile(target, "old");
  {
    AtomicFile file(target);
    file.Write(std::string(300000, 'y'));
  }
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.bat"});
}

TEST(AtomicFileTest, MissingFolderIsAnErrorNamingTheFile) {
  TempDir dir;
  try {
    AtomicFile file(dir.File("no/such/out.bat"));
    FAIL();
  } catch (const FileError& error) {
    EXPECT_NE(std::string(error.what()).find("out.bat"), std::string::npos);
  }
}

}  // namespace
}  // namespace brimwald
