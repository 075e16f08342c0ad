// Cutting one inclusive byte range out of a file: the job a rip script hands
// to quarnel three times per included file, and that extraction does for
// every piece.
//
// Offsets are written the way the rip writes them, "0x" and up to eight hex
// digits read as a signed 32-bit number, so a range that the rip computed
// for an empty piece (first 0, last 0xFFFFFFFF = -1) cuts zero bytes.

#ifndef BRIMWALD_CUT_CUT_RANGE_H_
#define BRIMWALD_CUT_CUT_RANGE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brimwald {

/// "0x" + 1 to 8 hex digits, either case, as signed 32-bit two's complement;
/// nothing otherwise.
std::optional<int32_t> ParseOffset(std::string_view text);

/// Why FIRST..LAST can't be cut from an input of `input_size` bytes: a
/// negative FIRST, a LAST below FIRST - 1, or a range past the end.
std::string RangeProblem(int32_t first, int32_t last, int64_t input_size);

/// Number of bytes FIRST..LAST (inclusive) cover in an input of `input_size`
/// bytes; nothing when they can't be cut (RangeProblem() says why).
///
/// An empty range (LAST = FIRST - 1) is valid wherever a non-empty one could
/// start, from 0 up to and including `input_size`. A negative `input_size`
/// holds no range. Inline, since a listing asks three times an entry.
inline std::optional<int64_t> RangeLength(int32_t first, int32_t last,
                                          int64_t input_size) {
  int64_t length = int64_t{last} - first + 1;
  // Testing first > input_size before subtracting keeps the subtraction
  // from overflowing for any input_size, even a (meaningless) negative one.
  if (first >= 0 && length >= 0 && first <= input_size &&
      length <= input_size - first) {
    return length;
  }
  return std::nullopt;
}

/// Writes the bytes of the regular file `input` from `first` through `last`
/// (inclusive) into `output`, creating the missing folders above `output`.
///
/// `output` appears whole or not at all: on any error it is left as it was
/// (absent, or an older file untouched), no temporary file remains and the
/// folders this call created are removed again. Throws Error (kFile) naming the
/// file at fault and the reason. Copies in bounded chunks, so memory use
/// doesn't grow with the range.
void CutRange(const std::string& input, const std::string& output,
              int32_t first, int32_t last);

}  // namespace brimwald

#endif  // BRIMWALD_CUT_CUT_RANGE_H_
