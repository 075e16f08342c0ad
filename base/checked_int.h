// Signed 32-bit arithmetic that reports an overflow instead of wrapping.
// Container offsets and sizes are signed 32-bit values; a position computed
// from them that leaves that range names no byte and must not be used.

#ifndef BRIMWALD_BASE_CHECKED_INT_H_
#define BRIMWALD_BASE_CHECKED_INT_H_

#include <cstdint>
#include <optional>

namespace brimwald {

namespace checked_internal {
inline std::optional<int32_t> Narrow(int64_t wide) {
  if (wide < INT32_MIN || wide > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(wide);
}
}  // namespace checked_internal

/// a + b, or nothing when the sum leaves the signed 32-bit range.
inline std::optional<int32_t> CheckedAdd(int32_t a, int32_t b) {
  return checked_internal::Narrow(int64_t{a} + b);
}

/// a - b, or nothing when the difference leaves the signed 32-bit range.
inline std::optional<int32_t> CheckedSub(int32_t a, int32_t b) {
  return checked_internal::Narrow(int64_t{a} - b);
}

/// a * b, or nothing when the product leaves the signed 32-bit range.
inline std::optional<int32_t> CheckedMul(int32_t a, int32_t b) {
  return checked_internal::Narrow(int64_t{a} * b);
}

}  // namespace brimwald

#endif  // BRIMWALD_BASE_CHECKED_INT_H_
