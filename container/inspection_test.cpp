#include "container/inspection.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/error.h"
#include "samples/container_builder.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::TempDir;
using namespace std::string_literals;

class InspectionTest : public ::testing::Test {
 protected:
  std::string InspectBytes(const std::string& name, const std::string& bytes) {
    testing::WriteFile(dir_.File(name), bytes);
    return Inspect(name, selection_, dir_.path());
  }
  std::string InspectHeader(int32_t vfs_start, int32_t file_count) {
    ContainerBuilder builder;
    builder.VfsStart(vfs_start).FileCount(file_count);
    return InspectBytes("music.str", builder.bytes());
  }

  TempDir dir_;
  Selection selection_;
};

TEST_F(InspectionTest, LabelShowsHexStartAndDecimalCount) {
  EXPECT_EQ(InspectHeader(0x20, 12),
            "VFS Start at: 0x20\r\nIncluded Files: 12");
  EXPECT_EQ(selection_.VfsStart, 0x20);
  EXPECT_EQ(selection_.FileCount, 12);
  EXPECT_TRUE(selection_.Passed);
  EXPECT_EQ(InspectHeader(0, 0), "VFS Start at: 0x0\r\nIncluded Files: 0");
  EXPECT_EQ(InspectHeader(-1, -5),
            "VFS Start at: 0xFFFFFFFF\r\nIncluded Files: -5");
  EXPECT_EQ(InspectHeader(INT32_MAX, INT32_MAX),
            "VFS Start at: 0x7FFFFFFF\r\nIncluded Files: 2147483647");
  EXPECT_EQ(InspectHeader(0xABCDE, 1000000),
            "VFS Start at: 0xABCDE\r\nIncluded Files: 1000000");
}

TEST_F(InspectionTest, AnyDifferenceInTheMagicIsInvalid) {
  InspectHeader(0x40, 3);  // a valid one first: its numbers stay behind
  const std::string good = ContainerBuilder().bytes();
  for (std::string magic : {"zeqsndstream"s, "ZEQSNDSTREAm"s, "ZEQSNDSTREA "s,
                            "XEQSNDSTREAM"s, "ZEQSND\0TREAM"s}) {
    std::string bytes = good;
    bytes.replace(0, 12, magic.data(), 12);
    EXPECT_EQ(InspectBytes("other.str", bytes), "Invalid File!!!") << magic;
    EXPECT_FALSE(selection_.Passed);
    EXPECT_EQ(selection_.FileName, "other.str");
    EXPECT_EQ(selection_.VfsStart, 0x40);
    EXPECT_EQ(selection_.FileCount, 3);
  }
}

TEST_F(InspectionTest, ShortFilesFailTheMagicOrTheHeader) {
  EXPECT_EQ(InspectBytes("empty.str", ""), "Invalid File!!!");
  EXPECT_EQ(InspectBytes("short.str", "ZEQSNDSTREA"), "Invalid File!!!");
  // The magic passes but the integers at 24 and 28 are cut short.
  for (size_t size : {12u, 24u, 27u, 28u, 31u}) {
    InspectHeader(0x40, 3);
    std::string bytes = ContainerBuilder().Truncate(size).bytes();
    EXPECT_THROW(InspectBytes("cut.str", bytes), Error) << size;
    EXPECT_FALSE(selection_.Passed);
    EXPECT_EQ(selection_.BaseName, "cut");
  }
}

TEST_F(InspectionTest, MissingFileIsAnErrorAndNamesAreStillReplaced) {
  InspectHeader(0x40, 3);
  Error error =
      testing::ErrorFrom([&] { Inspect("gone.str", selection_, dir_.path()); });
  EXPECT_TRUE(testing::Says(error, "gone.str")) << error.what();
  EXPECT_FALSE(selection_.Passed);
  EXPECT_EQ(selection_.FileName, "gone.str");
  EXPECT_EQ(selection_.FilePath, "gone.str");
  EXPECT_EQ(selection_.BaseName, "gone");
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"music.str"});
}

TEST(BaseNameTest, OnlyTheLastExtensionGoes) {
  EXPECT_EQ(BaseNameOf("music.str"), "music");
  EXPECT_EQ(BaseNameOf("a.b.str"), "a.b");
  EXPECT_EQ(BaseNameOf("MUSIC.STR"), "MUSIC");
  EXPECT_EQ(BaseNameOf(".str"), "");
  EXPECT_EQ(BaseNameOf("trailing."), "trailing");
  EXPECT_EQ(BaseNameOf("noextension"), "noextension");
}

}  // namespace
}  // namespace brimwald
