#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvana {

// A trial log written here as the optimizing side writes it; removed at the end.
class TrialLogWriter {
 public:
  struct Constraint {
    std::string Name{};
    int HardNotSoft = 0;
    bool HasValue = true;
  };
  struct Trial {
    double Value = 0;
    std::vector<double> Genes{};             // the genes not given are 1
    std::vector<double> Status{}, Values{};  // per constraint (1 met); those not given are met, 0
    std::int32_t ValidTrials = -1;           // -1: every trial so far valid
    std::int32_t Optimization = 1;           // of a series
    double ElapsedSeconds = 0;
  };

  TrialLogWriter(std::string path, int genes, const std::vector<Constraint>& constraints = {},
                 bool series = false);
  ~TrialLogWriter();
  TrialLogWriter(const TrialLogWriter&) = delete;
  TrialLogWriter& operator=(const TrialLogWriter&) = delete;

  // The next trial, and a progress step after it when it is a new best.
  void Append(Trial trial, bool newBest);
  int Trials() const noexcept { return m_Trials; }

 private:
  std::string m_Path;
  int m_Genes;
  std::size_t m_Constraints;
  std::int32_t m_Handle = 0;
  int m_Trials = 0;
};

}  // namespace corvana
