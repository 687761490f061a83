#pragma once

#include <optional>

#include "addin/ProgressLine.h"
#include "addin/RunObserver.h"
#include "addin/RunSettings.h"

namespace corvana::addin {

// Shows the run on the terminal's progress line and passes every event on to `next` (the
// Watcher driver), when there is one.
class ConsoleObserver : public RunObserver {
 public:
  ConsoleObserver(const RunSettings& settings, ProgressLine& line, RunObserver* next);

  void OnRunCreated(std::int32_t popHandle, const char* logPath) override;
  void OnOptimizationStarted(int number) override;
  void OnTrialUnderWay(long trialNumber) override;
  void OnTrial(long trialNumber, const Evaluation& evaluation, bool isNewBest) override;
  void OnIdle(bool paused) override;
  void OnRunStopped() override;
  bool AskUseConstraintSolver(int violated) override;

 private:
  void Draw(const char* state, bool force);

  const RunSettings& m_Settings;
  ProgressLine& m_Line;
  RunObserver* m_Next;
  long m_Trial = 0;
  long m_TrialsBeforeThisOptimization = 0;
  std::optional<double> m_Best;
  std::chrono::steady_clock::time_point m_Start = std::chrono::steady_clock::now();
  bool m_WasPaused = false;
};

}  // namespace corvana::addin
