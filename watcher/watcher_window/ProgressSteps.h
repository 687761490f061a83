#pragma once

#include <cstdint>
#include <vector>

namespace corvana {

// The best-value history of one run as the progress tab plots it: one step each time the best
// value changes, at most one per update, capped so that very long runs keep the graphs cheap.
class ProgressSteps {
 public:
  static constexpr std::size_t kMaxSteps = 100000;

  // Forgets the last recorded best value (the steps themselves are kept for the whole run).
  void Initialize();

  // Records (trialCount, best) when a best exists and differs from the last recorded one.
  // Returns true when a step was added.
  bool Record(double trialCount, bool hasBest, double best);

  std::size_t Count() const noexcept { return m_StepTrials.size(); }
  const std::vector<double>& StepTrials() const noexcept { return m_StepTrials; }
  const std::vector<double>& StepValues() const noexcept { return m_StepValues; }

  // Trial number relative to the latest trial, as the last-trials graph places it;
  // INT32_MIN when it does not fit, which puts the point outside the visible window.
  static std::int32_t LastTrialsOffset(double trialNumber, double trialCount);

  // The all-trials curve: every recorded step followed by the current point, so that the flat
  // line after the last improvement reaches the trial under way. Row 0 X, row 1 Y.
  void AllTrialsData(double trialCount, double best, std::vector<double>& xs, std::vector<double>& ys) const;

  // The last-trials curve in ascending X, built from the latest step backwards: steps inside the
  // window at their offsets, the first step before the window once at its left edge, and the
  // current best at the right edge (offset 0).
  void LastTrialsData(double trialCount, std::int32_t numLastTrialsToShow, bool hasBest, double best,
                      std::vector<double>& xs, std::vector<double>& ys) const;

  // The all-trials axis end after trialCount: unchanged while the count fits, otherwise the
  // rounded double of the count, so the curve never reaches the right edge.
  static double GrownAxisMax(double currentMax, double trialCount);

 private:
  std::vector<double> m_StepTrials;
  std::vector<double> m_StepValues;
  double m_LastBestValue = 0;
  bool m_HasLastBestValue = false;
};

}  // namespace corvana
