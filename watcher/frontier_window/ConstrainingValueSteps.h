#pragma once

#include <cstdint>
#include <vector>

#include "watcher/graph/OGrData.h"

namespace corvana {

// The progress steps of every constraining value of a series as its step curve draws them: the
// first best seen adds one point, every later change of the best two (a vertical step at the
// trial count where it was seen, from the previous best to the new one). Points only grow.
class ConstrainingValueSteps {
 public:
  // n constraining values (1-based), none with a step yet.
  void Initialize(std::int32_t count);
  void Clear();
  std::int32_t Count() const noexcept { return static_cast<std::int32_t>(m_Points.size()); }

  // Records the best value of constraining value `index` seen at trial count `trialCount`.
  // Returns true when a point was added; the same best seen again adds nothing, and a missing
  // best (no progress step yet) is ignored.
  bool Record(std::int32_t index, double trialCount, double best);

  std::int32_t NumPoints(std::int32_t index) const;
  double LastSeenBestValue(std::int32_t index) const;
  const OGrData& Points(std::int32_t index) const;

  // The curve of `index`: its points and one more at (trialCount, best), so that the curve runs
  // on flat to the trial under way. Leaves `curve` empty when the value has no point yet.
  void CurveData(std::int32_t index, double trialCount, double best, OGrData& curve) const;

 private:
  std::size_t Slot(std::int32_t index) const;

  std::vector<OGrData> m_Points;
  std::vector<double> m_LastSeenBestValue;
};

}  // namespace corvana
