#include "suite/objectlib/NumericHelpers.h"

#include <cmath>
#include <filesystem>

#include "suite/objectlib/ErrorRaising.h"

namespace corvana {

int DecimalExponent(double value) {
  if (value == 0 || !std::isfinite(value)) RaiseInvalidArgument("DecimalExponent", "value");
  const double magnitude = std::fabs(value);
  int e = static_cast<int>(std::floor(std::log10(magnitude)));
  // log10 may land a hair off near powers of ten; settle on the exponent whose power brackets the value.
  if (std::pow(10.0, e) > magnitude) --e;
  if (std::pow(10.0, e + 1) <= magnitude) ++e;
  return e;
}

bool IsInRange(double value, double low, double high) noexcept {
  return value >= low && value <= high;
}

void CheckRange(double value, double low, double high, const std::string& procedure,
                const std::string& argumentName) {
  if (!IsInRange(value, low, high)) RaiseInvalidArgument(procedure, argumentName);
}

bool FileExists(const std::string& path) noexcept {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace corvana
