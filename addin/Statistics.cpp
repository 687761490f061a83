#include "addin/Statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace corvana::addin {

namespace {
void RequireValues(std::span<const double> values) {
  if (values.empty()) throw std::invalid_argument("a statistic needs at least one iteration");
}
}  // namespace

double Mean(std::span<const double> values) {
  RequireValues(values);
  return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

double StandardDeviation(std::span<const double> values) {
  RequireValues(values);
  if (values.size() == 1) return 0;
  const double mean = Mean(values);
  double sum = 0;
  for (double v : values) sum += (v - mean) * (v - mean);
  return std::sqrt(sum / static_cast<double>(values.size() - 1));
}

double Percentile(std::span<const double> values, double fraction) {
  RequireValues(values);
  if (!(fraction >= 0 && fraction <= 1)) throw std::invalid_argument("percentile fraction outside 0..1");
  std::vector<double> sorted(values.begin(), values.end());
  std::sort(sorted.begin(), sorted.end());
  const double rank = fraction * static_cast<double>(sorted.size() - 1);
  const auto low = static_cast<std::size_t>(std::floor(rank));
  const std::size_t high = std::min(low + 1, sorted.size() - 1);
  return sorted[low] + (rank - static_cast<double>(low)) * (sorted[high] - sorted[low]);
}

double ProbabilityAtMost(std::span<const double> values, double threshold) {
  RequireValues(values);
  const auto count = std::count_if(values.begin(), values.end(), [&](double v) { return v <= threshold; });
  return static_cast<double>(count) / static_cast<double>(values.size());
}

}  // namespace corvana::addin
