#pragma once

#include <vector>

#include "watcher/graph/OGrAxis.h"

namespace corvana {

// The drawn range of an axis and its tick values. Nice steps are 1, 2, 5 x 10^n; on a date axis
// whole days, months or years when the range is long enough.
struct OGrAxisScale {
  double Min = 0;
  double Max = 1;
  std::vector<double> Ticks;

  // From the axis settings and the finite data range (dataMin > dataMax when there is no data).
  // Always gives a finite range with Max > Min and at most maxTicks + 1 ticks inside it. With
  // roomAroundData (a value axis) an automatic range keeps the data off the frame.
  static OGrAxisScale Compute(const OGrAxis& axis, double dataMin, double dataMax, int maxTicks,
                              bool roomAroundData = false);
  // Nice ticks for min..max.
  static std::vector<double> NiceTicks(double min, double max, int maxTicks);
  static std::vector<double> DateTicks(double min, double max, int maxTicks);
};

}  // namespace corvana
