// Number formatting shared by the inspection label, the rip script and the
// messages.
//
// Hex text: digits 0-9 and upper-case A-F, no leading zeros, "0" for zero;
// a negative number is written as the eight digits of its 32-bit two's
// complement. No "0x" prefix: callers write it where they need it.
//
// Decimal text: no leading zeros, no grouping, a leading "-" when negative.

#ifndef BRIMWALD_TEXT_TEXT_FORMAT_H_
#define BRIMWALD_TEXT_TEXT_FORMAT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace brimwald {

/// Returns `value` as hex text, e.g. 255 -> "FF", -1 -> "FFFFFFFF".
std::string HexText(int32_t value);

/// Appends `value` as hex text to `out`; the allocation-free form used when
/// writing many lines.
void AppendHexText(std::string& out, int32_t value);

/// Returns `value` as decimal text, e.g. -42 -> "-42".
std::string DecimalText(int32_t value);

/// Returns `count` in decimal and the noun that agrees with it: `one` for
/// exactly 1, `many` otherwise, e.g. (1, "byte", "bytes") -> "1 byte",
/// (0, "entry", "entries") -> "0 entries".
std::string CountText(int64_t count, std::string_view one,
                      std::string_view many);

}  // namespace brimwald

#endif  // BRIMWALD_TEXT_TEXT_FORMAT_H_
