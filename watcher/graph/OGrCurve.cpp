#include "watcher/graph/OGrCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvana {

void OGrCurve::SetData(OGrData data) {
  m_Data = std::move(data);
  m_XRange.reset();
  m_YRange.reset();
  m_Reduction.reset();
}

void OGrCurve::FiniteRange(bool xAxis, double& min, double& max) const {
  std::optional<Range>& cached = xAxis ? m_XRange : m_YRange;
  if (!cached) {
    Range range{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    const std::size_t n = m_Data.Size();
    const auto& values = xAxis ? m_Data.X : m_Data.Y;
    const auto& other = xAxis ? m_Data.Y : m_Data.X;
    for (std::size_t i = 0; i < n; ++i) {
      const double v = values[i];
      if (!std::isfinite(v) || !std::isfinite(other[i])) continue;
      range.Min = std::min(range.Min, v);
      range.Max = std::max(range.Max, v);
    }
    cached = range;
  }
  min = cached->Min;
  max = cached->Max;
}

const OGrCurveDecimator::Lines& OGrCurve::Reduced(const OGrCurveDecimator::Mapping& mapping, double right,
                                                  double top) const {
  const bool steps = DrawsSteps();
  if (!m_Reduction || !(m_Reduction->Mapping == mapping) || m_Reduction->Right != right ||
      m_Reduction->Top != top || m_Reduction->Steps != steps)
    m_Reduction =
        Reduction{mapping, right, top, steps, OGrCurveDecimator::Reduce(m_Data, mapping, steps, right, top)};
  return m_Reduction->Lines;
}

}  // namespace corvana
