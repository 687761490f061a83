#pragma once

#include <bit>
#include <cstdint>

namespace corvana {

// Values that stand for "no number" between the add-in, the engine and the Watcher. They are
// compared exactly, never with a tolerance.
inline constexpr double kMissingValue = -9.87654321e307;  // the add-in's missing-value marker
inline constexpr double kLargestValue = 1e300;            // at or above: too large
inline constexpr double kSmallestValue = -1e300;          // at or below: too small
inline constexpr double kEngineNoValue = -1.001e300;      // the engine's "no value yet"
static_assert(std::bit_cast<std::uint64_t>(kEngineNoValue) == 0xFE37EA5A49AC7DEBull);

inline constexpr bool IsMissingValue(double v) noexcept {
  return v == kMissingValue;
}
inline constexpr bool IsEngineNoValue(double v) noexcept {
  return v == kEngineNoValue;
}
inline constexpr bool IsTooLarge(double v) noexcept {
  return v >= kLargestValue;
}
inline constexpr bool IsTooSmall(double v) noexcept {
  return v <= kSmallestValue;
}
// Any of the four: shown as a common text instead of a number.
inline constexpr bool IsSpecialValue(double v) noexcept {
  return IsMissingValue(v) || IsEngineNoValue(v) || IsTooLarge(v) || IsTooSmall(v);
}

}  // namespace corvana
