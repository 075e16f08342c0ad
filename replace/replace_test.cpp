#include "replace/replace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "container/inspection.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using samples::TestEntry;
using testing::ReadFile;
using testing::TempDir;

constexpr size_t kTable = 32;  // where WithEntries puts the table

class ReplaceTest : public ::testing::Test {
 protected:
  Selection Write(const ContainerBuilder& builder) {
    return testing::WriteChosen(builder, dir_.path(), "c.str");
  }

  // The .qvstr of entry `i`, as `extract` writes it.
  static std::string QvstrOf(const std::string& bytes,
                             const std::vector<VfsRecord>& records, size_t i) {
    const VfsRecord& r = records[i];
    return bytes.substr(kTable + 72 * i, 72) +
           bytes.substr(static_cast<size_t>(r.HeaderOffset),
                        static_cast<size_t>(r.HeaderSize)) +
           bytes.substr(static_cast<size_t>(r.BodyOffset),
                        static_cast<size_t>(r.BodySize));
  }

  std::string File(const std::string& name, const std::string& bytes) {
    testing::WriteFile(dir_.File(name), bytes);
    return dir_.File(name);
  }

  TempDir dir_;
};

// Containers with names of every kind and with headers and bodies that
// entries share: each entry put back from its own file, alone and all at
// once, leaves the container as it was, byte for byte.
TEST_F(ReplaceTest, AnEntrysOwnFileLeavesTheContainerAsItWas) {
  std::vector<TestEntry> entries = samples::SampleEntries(12);
  entries.push_back({"h\xE9t\xE9/\"<|>*?:%!&^/CON.wav", "hh", "bb"});
  entries.push_back({"", "", ""});
  entries.push_back({"sfx/door", "shared", "shared body"});
  ContainerBuilder builder = ContainerBuilder::WithEntries(entries);
  std::vector<VfsRecord> records = builder.records();
  // Entry 3 shares entry 14's header and body.
  records[3].HeaderOffset = records[14].HeaderOffset;
  records[3].HeaderSize = records[14].HeaderSize;
  records[3].BodyOffset = records[14].BodyOffset;
  records[3].BodySize = records[14].BodySize;
  builder.Record(kTable + 72 * 3, records[3]);
  Selection selection = Write(builder);
  std::vector<Replacement> all;
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string qvstr = File("e" + std::to_string(i) + ".qvstr",
                             QvstrOf(builder.bytes(), records, i));
    all.push_back({static_cast<int32_t>(i), qvstr});
    std::vector<ReplacedEntry> done =
        ReplaceEntries(selection, {all.back()}, dir_.File("out.str"));
    EXPECT_EQ(ReadFile(dir_.File("out.str")), builder.bytes()) << i;
    ASSERT_EQ(done.size(), 1u);
    EXPECT_FALSE(done[0].header_appended || done[0].body_appended) << i;
  }
  ReplaceEntries(selection, all, "");
  EXPECT_EQ(ReadFile(dir_.File("c.str")), builder.bytes());
}

// Entry 1 takes entry 2's file: its header and body are appended, its
// record is entry 2's but for the offsets and its own name; nothing else
// changes.
TEST_F(ReplaceTest, AnotherEntrysFileIsAppendedAndPointedAt) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"a", "ha", "body a"}, {"b", "hb", "body b"}, {"c", "hcc", "body cc"}});
  const std::string before = builder.bytes();
  const std::vector<VfsRecord>& records = builder.records();
  Selection selection = Write(builder);
  std::string qvstr = File("c.qvstr", QvstrOf(before, records, 2));
  std::vector<ReplacedEntry> done = ReplaceEntries(selection, {{1, qvstr}}, "");
  const std::string after = ReadFile(dir_.File("c.str"));
  ASSERT_EQ(done.size(), 1u);
  EXPECT_TRUE(done[0].header_appended && done[0].body_appended);
  EXPECT_EQ(done[0].name, "b");
  // The container's offsets are all odd: alignment 1, appended right on.
  EXPECT_EQ(done[0].header_offset, static_cast<int32_t>(before.size()));
  EXPECT_EQ(done[0].body_offset, static_cast<int32_t>(before.size()) + 3);
  EXPECT_EQ(after.substr(before.size()),
            "hcc"
            "body cc");
  std::string expected_record = before.substr(kTable + 72 * 2, 72);
  ContainerBuilder record;
  record.Bytes(0, expected_record);
  record.Int32(24, done[0].header_offset)
      .Int32(8, done[0].body_offset)
      .Int32(48, records[1].NameOffset);
  EXPECT_EQ(after.substr(kTable + 72, 72), record.bytes().substr(0, 72));
  std::string unchanged = after.substr(0, before.size());
  unchanged.replace(kTable + 72, 72, before.substr(kTable + 72, 72));
  EXPECT_EQ(unchanged, before);
}

