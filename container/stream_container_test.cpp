#include "container/stream_container.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/checked_int.h"
#include "base/error.h"
#include "samples/container_builder.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::ErrorFrom;
using testing::Says;
using testing::TempDir;
using testing::WriteFile;

class StreamContainerTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    std::string path = dir_.File("c.str");
    WriteFile(path, bytes);
    return path;
  }
  TempDir dir_;
};

TEST_F(StreamContainerTest, OpeningNeverCreatesAFile) {
  std::string path = dir_.File("missing.str");
  Error error = ErrorFrom([&] { StreamContainer container(path); });
  EXPECT_TRUE(Says(error, "missing.str")) << error.what();
  EXPECT_TRUE(Says(error, "No such file")) << error.what();
  EXPECT_TRUE(dir_.Names().empty());
  EXPECT_THROW(StreamContainer(""), Error);
  EXPECT_THROW(StreamContainer(dir_.path()), Error);
}

TEST_F(StreamContainerTest, IntegersAreLittleEndianAndSigned) {
  ContainerBuilder builder;
  builder.Int32(24, 0x12345678).Int32(28, -2).Bytes(32, "\x01\x02\x03\x04");
  StreamContainer container(Write(builder.bytes()));
  EXPECT_EQ(container.ReadInteger(24), 0x12345678);
  EXPECT_EQ(container.ReadInteger(28), -2);
  EXPECT_EQ(container.ReadInteger(32), 0x04030201);
  EXPECT_EQ(container.ReadMagic(), "ZEQSNDSTREAM");
}

TEST_F(StreamContainerTest, IntegerReadsOutsideTheFileFail) {
  StreamContainer container(Write(std::string(10, 'x')));
  EXPECT_NO_THROW(container.ReadInteger(6));  // the last four bytes
  for (int32_t offset : {7, 8, 10, 11, INT32_MAX, -1, -4, INT32_MIN}) {
    EXPECT_THROW(container.ReadInteger(offset), Error) << offset;
  }
  Error error = ErrorFrom([&] { container.ReadInteger(8); });
  EXPECT_EQ(error.kind(), ErrorKind::kContainer);
  EXPECT_TRUE(Says(error, "'" + dir_.File("c.str") +
                              "': unexpected end of file reading 4 bytes at "
                              "offset 8 (the file has 10 bytes)"))
      << error.what();
}

TEST_F(StreamContainerTest, ByteCountsAgreeWithTheirNoun) {
  StreamContainer tiny(Write("x"));
  Error error = ErrorFrom([&] { tiny.ReadInteger(0); });
  EXPECT_TRUE(Says(error, "reading 4 bytes at offset 0 (the file has 1 byte)"))
      << error.what();
}

TEST_F(StreamContainerTest, ShortFileGivesShortMagic) {
  EXPECT_EQ(StreamContainer(Write("ZEQSND")).ReadMagic(), "ZEQSND");
  EXPECT_EQ(StreamContainer(Write("")).ReadMagic(), "");
}

TEST_F(StreamContainerTest, NameWindowStopsAt512OrAtTheEnd) {
  std::string bytes(2000, 'a');
  bytes[100] = '\0';
  StreamContainer container(Write(bytes));
  std::string_view window = container.ReadNameWindow(0, 0);
  EXPECT_EQ(window.size(), 512u);
  EXPECT_EQ(window[100], '\0');  // NULs are part of the window
  EXPECT_EQ(container.ReadNameWindow(1700, 0).size(), 300u);
  EXPECT_EQ(container.ReadNameWindow(1999, 0), "a");
  EXPECT_THROW(container.ReadNameWindow(2000, 0), Error);
  EXPECT_THROW(container.ReadNameWindow(-1, 0), Error);
  EXPECT_THROW(container.ReadNameWindow(INT32_MAX, 0), Error);
  Error error = ErrorFrom([&] { container.ReadNameWindow(3000, 12); });
  EXPECT_EQ(error.kind(), ErrorKind::kEntry);
  EXPECT_TRUE(Says(error,
                   "': entry 12: name: NameOffset 3000 lies past the end of "
                   "the file (2000 bytes)"))
      << error.what();
}

TEST_F(StreamContainerTest, ReadsAcrossCacheBlocksSeeTheRightBytes) {
  // Bytes whose value depends on their offset, over several 64 KiB blocks.
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  }
  StreamContainer container(Write(bytes));
  auto expected = [&](int32_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
      value = value << 8 | static_cast<unsigned char>(
                               bytes[static_cast<size_t>(offset + i)]);
    }
    return static_cast<int32_t>(value);
  };
  // Jumps between far blocks evict and reload; a read straddles 65536.
  for (int32_t offset : {65534, 0, 131070, 200000, 3, 65533, 299996, 70000}) {
    EXPECT_EQ(container.ReadInteger(offset), expected(offset)) << offset;
  }
  std::string_view window = container.ReadNameWindow(65536 * 2 - 10, 0);
  EXPECT_EQ(window, std::string_view(bytes).substr(65536 * 2 - 10, 512));
}

TEST_F(StreamContainerTest, VfsRecordComeFromTheirOwnOffsets) {
  ContainerBuilder builder;
  builder.Record(40, {.BodyOffset = 1,
                      .BodySize = 2,
                      .HeaderOffset = 3,
                      .HeaderSize = 4,
                      .NameOffset = 5});
  StreamContainer container(Write(builder.bytes()));
  VfsRecord record = container.ReadRecord(40, 0);
  EXPECT_EQ(record.BodyOffset, 1);
  EXPECT_EQ(record.BodySize, 2);
  EXPECT_EQ(record.HeaderOffset, 3);
  EXPECT_EQ(record.HeaderSize, 4);
  EXPECT_EQ(record.NameOffset, 5);
}

TEST_F(StreamContainerTest, RecordNearTheTopOfTheRangeOverflows) {
  StreamContainer container(Write(std::string(100, '\0')));
  Error overflow = ErrorFrom([&] { container.ReadRecord(INT32_MAX - 7, 3); });
  EXPECT_EQ(overflow.kind(), ErrorKind::kContainer);
  EXPECT_TRUE(Says(overflow,
                   "entry 3: the record's BodyOffset at offset "
                   "2147483648 leaves the signed 32-bit range"))
      << overflow.what();
  // A record whose fields fit the range but not the file.
  EXPECT_THROW(container.ReadRecord(INT32_MAX - 60, 0), Error);
  EXPECT_NO_THROW(container.ReadRecord(48, 0));  // NameOffset ends the file
  Error outside = ErrorFrom([&] { container.ReadRecord(49, 5); });
  EXPECT_TRUE(Says(outside,
                   "entry 5: the record's NameOffset at offset 97 "
                   "lies outside the file (100 bytes)"))
      << outside.what();
}

TEST(CheckedIntTest, DetectsEveryWayOutOfTheRange) {
  EXPECT_EQ(CheckedAdd(INT32_MAX - 1, 1), INT32_MAX);
  EXPECT_FALSE(CheckedAdd(INT32_MAX, 1));
  EXPECT_FALSE(CheckedAdd(INT32_MIN, -1));
  EXPECT_EQ(CheckedSub(0, INT32_MAX), -INT32_MAX);
  EXPECT_FALSE(CheckedSub(INT32_MIN, 1));
  EXPECT_FALSE(CheckedSub(0, INT32_MIN));
  EXPECT_EQ(CheckedMul(29826161, 72), 2147483592);
  EXPECT_FALSE(CheckedMul(29826162, 72));
  EXPECT_FALSE(CheckedMul(-29826162, 72));
}

}  // namespace
}  // namespace brimwald
