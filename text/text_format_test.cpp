#include "text/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace brimwald {
namespace {

TEST(TextFormatTest, HexTextHasUpperCaseDigitsAndNoLeadingZeros) {
  EXPECT_EQ(HexText(0), "0");
  EXPECT_EQ(HexText(9), "9");
  EXPECT_EQ(HexText(10), "A");
  EXPECT_EQ(HexText(0x47), "47");
  EXPECT_EQ(HexText(0x1000), "1000");
  EXPECT_EQ(HexText(0xABCDEF), "ABCDEF");
  EXPECT_EQ(HexText(INT32_MAX), "7FFFFFFF");
}

TEST(TextFormatTest, NegativeHexTextIsEightDigitsOfTwosComplement) {
  EXPECT_EQ(HexText(-1), "FFFFFFFF");
  EXPECT_EQ(HexText(-2), "FFFFFFFE");
  EXPECT_EQ(HexText(-72), "FFFFFFB8");
  EXPECT_EQ(HexText(INT32_MIN), "80000000");
}

TEST(TextFormatTest, AppendHexTextKeepsWhatIsThere) {
  std::string line = "0x";
  AppendHexText(line, 0x12AB);
  EXPECT_EQ(line, "0x12AB");
}

TEST(TextFormatTest, DecimalText) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(1234567), "1234567");
  EXPECT_EQ(DecimalText(-1), "-1");
  EXPECT_EQ(DecimalText(INT32_MIN), "-2147483648");
  EXPECT_EQ(DecimalText(INT32_MAX), "2147483647");
}

TEST(TextFormatTest, CountTextTakesTheNounThatAgrees) {
  struct Case {
    int64_t count;
    const char* text;
  };
  for (const Case& c :
       std::vector<Case>{{0, "0 entries"},
                         {1, "1 entry"},
                         {2, "2 entries"},
                         {-1, "-1 entries"},
                         {11, "11 entries"},
                         {int64_t{1} << 40, "1099511627776 entries"}}) {
    EXPECT_EQ(CountText(c.count, "entry", "entries"), c.text);
  }
}

// Every digit count, at both edges, and the ends of the range.
}  // namespace
}  // namespace brimwald
