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
