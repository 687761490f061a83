#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace corvana::addin {

// The one-line progress display on a terminal, redrawn in place at most ten times a second.
// On anything but a terminal it stays silent, so piped output holds only the result.
class ProgressLine {
 public:
  // `enabled` is normally isatty(fileno(out)).
  ProgressLine(std::FILE* out, bool enabled);

  // `trialGoal` 0 when the run stops on time only; `timeGoalSeconds` 0 when on trials only.
  void Update(long trial, long trialGoal, double elapsedSeconds, double timeGoalSeconds,
              std::optional<double> best, const std::string& state, bool force = false);
  // Clears the line so that whatever follows starts on a clean line.
  void Finish();

  static std::string Format(long trial, long trialGoal, double elapsedSeconds, double timeGoalSeconds,
                            std::optional<double> best, const std::string& state);

 private:
  std::FILE* m_Out;
  bool m_Enabled;
  bool m_Drawn = false;
  std::chrono::steady_clock::time_point m_LastDraw{};
};

}  // namespace corvana::addin
