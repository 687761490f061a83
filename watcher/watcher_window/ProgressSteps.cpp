#include "watcher/watcher_window/ProgressSteps.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "watcher/common/Utilities.h"

namespace corvana {

void ProgressSteps::Initialize() {
  m_HasLastBestValue = false;
  m_LastBestValue = 0;
}

bool ProgressSteps::Record(double trialCount, bool hasBest, double best) {
  if (m_StepValues.size() > kMaxSteps) return false;
  if (!hasBest) return false;
  if (m_HasLastBestValue && best == m_LastBestValue) return false;
  m_LastBestValue = best;
  m_HasLastBestValue = true;
  m_StepTrials.push_back(trialCount);
  m_StepValues.push_back(best);
  return true;
}

std::int32_t ProgressSteps::LastTrialsOffset(double trialNumber, double trialCount) {
  const double offset = trialNumber - trialCount - 1;
  if (!std::isfinite(offset) || offset < std::numeric_limits<std::int32_t>::min() ||
      offset > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::nearbyint(offset));
}

void ProgressSteps::AllTrialsData(double trialCount, double best, std::vector<double>& xs,
                                  std::vector<double>& ys) const {
  xs.assign(m_StepTrials.begin(), m_StepTrials.end());
  ys.assign(m_StepValues.begin(), m_StepValues.end());
  if (xs.empty()) return;
  xs.push_back(trialCount);
  ys.push_back(best);
}

void ProgressSteps::LastTrialsData(double trialCount, std::int32_t numLastTrialsToShow, bool hasBest,
                                   double best, std::vector<double>& xs, std::vector<double>& ys) const {
  xs.clear();
  ys.clear();
  if (m_StepTrials.empty()) return;
  if (hasBest) {
    xs.push_back(0);
    ys.push_back(best);
  }
  const double leftEdge = -static_cast<double>(numLastTrialsToShow);
  for (std::size_t i = m_StepTrials.size(); i-- > 0;) {
    const std::int32_t offset = LastTrialsOffset(m_StepTrials[i], trialCount);
    if (offset >= leftEdge) {
      xs.push_back(offset);
      ys.push_back(m_StepValues[i]);
    } else {
      xs.push_back(leftEdge);
      ys.push_back(m_StepValues[i]);
      break;
    }
  }
  std::reverse(xs.begin(), xs.end());
  std::reverse(ys.begin(), ys.end());
}

double ProgressSteps::GrownAxisMax(double currentMax, double trialCount) {
  if (trialCount <= currentMax) return currentMax;
  return Utilities::RoundUpToOneSignificantDigit(2 * trialCount);
}

}  // namespace corvana
