#include "io/folder_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "io/utf8_path.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::map<std::string, NodeType> Listed(const std::string& path) {
  std::map<std::string, NodeType> listed;
  for (const FolderEntry& entry : ListFolderEntries(Folder(path))) {
    EXPECT_TRUE(listed.emplace(entry.name, entry.type).second) << entry.name;
  }
  return listed;
}

TEST(FolderEntriesTest, TellsFilesFromFoldersAndMissingOnes) {
  TempDir dir;
  testing::WriteFile(dir.File("a.qvstr"), "a");
  testing::WriteFile(dir.File("m\xC3\xBAsica"), "");
  fs::create_directory(PathFromUtf8(dir.File("sub")));
  EXPECT_EQ(Listed(dir.path()),
            (std::map<std::string, NodeType>{{"a.qvstr", NodeType::kFile},
                                             {"m\xC3\xBAsica", NodeType::kFile},
                                             {"sub", NodeType::kFolder}}));
  EXPECT_TRUE(ListFolderEntries(Folder(dir.File("sub"))).empty());
  EXPECT_EQ(NodeTypeAt(dir.File("a.qvstr")), NodeType::kFile);
  EXPECT_EQ(NodeTypeAt(dir.File("sub")), NodeType::kFolder);
  EXPECT_EQ(NodeTypeAt(dir.File("none")), NodeType::kMissing);
  EXPECT_EQ(NodeTypeAt(dir.File("none/deeper")), NodeType::kMissing);
}

// A link is a link, whether it points to a folder, a file or nowhere.
TEST(FolderEntriesTest, NeverFollowsALink) {
#ifdef _WIN32
  GTEST_SKIP() << "wine makes no symbolic links";
#endif
  TempDir dir;
  TempDir outside;
  testing::WriteFile(outside.File("file"), "x");
  fs::create_directory_symlink(outside.path(), dir.File("to-folder"));
  fs::create_symlink(outside.File("file"), dir.File("to-file.qvstr"));
  fs::create_symlink(outside.File("gone"), dir.File("dangling"));
  EXPECT_EQ(Listed(dir.path()),
            (std::map<std::string, NodeType>{{"dangling", NodeType::kLink},
                                             {"to-file.qvstr", NodeType::kLink},
                                             {"to-folder", NodeType::kLink}}));
  for (const char* name : {"to-folder", "to-file.qvstr", "dangling"}) {
    EXPECT_EQ(NodeTypeAt(dir.File(name)), NodeType::kLink) << name;
  }
}

}  // namespace
}  // namespace brimwald
