#include "cut/cut_range.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/error.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(ParseOffsetTest, ReadsTheRipsHexAsSigned32Bit) {
  struct Case {
    const char* text;
    int32_t value;
  };
  for (const Case& c :
       {Case{"0x0", 0}, Case{"0x20", 32}, Case{"0x67", 103},
        Case{"0x4B1", 0x4B1}, Case{"0x4b1", 0x4B1}, Case{"0xaBcD", 0xABCD},
        Case{"0x00000001", 1}, Case{"0x7FFFFFFF", INT32_MAX},
        Case{"0x80000000", INT32_MIN}, Case{"0xFFFFFFFF", -1},
        Case{"0xfffffffe", -2}}) {
    EXPECT_EQ(ParseOffset(c.text), c.value) << c.text;
  }
}

TEST(ParseOffsetTest, RejectsEverythingElse) {
  using namespace std::string_view_literals;
  for (std::string_view text :
       {""sv,     "0"sv,     "0x"sv,          "x1"sv,          "1"sv,
        "20"sv,   "0X20"sv,  "0x123456789"sv, "0x000000000"sv, "0xG"sv,
        "0x1g"sv, "0x-1"sv,  "0x+1"sv,        "-0x1"sv,        " 0x1"sv,
        "0x1 "sv, "0x1\n"sv, "0x\0"sv,        "0x1\0"sv,       "00x1"sv}) {
    EXPECT_EQ(ParseOffset(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(RangeLengthTest, CountsBothEndsOfTheRange) {
  struct Case {
    int32_t first;
    int32_t last;
    int64_t size;
    int64_t length;
  };
  for (const Case& c : {
           Case{0, 0, 1, 1},
           Case{0, 9, 10, 10},
           Case{3, 5, 10, 3},
           Case{9, 9, 10, 1},
           // The rip's range for an empty piece, even in an empty file.
           Case{0, -1, 0, 0},
           Case{0, -1, 10, 0},
           Case{4, 3, 10, 0},
           Case{10, 9, 10, 0},  // empty, right at the end
           // The top of the range, where FIRST + length needs 64 bits.
           Case{INT32_MAX, INT32_MAX, int64_t{INT32_MAX} + 1, 1},
           Case{INT32_MAX, INT32_MAX - 1, INT32_MAX, 0},
           Case{0, INT32_MAX, INT64_MAX, int64_t{INT32_MAX} + 1},
       }) {
    EXPECT_EQ(RangeLength(c.first, c.last, c.size), c.length)
        << c.first << ".." << c.last << " of " << c.size;
  }
}

TEST(RangeLengthTest, RejectsBadRangesWithTheirReason) {
  struct Case {
    int32_t first;
    int32_t last;
    int64_t size;
    const char* reason;
  };
  for (const Case& c : {
           Case{-1, 5, 10, "first offset 0xFFFFFFFF is negative"},
           Case{INT32_MIN, -1, 10, "first offset 0x80000000 is negative"},
           Case{-1, -2, 10, "negative"},
           Case{5, 3, 10, "last offset 0x3 lies more than one byte before"},
           Case{INT32_MAX, INT32_MIN, INT64_MAX, "before the first"},
           Case{0, 10, 10, "0x0 to 0xA (11 bytes) runs past the end"},
           Case{9, 10, 10, "past the end"},
           // Counts agree with their nouns.
           Case{1, 1, 1,
                "0x1 to 0x1 (1 byte) runs past the end of the input, "
                "which has 1 byte"},
           Case{2, 3, 0,
                "(2 bytes) runs past the end of the input, which "
                "has 0 bytes"},
           Case{0, 0, 0, "past the end"},
           Case{11, 10, 10, "past the end"},  // empty, but beyond the end
           Case{INT32_MAX, INT32_MAX, INT32_MAX, "past the end"},
           // No size below zero holds a range, and none makes the check
           // overflow.
           Case{0, -1, -1, "past the end"},
           Case{INT32_MAX, INT32_MAX, INT64_MIN, "past the end"},
       }) {
    EXPECT_EQ(RangeLength(c.first, c.last, c.size), std::nullopt)
        << c.first << ".." << c.last << " of " << c.size;
    std::string why = RangeProblem(c.first, c.last, c.size);
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
  }
}

// Bytes that differ from their neighbours and from chunk to chunk, so a cut
// that is off by one or repeats a chunk shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  }
  return bytes;
}

TEST(CutRangeTest, CopiesExactlyTheRangeAcrossChunks) {
  TempDir dir;
  // The copy goes a MiB a round.
  constexpr int32_t kChunk = 1024 * 1024;
  constexpr int32_t kSize = 2 * kChunk + 123;
  const std::string input = Pattern(kSize);
  testing::WriteFile(dir.File("in.str"), input);
  struct Case {
    int32_t first;
    int32_t last;
  };
  for (const Case& c :
       {Case{0, 0}, Case{kSize - 1, kSize - 1}, Case{0, kSize - 1},
        Case{1, kSize - 2}, Case{kChunk - 1, 2 * kChunk},
        Case{kChunk, kChunk - 1}, Case{0, -1}, Case{kSize, kSize - 1}}) {
    CutRange(dir.File("in.str"), dir.File("out"), c.first, c.last);
    EXPECT_EQ(ReadFile(dir.File("out")),
              input.substr(static_cast<size_t>(c.first),
                           static_cast<size_t>(c.last - c.first + 1)))
        << c.first << ".." << c.last;
  }
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in.str", "out"}));
}

TEST(CutRangeTest, CreatesMissingFoldersAndReplacesAnOlderOutput) {
  TempDir dir;
  testing::WriteFile(dir.File("in.str"), "0123456789");
  std::string output = dir.File("EXT_in/sfx/ui/click.strbd");
  CutRange(dir.File("in.str"), output, 2, 4);
  EXPECT_EQ(ReadFile(output), "234");
  CutRange(dir.File("in.str"), output, 7, 9);
  EXPECT_EQ(ReadFile(output), "789");
  EXPECT_EQ(dir.Tree(), (std::vector<std::string>{
                            "EXT_in/", "EXT_in/sfx/", "EXT_in/sfx/ui/",
                            "EXT_in/sfx/ui/click.strbd", "in.str"}));
}

}  // namespace
}  // namespace brimwald
