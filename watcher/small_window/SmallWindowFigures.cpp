#include "watcher/small_window/SmallWindowFigures.h"

#include <algorithm>
#include <cmath>

#include "watcher/common/ClassicFormat.h"

namespace corvana::SmallWindowFigures {

LanguageWidths ExtraWidthsForLanguage(int languageId, bool constraintSolverMode) {
  switch (languageId) {
    case 4: return {0, 900};
    case 7: return {300, constraintSolverMode ? 750 : 130};
    case 10: return {150, constraintSolverMode ? 550 : 30};
    case 12: return {450, constraintSolverMode ? 200 : -80};
    case 17: return {100, constraintSolverMode ? 900 : 0};
    case 22: return {550, constraintSolverMode ? 200 : 30};
    case 25: return {400, constraintSolverMode ? 900 : 800};
    default: return {0, 0};
  }
}

IterationAndTrial SelectIterationAndTrial(bool multiProcess, double numIterations, double numTrialUnderWay,
                                          double logTrialCount, double numIterationsInCompletedSimulation) {
  if (multiProcess || numIterations != 0) return {numIterations, numTrialUnderWay};
  return {logTrialCount != 0 ? numIterationsInCompletedSimulation : 0, logTrialCount};
}

double ProgressPercent(double logTrialCount, double trialGoal, double elapsedTicks, double millisecondsGoal) {
  double trials = 0;
  if (trialGoal > 0) trials = std::max(1.0, logTrialCount / trialGoal * 100);
  double time = 0;
  if (millisecondsGoal > 0 && elapsedTicks > 0) time = std::max(1.0, elapsedTicks / millisecondsGoal * 100);
  return trials > time ? trials : time;
}

double InitializationPercent(double elapsedMs, double durationMs, double& remainder) {
  if (elapsedMs <= durationMs) return elapsedMs / durationMs * 0.9 * 100;
  remainder = remainder * 19 / 20;
  return std::min(99.0, (0.1 - remainder + 0.9) * 100);
}

int BarValue(double percent) {
  return static_cast<int>(std::clamp(std::nearbyint(percent), 0.0, 100.0));
}

std::string PercentText(double percent) {
  return ClassicFormat::Number(percent, "0") + "%";
}

}  // namespace corvana::SmallWindowFigures
