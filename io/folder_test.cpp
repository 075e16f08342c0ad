#include "io/folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "io/atomic_file.h"
#include "base/error.h"
#include "io/utf8_path.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(FolderTest, ChildIsMadeOnceAndRemovedWhenEmpty) {
  TempDir dir;
  Folder top(dir.path());
  bool made = false;
  top.Child("EXT_m\xC3\xBAsica", true, &made);
  EXPECT_TRUE(made);
  top.Child("EXT_m\xC3\xBAsica", true, &made);
  EXPECT_FALSE(made);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"EXT_m\xC3\xBAsica"});
  EXPECT_TRUE(top.RemoveEmptyChild("EXT_m\xC3\xBAsica"));
  EXPECT_TRUE(dir.Names().empty());
}

// Entry paths may run past the classic Windows limit of 260 characters.
TEST(FolderTest, LongPathsWork) {
  TempDir dir;
  std::optional<Folder> folder(std::in_place, dir.path());
  std::string relative;
  for (char part = 'a'; part < 'f'; ++part) {
    folder = folder->Child(std::string(60, part), true);
    relative += std::string(60, part) + "/";
  }
  AtomicFile file(*folder, "long.qvstr");
  file.Write("deep");
  file.Commit();
  EXPECT_GT(folder->PathOf("long.qvstr").size(), 300u);
  EXPECT_EQ(testing::ReadFile(dir.File(relative + "long.qvstr")), "deep");
}

// Nothing planted below an output folder may lead a write out of it.
TEST(FolderTest, ChildThatIsALinkOrAFileIsRefused) {
  TempDir dir, elsewhere;
  std::error_code error;
  fs::create_directory_symlink(PathFromUtf8(elsewhere.path()),
                               PathFromUtf8(dir.File("link")), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  testing::WriteFile(dir.File("file"), "");
  Folder top(dir.path());
  for (bool create : {false, true}) {
    Error link = testing::ErrorFrom([&] { top.Child("link", create); });
    EXPECT_TRUE(testing::Says(link, "symbolic link")) << link.what();
    Error file = testing::ErrorFrom([&] { top.Child("file", create); });
    EXPECT_TRUE(testing::Says(file, "not a folder")) << file.what();
  }
  EXPECT_TRUE(elsewhere.Names().empty());
}

}  // namespace
}  // namespace brimwald
