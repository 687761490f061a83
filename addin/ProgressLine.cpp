#include "addin/ProgressLine.h"

#include <algorithm>
#include <cmath>

#include "common/Variant.h"

namespace corvana::addin {

ProgressLine::ProgressLine(std::FILE* out, bool enabled) : m_Out(out), m_Enabled(enabled) {}

std::string ProgressLine::Format(long trial, long trialGoal, double elapsedSeconds, double timeGoalSeconds,
                                 std::optional<double> best, const std::string& state) {
  double share = 0;
  if (trialGoal > 0) share = static_cast<double>(trial) / static_cast<double>(trialGoal);
  if (timeGoalSeconds > 0) share = std::max(share, elapsedSeconds / timeGoalSeconds);
  const int percent = static_cast<int>(std::min(100.0, std::floor(share * 100)));
  const long seconds = std::lround(std::floor(elapsedSeconds));
  char clock[64];
  std::snprintf(clock, sizeof clock, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  std::string text = "Trial " + std::to_string(trial);
  if (trialGoal > 0) text += "/" + std::to_string(trialGoal);
  text += "  " + std::to_string(percent) + "%  " + clock + "  best " + (best ? DoubleToText(*best) : "-");
  if (!state.empty()) text += "  [" + state + "]";
  return text;
}

void ProgressLine::Update(long trial, long trialGoal, double elapsedSeconds, double timeGoalSeconds,
                          std::optional<double> best, const std::string& state, bool force) {
  if (!m_Enabled) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && m_Drawn && now - m_LastDraw < std::chrono::milliseconds(100)) return;
  m_LastDraw = now;
  m_Drawn = true;
  // Erase to the end of the line: the new text may be shorter than the old.
  std::fprintf(m_Out, "\r%s\033[K",
               Format(trial, trialGoal, elapsedSeconds, timeGoalSeconds, best, state).c_str());
  std::fflush(m_Out);
}

void ProgressLine::Finish() {
  if (!m_Enabled || !m_Drawn) return;
  std::fprintf(m_Out, "\r\033[K");
  std::fflush(m_Out);
  m_Drawn = false;
}

}  // namespace corvana::addin
