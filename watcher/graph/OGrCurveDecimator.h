#pragma once

#include <vector>

#include "watcher/graph/OGrData.h"

namespace corvana {

// Reduces a curve to what a picture can show: points are mapped to device pixels and every run of
// consecutive points in one pixel column becomes its first, lowest, highest and last point, so a
// million points give a few per column while no spike, step or end point is lost. Points with a
// non-finite coordinate break the line.
class OGrCurveDecimator {
 public:
  struct Point {
    double X = 0;
    double Y = 0;
    bool operator==(const Point&) const = default;
  };
  // Device x = Left + (x - XMin) * XScale, y = Bottom - (y - YMin) * YScale.
  struct Mapping {
    double XMin = 0;
    double XScale = 1;
    double Left = 0;
    double YMin = 0;
    double YScale = 1;
    double Bottom = 0;
    bool operator==(const Mapping&) const = default;
  };
  using Lines = std::vector<std::vector<Point>>;

  // Polylines in device coordinates; far-away points are clamped a little outside `Left..Right`
  // and the vertical band so a painter clipping to the plot draws them right.
  static Lines Reduce(const OGrData& data, const Mapping& mapping, bool steps, double right, double top);
};

}  // namespace corvana
