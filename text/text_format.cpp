#include "text/text_format.h"

#include <bit>
#include <cstring>

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

namespace {

// From the bit width, log10(2) ~ 1233 / 4096 estimates the digits; one
// comparison settles them.
uint32_t DigitCount(uint32_t value) {
  static constexpr uint32_t kPowers[] = {
      1,      10,      100,      1000,      10000,
      100000, 1000000, 10000000, 100000000, 1000000000};
  uint32_t estimate =
      static_cast<uint32_t>(std::bit_width(value | 1u)) * 1233u >> 12;
  return estimate + ((value | 1u) >= kPowers[estimate] ? 1u : 0u);
}

}  // namespace

// Two digits a step from a table of "00" to "99", written from the end.
char* WriteDecimal(char* out, int32_t value) {
  static constexpr char kPairs[] =
      "000102030405060708091011121314151617181920212223242526272829"
      "303132333435363738394041424344454647484950515253545556575859"
      "606162636465666768697071727374757677787980818283848586878889"
      "90919293949596979899";
  auto magnitude = static_cast<uint32_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;
  }
  char* end = out + DigitCount(magnitude);
  char* at = end;
  while (magnitude >= 100) {
    at -= 2;
    std::memcpy(at, kPairs + 2 * (magnitude % 100), 2);
    magnitude /= 100;
  }
  if (magnitude >= 10) {
    std::memcpy(at - 2, kPairs + 2 * magnitude, 2);
  } else {
    at[-1] = static_cast<char>('0' + magnitude);
  }
  return end;
}

}  // namespace brimwald
