#include "addin/ConsoleObserver.h"

namespace corvana::addin {

ConsoleObserver::ConsoleObserver(const RunSettings& settings, ProgressLine& line, RunObserver* next)
    : m_Settings(settings), m_Line(line), m_Next(next) {}

void ConsoleObserver::Draw(const char* state, bool force) {
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Start).count();
  m_Line.Update(m_Trial - m_TrialsBeforeThisOptimization, m_Settings.Trials.value_or(0), elapsed,
                m_Settings.Minutes.value_or(0) * 60, m_Best, state, force);
}

void ConsoleObserver::OnRunCreated(std::int32_t popHandle, const char* logPath) {
  if (m_Next) m_Next->OnRunCreated(popHandle, logPath);
}

void ConsoleObserver::OnOptimizationStarted(int number) {
  m_TrialsBeforeThisOptimization = m_Trial;
  m_Best.reset();
  m_Start = std::chrono::steady_clock::now();
  if (m_Next) m_Next->OnOptimizationStarted(number);
}

void ConsoleObserver::OnTrialUnderWay(long trialNumber) {
  if (m_Next) m_Next->OnTrialUnderWay(trialNumber);
}

void ConsoleObserver::OnTrial(long trialNumber, const Evaluation& evaluation, bool isNewBest) {
  m_Trial = trialNumber;
  if (isNewBest) m_Best = evaluation.ObjectiveWithPenalties;
  Draw("", false);
  if (m_Next) m_Next->OnTrial(trialNumber, evaluation, isNewBest);
}

void ConsoleObserver::OnIdle(bool paused) {
  if (paused != m_WasPaused) Draw(paused ? "paused" : "", true);
  m_WasPaused = paused;
  if (m_Next) m_Next->OnIdle(paused);
}

void ConsoleObserver::OnRunStopped() {
  m_Line.Finish();
  if (m_Next) m_Next->OnRunStopped();
}

bool ConsoleObserver::AskUseConstraintSolver(int violated) {
  return m_Next ? m_Next->AskUseConstraintSolver(violated) : false;
}

}  // namespace corvana::addin