// Bodies on 2,048-byte boundaries (and not all on 4,096): an appended body
// lies on one too, after zero bytes.
TEST_F(ReplaceTest, AppendedPiecesAreAlignedAsTheirKind) {
  ContainerBuilder builder;
  builder.VfsStart(32).FileCount(2);
  builder.Bytes(200, std::string("a\0b\0", 4));
  builder.Bytes(301, "H1H2");
  builder.Record(32, {.BodyOffset = 2048,
                      .BodySize = 10,
                      .HeaderOffset = 301,
                      .HeaderSize = 2,
                      .NameOffset = 200});
  builder.Record(104, {.BodyOffset = 4096,
                       .BodySize = 5,
                       .HeaderOffset = 303,
                       .HeaderSize = 2,
                       .NameOffset = 202});
  builder.Bytes(2048, "body one..").Bytes(4096, "body2").Bytes(4101, "tail");
  Selection selection = Write(builder);
  std::string qvstr = builder.bytes().substr(32, 72) + "H1" + "new body";
  ContainerBuilder fixed;
  fixed.Bytes(0, qvstr).Int32(16, 8);  // BodySize
  std::vector<ReplacedEntry> done =
      ReplaceEntries(selection, {{0, File("x.qvstr", fixed.bytes())}}, "");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_FALSE(done[0].header_appended);
  EXPECT_EQ(done[0].header_offset, 301);
  EXPECT_EQ(done[0].body_offset, 6144);
  std::string after = ReadFile(dir_.File("c.str"));
  EXPECT_EQ(after.size(), 6144u + 8);
  EXPECT_EQ(after.substr(4105, 6144 - 4105), std::string(6144 - 4105, '\0'));
  EXPECT_EQ(after.substr(6144), "new body");
}

TEST_F(ReplaceTest, RefusesWhatItCantDoAndWritesNothing) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"sfx/a", "h", "b"}, {"sfx/a", "h", "b"}, {"c", "h", "b"}});
  Selection selection = Write(builder);
  const std::string good = builder.bytes().substr(kTable, 72) + "h" + "b";
  ContainerBuilder negative;
  negative.Bytes(0, good).Int32(32, -1);
  struct Case {
    std::vector<Replacement> replacements;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{
           {{{0, File("short.qvstr", good + "x")}},
            "but 72 + HeaderSize (1) + BodySize (1) is 74: set BodySize (the "
            "32-bit little-endian number at byte 16 of the file) to 2"},
           {{{0, File("tiny.qvstr", "abc")}}, "fewer than a 72-byte record"},
           {{{0, File("neg.qvstr", negative.bytes())}},
            "HeaderSize is -1: set HeaderSize (the 32-bit little-endian "
            "number at byte 32 of the file) to 1"},
           {{{0, File("a.qvstr", good)}, {0, File("a.qvstr", good)}},
            "entry 0 is named twice"},
           {{{7, File("a.qvstr", good)}}, "c.str' has no entry 7"},
       }) {
    Error error = testing::ErrorFrom(
        [&] { ReplaceEntries(selection, c.replacements, ""); });
    EXPECT_TRUE(testing::Says(error, c.message)) << error.what();
    EXPECT_EQ(ReadFile(dir_.File("c.str")), builder.bytes());
  }
  TableWalk walk(selection);
  for (const char* name : {"sfx\\a", "sfx/a"}) {
    Error ambiguous =
        testing::ErrorFrom([&] { FindEntry(walk, "c.str", name); });
    EXPECT_EQ(ambiguous.kind(), ErrorKind::kUsage);
    EXPECT_TRUE(
        testing::Says(ambiguous, "several entries named 'sfx\\a': 0, 1"))
        << ambiguous.what();
  }
  EXPECT_EQ(FindEntry(walk, "c.str", "c"), 2);
  EXPECT_EQ(FindEntry(walk, "c.str", "1"), 1);
}

// Offsets are signed 32-bit: a container that ends near 2 GiB (sparse here)
// takes a body that ends it at 2^31 - 1 bytes, and not one byte more.
TEST_F(ReplaceTest, AResultPastTwoGibibytesIsRefused) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"a", "h", "b"}, {"b", "h", "c"}});
  constexpr int64_t kMost = std::numeric_limits<int32_t>::max();
  constexpr int64_t kSize = kMost - 99;
  for (int32_t body : {100, 99}) {
    Selection selection = Write(builder);
    std::filesystem::resize_file(dir_.File("c.str"), kSize);
    Inspect("c.str", selection, dir_.path());
    ContainerBuilder fixed;
    fixed.Bytes(0, builder.bytes().substr(kTable, 72) + "h")
        .Bytes(73, std::string(static_cast<size_t>(body), 'x'))
        .Int32(16, body);
    std::string qvstr = File("big.qvstr", fixed.bytes());
    if (body == 100) {
      Error error = testing::ErrorFrom([&] {
        ReplaceEntries(selection, {{0, qvstr}}, "");
      });
      EXPECT_TRUE(testing::Says(error, "would pass 2 GiB")) << error.what();
      EXPECT_EQ(std::filesystem::file_size(dir_.File("c.str")), kSize);
    } else {
      ReplaceEntries(selection, {{0, qvstr}}, "");
      EXPECT_EQ(std::filesystem::file_size(dir_.File("c.str")), kMost);
    }
  }
  std::filesystem::remove(dir_.File("c.str"));
}

