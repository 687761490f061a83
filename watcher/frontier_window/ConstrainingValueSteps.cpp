#include "watcher/frontier_window/ConstrainingValueSteps.h"

#include "common/ComError.h"
#include "suite/objectlib/MarkerValues.h"

namespace corvana {

void ConstrainingValueSteps::Initialize(std::int32_t count) {
  const auto n = static_cast<std::size_t>(count > 0 ? count : 0);
  m_Points.assign(n, OGrData{});
  m_LastSeenBestValue.assign(n, kMissingValue);
}

void ConstrainingValueSteps::Clear() {
  m_Points.clear();
  m_LastSeenBestValue.clear();
}

std::size_t ConstrainingValueSteps::Slot(std::int32_t index) const {
  if (index < 1 || index > Count())
    RaiseError(kErrSubscriptOutOfRange, "ConstrainingValueSteps", "Subscript out of range");
  return static_cast<std::size_t>(index - 1);
}

bool ConstrainingValueSteps::Record(std::int32_t index, double trialCount, double best) {
  const std::size_t i = Slot(index);
  if (IsMissingValue(best) || best == m_LastSeenBestValue[i]) return false;
  m_LastSeenBestValue[i] = best;
  OGrData& points = m_Points[i];
  if (!points.X.empty()) {
    points.X.push_back(trialCount);
    points.Y.push_back(points.Y.back());
  }
  points.X.push_back(trialCount);
  points.Y.push_back(best);
  return true;
}

std::int32_t ConstrainingValueSteps::NumPoints(std::int32_t index) const {
  return static_cast<std::int32_t>(m_Points[Slot(index)].Size());
}

double ConstrainingValueSteps::LastSeenBestValue(std::int32_t index) const {
  return m_LastSeenBestValue[Slot(index)];
}

const OGrData& ConstrainingValueSteps::Points(std::int32_t index) const {
  return m_Points[Slot(index)];
}

void ConstrainingValueSteps::CurveData(std::int32_t index, double trialCount, double best,
                                       OGrData& curve) const {
  const OGrData& points = m_Points[Slot(index)];
  curve.X.assign(points.X.begin(), points.X.end());
  curve.Y.assign(points.Y.begin(), points.Y.end());
  if (points.X.empty()) return;
  curve.X.push_back(trialCount);
  curve.Y.push_back(best);
}

}  // namespace corvana
