#pragma once

#include <cstddef>
#include <vector>

namespace corvana {

// The points of one curve as two parallel lists.
struct OGrData {
  std::vector<double> X;
  std::vector<double> Y;

  std::size_t Size() const noexcept { return X.size() < Y.size() ? X.size() : Y.size(); }
  bool operator==(const OGrData&) const = default;

  // From a 2-D array given as rows: two rows of equal length are X and Y (row 1 X, row 2 Y);
  // otherwise every row of two or more values is one (x, y) point. Anything else gives no points.
  static OGrData FromRows(const std::vector<std::vector<double>>& rows);
  // From one (x, y) row per point, whatever the count.
  static OGrData FromPointRows(const std::vector<std::vector<double>>& rows);
};

}  // namespace corvana
