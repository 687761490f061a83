#include "watcher/frontier_window/FrontierFigures.h"

#include <cmath>
#include <cstdlib>

#include "suite/objectlib/MarkerValues.h"

namespace corvana::FrontierFigures {

std::vector<std::int32_t> CurveIndices(std::int32_t count) {
  std::vector<std::int32_t> indices;
  if (count <= 0) return indices;
  if (count <= kMaxCurves) {
    for (std::int32_t i = 1; i <= count; ++i) indices.push_back(i);
    return indices;
  }
  indices.push_back(1);
  for (int j = 2; j <= 9; ++j)
    indices.push_back(static_cast<std::int32_t>(std::floor(static_cast<double>(count - 1) / 9.0 * (j - 1))) +
                      1);
  indices.push_back(count);
  return indices;
}

bool FrontierPoints(const FrontierInput& input, OGrData& points) {
  points.X.clear();
  points.Y.clear();
  const auto& values = input.ConstrainingValues;
  if (values.size() < 2) return false;
  const bool ascending = values[1] >= values[0];
  std::vector<double> xs, ys;
  for (std::size_t i = 0; i < values.size() && i < input.BestValues.size(); ++i) {
    double y = input.BestValues[i];
    if (IsMissingValue(y)) continue;
    if (input.TargetMode) y = std::fabs(y - input.TargetValue);
    xs.push_back(values[i]);
    ys.push_back(y);
  }
  if (!ascending) {
    points.X.assign(xs.rbegin(), xs.rend());
    points.Y.assign(ys.rbegin(), ys.rend());
  } else {
    points.X = std::move(xs);
    points.Y = std::move(ys);
  }
  return !points.X.empty();
}

std::string FixedLengthRow(const std::vector<std::string>& cells) {
  constexpr std::size_t kCellWidth = 15;
  std::string row(kCellWidth * cells.size(), '\t');
  std::size_t at = 0;  // just after the tab that ends the previous cell
  for (const std::string& cell : cells) {
    if (at >= row.size()) break;
    const std::size_t n = std::min(cell.size(), row.size() - at);
    row.replace(at, n, cell, 0, n);
    const std::size_t tab = row.find('\t', at + n);
    if (tab == std::string::npos) break;
    at = tab + 1;
  }
  return row;
}

}  // namespace corvana::FrontierFigures
