#include "watcher/graph/OGrAxisScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvana {

namespace {

constexpr double kHuge = 1e300;

bool Usable(double min, double max) {
  return std::isfinite(min) && std::isfinite(max) && max > min && max - min < kHuge;
}

double NiceStep(double span, int maxTicks) {
  double raw = span / std::max(1, maxTicks);
  double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (factor * magnitude >= raw) return factor * magnitude;
  return 10 * magnitude;
}

}  // namespace

std::vector<double> OGrAxisScale::NiceTicks(double min, double max, int maxTicks) {
  std::vector<double> ticks;
  if (!Usable(min, max)) return ticks;
  double step = NiceStep(max - min, maxTicks);
  if (!(step > 0) || !std::isfinite(step)) return ticks;
  double first = std::ceil(min / step - 1e-9) * step;
  for (int i = 0; i <= maxTicks + 1; ++i) {
    double tick = first + i * step;
    if (tick > max + step * 1e-9) break;
    // Snap values like 0.30000000000000004 and -0 to what they stand for.
    if (std::fabs(tick) < step * 1e-9) tick = 0;
    ticks.push_back(tick);
  }
  return ticks;
}

std::vector<double> OGrAxisScale::DateTicks(double min, double max, int maxTicks) {
  std::vector<double> ticks;
  if (!Usable(min, max)) return ticks;
  double span = max - min;
  maxTicks = std::max(1, maxTicks);
  if (span < maxTicks) {
    // Less than a day per tick: fractions of a day in 1-2-5 steps (hours, minutes).
    return NiceTicks(min, max, maxTicks);
  }
  // Whole-day steps, widened to about a month (30 days) or a year (365 days) for long spans.
  static constexpr double kSteps[] = {1, 2, 7, 14, 30, 61, 91, 182, 365, 730, 1826, 3652, 7305, 18262, 36525};
  double step = kSteps[std::size(kSteps) - 1];
  for (double candidate : kSteps)
    if (span / candidate <= maxTicks) {
      step = candidate;
      break;
    }
  if (span / step > maxTicks) step = NiceStep(span, maxTicks);
  double first = std::ceil(min / step) * step;
  for (int i = 0; i <= maxTicks + 1; ++i) {
    double tick = first + i * step;
    if (tick > max) break;
    ticks.push_back(tick);
  }
  return ticks;
}

OGrAxisScale OGrAxisScale::Compute(const OGrAxis& axis, double dataMin, double dataMax, int maxTicks,
                                   bool roomAroundData) {
  OGrAxisScale scale;
  maxTicks = std::clamp(maxTicks, 1, 50);
  double min = dataMin;
  double max = dataMax;
  bool fixed = axis.HasCustomRange() && std::isfinite(axis.CustomMin()) && std::isfinite(axis.CustomMax());
  if (fixed) {
    min = axis.CustomMin();
    max = axis.CustomMax();
  }
  if (!std::isfinite(min) || !std::isfinite(max) || min > max) {
    min = 0;
    max = 1;
  }
  if (max - min >= kHuge || !std::isfinite(max - min)) {
    // A span that overflows: keep the end nearer zero and a usable width.
    double anchor = std::fabs(min) < std::fabs(max) ? min : max;
    double width = std::max(1.0, std::fabs(anchor));
    min = anchor >= 0 ? anchor - width : anchor;
    max = anchor >= 0 ? anchor : anchor + width;
  }
  if (max == min) {
    // One value: a range around it so the point shows in the middle.
    double half = min == 0 ? 1 : std::fabs(min) * 0.1;
    if (axis.DateScaling()) half = std::max(half, 1.0);
    min -= half;
    max += half;
  }
  if (!fixed && roomAroundData && axis.DateScaling()) {
    double margin = (max - min) * 0.03;
    if (std::isfinite(min - margin) && std::isfinite(max + margin)) {
      min -= margin;
      max += margin;
    }
  }
  if (!fixed && !axis.DateScaling()) {
    // Widen a data range to the enclosing nice ticks so the curve sits inside the frame.
    double step = NiceStep(max - min, maxTicks);
    if (std::isfinite(step) && step > 0) {
      double niceMin = std::floor(min / step) * step;
      double niceMax = std::ceil(max / step) * step;
      // Data on a bound other than zero would run along the frame: one step more there.
      if (roomAroundData && niceMin == min && min != 0) niceMin -= step;
      if (roomAroundData && niceMax == max && max != 0) niceMax += step;
      if (std::isfinite(niceMin) && std::isfinite(niceMax) && niceMax > niceMin) {
        min = niceMin;
        max = niceMax;
      }
    }
  }
  scale.Min = min;
  scale.Max = max;
  scale.Ticks = axis.DateScaling() ? DateTicks(min, max, maxTicks) : NiceTicks(min, max, maxTicks);
  return scale;
}

}  // namespace corvana
