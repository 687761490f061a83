#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "watcher/graph/OGrData.h"

// The frontier windows' rules on plain numbers, so that they hold without a window.
namespace corvana::FrontierFigures {

// The progress graph carries at most this many curves, whatever the length of the series.
inline constexpr int kMaxCurves = 10;

// The 1-based constraining values that get a progress curve: all of them up to ten; otherwise
// the first, eight spread evenly between and the last.
std::vector<std::int32_t> CurveIndices(std::int32_t count);

// The frontier's points with X rising along the data: the constraining values as given when they
// run upwards (the second at least the first), read backwards otherwise. `bestValues` holds one
// value per constraining value; missing ones are no point. In target-value mode each point is the
// best value's distance from the target.
struct FrontierInput {
  std::vector<double> ConstrainingValues;
  std::vector<double> BestValues;
  bool TargetMode = false;
  double TargetValue = 0;
};
// False (and no points) for fewer than two constraining values: a single value has no frontier.
bool FrontierPoints(const FrontierInput& input, OGrData& points);

// One summary row in a text of fixed length, 15 x (cells) tab characters: each cell is written
// over it in place just after the tab that ends the previous one, so a cell longer than 14
// characters takes room from the cells after it and text past the end is cut off.
std::string FixedLengthRow(const std::vector<std::string>& cells);

}  // namespace corvana::FrontierFigures
