#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvana::addin::reports {

// A finished trial log, read through the engine's reader: its shape and its records one at a time.
class TrialLogFile {
 public:
  struct Record {
    std::int32_t Trial = 0;
    double Value = 0;  // without penalties
    double ElapsedSeconds = 0;
    bool Valid = false;                 // every hard constraint met
    std::int32_t ValidTrialsSoFar = 0;  // of the whole run, this trial included
    std::vector<double> Met;            // 1 met, 0 not met, per constraint
    std::vector<double> ConstraintValues;
    std::vector<double> Genes;
  };
  struct ConstraintInfo {
    std::string Name;
    bool Hard = true;
  };

  // Raises ReportError when the log cannot be read.
  explicit TrialLogFile(std::string path);

  const std::string& Path() const { return m_Path; }
  std::int32_t Trials() const { return m_Trials; }
  std::int32_t Genes() const { return m_Genes; }
  bool IsSeries() const { return m_IsSeries; }
  const std::vector<ConstraintInfo>& Constraints() const { return m_Constraints; }
  // Progress steps of optimization `optimization` (1-based) of a series; of the whole log otherwise.
  std::int32_t ProgressSteps(int optimization = 1) const;

  void ReadTrial(std::int32_t number, Record& record) const;
  void ReadProgressStep(std::int32_t number, Record& record, int optimization = 1) const;

 private:
  void Read(std::int32_t number, std::int32_t selector, Record& record) const;

  std::string m_Path;
  std::int32_t m_Trials = 0;
  std::int32_t m_Genes = 0;
  bool m_IsSeries = false;
  std::vector<ConstraintInfo> m_Constraints;
};

}  // namespace corvana::addin::reports
