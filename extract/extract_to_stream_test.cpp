#include "extract/extract_to_stream.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "container/inspection.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::TempDir;

class Failures : public ExtractListener {
 public:
  void EntryFailed(const TableEntry& entry, const Error& error) override {
    failed[entry.Index] = error.what();
  }
  bool Progress(const ExtractProgress& progress) override {
    last = progress;
    return true;
  }

  std::map<int32_t, std::string> failed;
  ExtractProgress last;
};

// Entry `index`'s .qvstr bytes, taken from the container's bytes by the
// layout that WithEntries makes: the table right after the 32-byte header.
std::string EntryBytes(const ContainerBuilder& builder, size_t index) {
  const VfsRecord& record = builder.records()[index];
  const std::string& bytes = builder.bytes();
  return bytes.substr(32 + 72 * index, 72) +
         bytes.substr(static_cast<size_t>(record.HeaderOffset),
                      static_cast<size_t>(record.HeaderSize)) +
         bytes.substr(static_cast<size_t>(record.BodyOffset),
                      static_cast<size_t>(record.BodySize));
}

class ExtractToStreamTest : public ::testing::Test {
 protected:
  ExtractResult Run(const ContainerBuilder& builder, std::ostream& out,
                    const EntryChoice& choice = EntryChoice()) {
    return ExtractToStream(testing::WriteChosen(builder, dir_.path(), "c.str"),
                           out, "the pipe", failures_, choice);
  }
  TempDir dir_;
  Failures failures_;
};

// A body larger than a chunk goes in several, from an offset no chunk
// boundary lines up with; a pattern shows a chunk lost or repeated.
TEST_F(ExtractToStreamTest, WritesTheChosenEntriesInTableOrderAndNoFolder) {
  std::string big(700001, '\0');
  for (size_t i = 0; i < big.size(); ++i) {
    big[i] = static_cast<char>((i * 13 + i / 509) & 0xFF);
  }
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"sfx/a", "H\n", "b\r\n"}, {"big", "hh", big}, {"c", "", ""}});
  EntryChoice choice;
  choice.AddIndexes("2,1");
  std::ostringstream out;
  ExtractResult result = Run(builder, out, choice);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(result.failed, 0);
  EXPECT_TRUE(out.str() == EntryBytes(builder, 1) + EntryBytes(builder, 2));
  EXPECT_EQ(failures_.last.bytes_done, static_cast<int64_t>(out.str().size()));

  std::ostringstream all;
  Run(builder, all);
  EXPECT_TRUE(all.str() == EntryBytes(builder, 0) + EntryBytes(builder, 1) +
                               EntryBytes(builder, 2));
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"c.str"});
}

// A broken entry is reported before any of its bytes go out; the entries
// around it are written whole.
TEST_F(ExtractToStreamTest, ABrokenEntryWritesNothingAndTheRestGoOn) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"a", "h1", "b1"}, {"b", "h2", "b2"}, {"c", "h3", "b3"}});
  builder.Int32(32 + 72 + 16, 1 << 20);  // entry 1's body size
  std::ostringstream out;
  ExtractResult result = Run(builder, out);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(out.str(), EntryBytes(builder, 0) + EntryBytes(builder, 2));
  ASSERT_EQ(failures_.failed.size(), 1u);
  EXPECT_NE(failures_.failed[1].find("entry 1 'b': body: "), std::string::npos)
      << failures_.failed[1];
}

TEST_F(ExtractToStreamTest, ATableBrokenFurtherOnKeepsWhatCameBefore) {
  ContainerBuilder builder = ContainerBuilder::WithEntries({{"a", "h", "b"}});
  builder.FileCount(1000000);
  std::ostringstream out;
  ExtractResult result = Run(builder, out);
  EXPECT_EQ(result.written, 1);
  ASSERT_TRUE(result.table_error.has_value());
  EXPECT_EQ(out.str(), EntryBytes(builder, 0));
}

TEST_F(ExtractToStreamTest, AnOutputThatFailsEndsTheRun) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"a", "h", "b"}, {"b", "h", "b"}});
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  Error error = testing::ErrorFrom([&] { Run(builder, out); });
  EXPECT_EQ(error.kind(), ErrorKind::kFile);
  EXPECT_STREQ(error.what(), "cannot write to the pipe");
}

}  // namespace
}  // namespace brimwald
