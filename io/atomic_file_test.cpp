#include "io/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

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

// A replaced file keeps its permissions: read-only stays read-only.
TEST(AtomicFileTest, ReplacedReadOnlyFileStaysReadOnly) {
  TempDir dir;
  std::string target = dir.File("out.bat");
  testing::WriteFile(target, "old");
  const auto read_only = std::filesystem::perms::owner_read;
  std::filesystem::permissions(target, read_only);
  {
    AtomicFile file(target);
    file.Write("new");
    file.Commit();
  }
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(std::filesystem::status(target).permissions() &
                std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
  std::filesystem::permissions(target, std::filesystem::perms::owner_all);
}

TEST(AtomicFileTest, MissingFolderIsAnErrorNamingTheFile) {
  TempDir dir;
  Error error =
      testing::ErrorFrom([&] { AtomicFile file(dir.File("no/such/out.bat")); });
  EXPECT_TRUE(testing::Says(error, "no/such")) << error.what();
}

TEST(AtomicFileTest, ReplacedFileKeepsItsPermissionBits) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permission bits; the read-only test covers Windows";
#endif
  TempDir dir;
  std::string target = dir.File("RIP_music.bat");
  testing::WriteFile(target, "old");
  namespace fs = std::filesystem;
  fs::permissions(target, fs::perms::owner_all | fs::perms::group_read);
  AtomicFile file(target);
  file.Write("new");
  file.Commit();
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_all | fs::perms::group_read);
}

TEST(AtomicFileTest, NeverReplacesASymbolicLink) {
#ifdef _WIN32
  GTEST_SKIP() << "wine makes no symbolic links";
#endif
  TempDir dir;
  testing::WriteFile(dir.File("real"), "keep");
  std::filesystem::create_symlink(dir.File("real"), dir.File("link"));
  AtomicFile file(dir.File("link"));
  file.Write("new");
  EXPECT_TRUE(testing::Says(testing::ErrorFrom([&] { file.Commit(); }),
                            "symbolic link"));
  EXPECT_EQ(ReadFile(dir.File("real")), "keep");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link", "real"}));
}

}  // namespace
}  // namespace brimwald
