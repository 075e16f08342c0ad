#include "text/text_format.h"

namespace brimwald {

void AppendHexText(std::string& out, int32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // The two's complement of a negative value is its unsigned reading.
  auto bits = static_cast<uint32_t>(value);
  char digits[8];
  int count = 0;
  do {
    digits[count++] = kDigits[bits & 0xFu];
    bits >>= 4;
  } while (bits != 0);
  while (count > 0) out.push_back(digits[--count]);
}

std::string HexText(int32_t value) {
  std::string text;
  AppendHexText(text, value);
  return text;
}

std::string DecimalText(int32_t value) { return std::to_string(value); }

}  // namespace brimwald
