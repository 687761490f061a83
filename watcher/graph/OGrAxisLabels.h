#pragma once

#include <string>
#include <vector>

#include "watcher/graph/OGrAxis.h"
#include "watcher/graph/OGrAxisScale.h"

namespace corvana {

// An axis's scale with the texts of its ticks. The texts always differ from each other: when the
// axis's own number format is coarser than the tick step, the ticks are thinned, and when that
// would leave fewer than three of them, the format shows more decimals instead.
struct OGrAxisLabels {
  OGrAxisScale Scale;
  std::vector<std::string> Texts;  // one per tick
  std::string Pattern;             // the format the texts were made with

  static OGrAxisLabels Compute(const OGrAxis& axis, double dataMin, double dataMax, int maxTicks,
                               bool valueAxis);
  // The pattern with `extra` more decimals in each numeric section ("0.00%" -> "0.000%",
  // "#,##0" -> "#,##0.0"); patterns without digits, General and dates come back unchanged.
  static std::string WithMoreDecimals(const std::string& pattern, int extra);
  static std::string Text(const OGrAxis& axis, const std::string& pattern, double value);
};

}  // namespace corvana
