#pragma once

#include <string>

namespace corvana {

// Decimal exponent of the leading digit: 347 -> 2, 0.05 -> -2, -7 -> 0. Exact powers of ten give
// their own exponent (1000 -> 3) whatever the rounding of log10. Raises the invalid-argument
// error for 0 and for values that are not finite.
int DecimalExponent(double value);

// True when low <= value <= high (both bounds accepted); false for NaN.
bool IsInRange(double value, double low, double high) noexcept;
// Raises the invalid-argument error for `argumentName` of `procedure` when the value is outside.
void CheckRange(double value, double low, double high, const std::string& procedure,
                const std::string& argumentName);

// True when a regular file (or a link to one) is at the path.
bool FileExists(const std::string& path) noexcept;

}  // namespace corvana
