#include "text/text_format.h"

#include <bit>

namespace brimwald {

void AppendHexText(std::string& out, int32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // The two's complement of a negative value is its unsigned reading.
  auto bits = static_cast<uint32_t>(value);
  auto count = static_cast<size_t>(std::bit_width(bits | 1u) + 3) / 4;
  out.resize(out.size() + count);
  char* digit = out.data() + out.size();
  do {
    *--digit = kDigits[bits & 0xFu];
    bits >>= 4;
  } while (bits != 0);
}

std::string HexText(int32_t value) {
  std::string text;
  AppendHexText(text, value);
  return text;
}

std::string DecimalText(int32_t value) { return std::to_string(value); }

std::string CountText(int64_t count, std::string_view one,
                      std::string_view many) {
  std::string text = std::to_string(count);
  text += ' ';
  text += count == 1 ? one : many;
  return text;
}

}  // namespace brimwald
