#include "watcher/graph/OGrCurveDecimator.h"

#include <algorithm>
#include <cmath>

namespace corvana {

namespace {

// Collects device points of one polyline, merging each run in one pixel column into its first,
// lowest, highest and last points (in the order they were met).
class ColumnMerger {
 public:
  explicit ColumnMerger(std::vector<OGrCurveDecimator::Point>& out) : m_Out(out) {}

  void Add(double x, double y) {
    long column = static_cast<long>(std::floor(x));
    if (!m_Open || column != m_Column) {
      Flush();
      m_Open = true;
      m_Column = column;
      m_First = m_Min = m_Max = m_Last = {x, y};
      m_MinIndex = m_MaxIndex = 0;
      m_Count = 1;
      return;
    }
    ++m_Count;
    if (y < m_Min.Y) {
      m_Min = {x, y};
      m_MinIndex = m_Count - 1;
    }
    if (y > m_Max.Y) {
      m_Max = {x, y};
      m_MaxIndex = m_Count - 1;
    }
    m_Last = {x, y};
  }

  void Flush() {
    if (!m_Open) return;
    m_Open = false;
    Push(m_First);
    if (m_Count == 1) return;
    // Extremes in the order they were met, so the drawn path keeps its direction.
    if (m_MinIndex <= m_MaxIndex) {
      Push(m_Min);
      Push(m_Max);
    } else {
      Push(m_Max);
      Push(m_Min);
    }
    Push(m_Last);
  }

 private:
  void Push(const OGrCurveDecimator::Point& p) {
    if (!m_Out.empty() && m_Out.back() == p) return;
    m_Out.push_back(p);
  }

  std::vector<OGrCurveDecimator::Point>& m_Out;
  bool m_Open = false;
  long m_Column = 0;
  OGrCurveDecimator::Point m_First, m_Min, m_Max, m_Last;
  long m_MinIndex = 0;
  long m_MaxIndex = 0;
  long m_Count = 0;
};

// True when every coordinate is finite, x never decreases and the extremes map to finite device
// coordinates: then the curve is one line whose pixel columns follow each other in index order.
bool SortedAndFinite(const OGrData& data, std::size_t count, const OGrCurveDecimator::Mapping& mapping) {
  if (count < 2 || !(mapping.XScale > 0) || !(mapping.YScale > 0)) return false;
  const double* x = data.X.data();
  const double* y = data.Y.data();
  // Kept branch-free so the compiler can vectorize: a non-finite value makes `nan` NaN.
  double nan = 0, yLow = y[0], yHigh = y[0];
  bool ascending = true;
  for (std::size_t i = 1; i < count; ++i) {
    ascending &= x[i] >= x[i - 1];
    nan += (x[i] - x[i]) + (y[i] - y[i]);
    yLow = std::min(yLow, y[i]);
    yHigh = std::max(yHigh, y[i]);
  }
  if (!ascending || !std::isfinite(nan + x[0] + y[0])) return false;
  return std::isfinite((x[0] - mapping.XMin) * mapping.XScale) &&
         std::isfinite((x[count - 1] - mapping.XMin) * mapping.XScale) &&
         std::isfinite((yLow - mapping.YMin) * mapping.YScale) &&
         std::isfinite((yHigh - mapping.YMin) * mapping.YScale);
}

}  // namespace

std::vector<std::vector<OGrCurveDecimator::Point>> OGrCurveDecimator::Reduce(const OGrData& data,
                                                                             const Mapping& mapping,
                                                                             bool steps, double right,
                                                                             double top) {
  std::vector<std::vector<Point>> lines;
  const std::size_t count = data.Size();
  // Device coordinates are clamped to a band a few pixels outside the plot: a point far outside
  // still draws its line to the edge, and the painter never sees values it cannot handle.
  const double left = mapping.Left;
  const double bottom = mapping.Bottom;
  const double xLow = left - 4, xHigh = right + 4;
  const double yLow = top - 4, yHigh = bottom + 4;
  auto toDevice = [&](double x, double y, Point& p) {
    double dx = mapping.Left + (x - mapping.XMin) * mapping.XScale;
    double dy = mapping.Bottom - (y - mapping.YMin) * mapping.YScale;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
    p.X = std::clamp(dx, xLow, xHigh);
    p.Y = std::clamp(dy, yLow, yHigh);
    return true;
  };

  std::vector<Point> current;
  ColumnMerger merger(current);

  // Many points in ascending x: each pixel column's run of points is found by binary search and
  // only its first, lowest, highest and last points go to the merger, which then gives what it
  // would have given for the whole run, at a fraction of the cost.
  if (SortedAndFinite(data, count, mapping)) {
    const double* xs = data.X.data();
    const double* ys = data.Y.data();
    auto deviceX = [&](std::size_t i) {
      return std::clamp(left + (xs[i] - mapping.XMin) * mapping.XScale, xLow, xHigh);
    };
    auto deviceY = [&](double y) {
      return std::clamp(bottom - (y - mapping.YMin) * mapping.YScale, yLow, yHigh);
    };
    double previousY = 0;
    for (std::size_t i = 0; i < count;) {
      const double column = std::floor(deviceX(i));
      // The run's end: galloping, then binary search, since a run is often a single point.
      auto inColumn = [&](std::size_t k) { return std::floor(deviceX(k)) == column; };
      std::size_t end = i + 1;
      if (end < count && inColumn(end)) {
        std::size_t low = end, high = end, step = 1;
        for (;;) {
          high = low + step;
          if (high >= count) {
            high = count;
            break;
          }
          if (!inColumn(high)) break;
          low = high;
          step *= 2;
        }
        while (high - low > 1) {
          const std::size_t mid = low + (high - low) / 2;
          (inColumn(mid) ? low : high) = mid;
        }
        end = high;
      }
      // Lowest and highest device y in order met (first occurrence), over the run's own points.
      std::size_t lowest = i, highest = i;
      double lowY = deviceY(ys[i]), highY = lowY;
      for (std::size_t k = i + 1; k < end; ++k) {
        const double y = deviceY(ys[k]);
        if (y < lowY) {
          lowY = y;
          lowest = k;
        }
        if (y > highY) {
          highY = y;
          highest = k;
        }
      }
      const double firstX = deviceX(i);
      if (steps && i > 0) merger.Add(firstX, previousY);  // hold the value up to the new x
      const std::size_t picks[] = {i, std::min(lowest, highest), std::max(lowest, highest), end - 1};
      std::size_t last = count;
      for (std::size_t k : picks) {
        if (k == last) continue;
        last = k;
        merger.Add(deviceX(k), deviceY(ys[k]));
      }
      previousY = deviceY(ys[end - 1]);
      i = end;
    }
    merger.Flush();
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
  }

  bool havePrevious = false;
  Point previous;
  auto endLine = [&] {
    merger.Flush();
    if (!current.empty()) lines.push_back(std::move(current));
    current.clear();
    havePrevious = false;
  };
  for (std::size_t i = 0; i < count; ++i) {
    double x = data.X[i];
    double y = data.Y[i];
    Point p;
    if (!std::isfinite(x) || !std::isfinite(y) || !toDevice(x, y, p)) {
      endLine();
      continue;
    }
    if (steps && havePrevious) merger.Add(p.X, previous.Y);  // hold the value up to the new x
    merger.Add(p.X, p.Y);
    previous = p;
    havePrevious = true;
  }
  endLine();
  return lines;
}

}  // namespace corvana
