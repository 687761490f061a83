#pragma once

#include <span>

namespace corvana::addin {

// The add-in's statistic numbers, as the Watcher formats them.
enum class Statistic : int {
  Mean = 1,
  StandardDeviation = 2,
  Percentile = 10,
  Probability = 11,
  Value = 12,  // a plain value, no simulation
};

// Statistics over the iterations of one simulation. Every function needs at least one value.
double Mean(std::span<const double> values);
// Sample standard deviation (n - 1); 0 for a single value.
double StandardDeviation(std::span<const double> values);
// `fraction` in [0, 1]; linear interpolation between the nearest ranks, so 0.5 is the median.
double Percentile(std::span<const double> values, double fraction);
// Share of the values at or below `threshold`.
double ProbabilityAtMost(std::span<const double> values, double threshold);

}  // namespace corvana::addin