// Headers and bodies on 8,192-byte boundaries: an appended body lies on
// 4,096, the most alignment kept.
TEST_F(ReplaceTest, AlignmentIsCappedAt4096) {
  ContainerBuilder builder;
  builder.VfsStart(32).FileCount(1).Bytes(200, std::string("a\0", 2));
  builder.Record(32, {.BodyOffset = 8192,
                      .BodySize = 4,
                      .HeaderOffset = 16384,
                      .HeaderSize = 2,
                      .NameOffset = 200});
  builder.Bytes(8192, "body").Bytes(16384, "HH").Bytes(16386, "tail");
  Selection selection = Write(builder);
  ContainerBuilder fixed;
  fixed.Bytes(0, builder.bytes().substr(32, 72) + "HH" + "new body")
      .Int32(16, 8);
  std::vector<ReplacedEntry> done =
      ReplaceEntries(selection, {{0, File("x.qvstr", fixed.bytes())}}, "");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].body_offset, 5 * 4096);
}

// -o never names a file being read, by any of its names.
TEST_F(ReplaceTest, TheOutputIsNeverAnInput) {
  ContainerBuilder builder = ContainerBuilder::WithEntries({{"a", "h", "b"}});
  Selection selection = Write(builder);
  const std::string qvstr =
      File("a.qvstr", builder.bytes().substr(kTable, 72) + "hb");
  std::filesystem::create_hard_link(dir_.File("c.str"), dir_.File("link.str"));
  for (const std::string& output : {qvstr, dir_.File("link.str")}) {
    Error error = testing::ErrorFrom([&] {
      ReplaceEntries(selection, {{0, qvstr}}, output);
    });
    EXPECT_TRUE(testing::Says(error, "which is being read")) << error.what();
  }
  EXPECT_EQ(ReadFile(qvstr), builder.bytes().substr(kTable, 72) + "hb");
  EXPECT_EQ(ReadFile(dir_.File("c.str")), builder.bytes());
}

// A record is rewritten only where it holds nothing else: each of these
// is refused, saying what it overlaps, and nothing is written.
TEST_F(ReplaceTest, RefusesARecordThatHoldsOthersBytesOrIsCutShort) {
  auto record = [](int32_t name) {
    return VfsRecord{.BodyOffset = 301,
                     .BodySize = 1,
                     .HeaderOffset = 300,
                     .HeaderSize = 1,
                     .NameOffset = name};
  };
  struct Case {
    const char* what;
    ContainerBuilder builder;
    int32_t index;
    std::string says;
  };
  std::vector<Case> cases;
  {  // The table at 8: its first record holds the header's fields.
    ContainerBuilder b;
    b.Bytes(200, std::string("n\0", 2)).Bytes(300, "hb");
    b.Record(8, record(200)).VfsStart(8).FileCount(1).Magic("ZEQSNDSTREAM");
    cases.push_back({"header", b, 0, "overlaps the container's header"});
  }
  {  // Entry 1's name stands in the unread end of entry 0's record.
    ContainerBuilder b;
    b.VfsStart(32).FileCount(2).Bytes(300, "hb");
    b.Record(32, record(200)).Record(104, record(92));
    b.Bytes(200, std::string("a\0", 2)).Bytes(92, std::string("b\0", 2));
    cases.push_back({"name", b, 0, "overlaps the name of entry 1 'b'"});
  }
  {  // Entry 1's header lies in entry 0's record.
    ContainerBuilder b;
    b.VfsStart(32).FileCount(2).Bytes(300, "hb");
    VfsRecord shared = record(202);
    shared.HeaderOffset = 40;
    b.Record(32, record(200)).Record(104, shared);
    b.Bytes(200, std::string("a\0b\0", 4));
    cases.push_back(
        {"header of another", b, 0, "overlaps the header of entry 1 'b'"});
  }
  {  // The file ends inside entry 1's record, after its NameOffset.
    ContainerBuilder b;
    b.VfsStart(200).FileCount(2).Bytes(32, std::string("a\0b\0", 4));
    b.Record(200, record(32)).Bytes(40, "hb");
    VfsRecord last = record(34);
    last.HeaderOffset = last.BodyOffset = 40;
    b.Record(272, last).Truncate(272 + 52);
    cases.push_back(
        {"cut short", b, 1, "its record doesn't lie wholly within the file"});
  }
  for (const Case& c : cases) {
    Selection selection = Write(c.builder);
    ContainerBuilder fixed;
    fixed.Bytes(0, std::string(72, '\0') + "hb").Int32(32, 1).Int32(16, 1);
    std::string qvstr = File("q.qvstr", fixed.bytes());
    Error error = testing::ErrorFrom([&] {
      ReplaceEntries(selection, {{c.index, qvstr}}, "");
    });
    EXPECT_TRUE(testing::Says(error, c.says)) << c.what << ": " << error.what();
    EXPECT_EQ(ReadFile(dir_.File("c.str")), c.builder.bytes()) << c.what;
  }
}

}  // namespace
}  // namespace brimwald
