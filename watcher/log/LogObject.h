#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "watcher/log/LogRecords.h"

namespace corvana {

// Out-values of LogGetRecord.
struct LogObjectRecord {
  std::int32_t Time = 0;  // never written: the in-memory log keeps no times
  double ValueWithoutPenalties = 0;
  double ValueWithPenalties = 0;
  std::int32_t RecalcNum = 0;
  bool SolutionIsValid = false;
  std::vector<double> AtomicConstraintValues;
  std::vector<bool> AtomicConstraintIsMet;
  std::vector<double> GeneArray;
  std::int32_t CORVANA_Iters = 0;
  double CORVANA_Mean = 0, CORVANA_StdDev = 0, CORVANA_Min = 0, CORVANA_Max = 0;
};

// An in-memory trial log that the add-in fills and reads back. Solution selectors: -1 best (the
// record flagged last as a new best), -2 original (record 1), -5 last. A selection without a valid result
// gives the missing-value marker.
class LogObject {
 public:
  void Initialize(std::int32_t p_NumAdjustableCells, std::int32_t p_AtomicConstraintCount);
  bool Initialized() const noexcept { return m_Initialized; }
  void Dispose();
  // The arrays keep their lower bound.
  void PassAdjustableCellNames(const std::vector<std::string>& names, std::int32_t lowerBound = 1);
  void PassAtomicConstraintDescriptions(const std::vector<std::string>& descriptions,
                                        std::int32_t lowerBound = 1);
  void AddRecord(double p_ObjectiveValueWithPenalties, double p_ObjectiveValueWithoutPenalties,
                 bool p_IsNewBest, const std::vector<double>& p_AdjustableCellValues, bool p_SolutionIsValid,
                 const std::vector<double>& p_AtomicConstraintValues,
                 const std::vector<bool>& p_AtomicConstraintIsMet, std::int32_t p_CORVANA_NumIters,
                 double p_CORVANA_Mean, double p_CORVANA_StdDev, double p_CORVANA_Min, double p_CORVANA_Max);
  std::int32_t NewBestTrialIndex() const noexcept { return m_NewBestTrialIndex; }
  double NewBestValue() const noexcept { return m_NewBestValue; }
  std::int32_t NumAdjustableCells() const noexcept { return m_NumAdjustableCells; }

  // hardOrSoft is left as the caller passed it.
  void LogGetConstraintInfo(std::int32_t constraintNum, std::string& constraintName) const;
  void LogGetAdjustableCellName(std::int32_t adjustableCellNum, std::string& adjustableCellName) const;
  void LogGetHeaderData(std::int32_t& numAdjustableCells, std::int32_t& numConstraints) const;
  // Raises "Subscript out of range" for a record or progress step that does not exist.
  void LogGetRecord(double recordNum, std::int16_t recalcOrNewBestNum, LogObjectRecord& out) const;
  void LogGetRecordCounts(std::int32_t& trialCount, std::int32_t& progressStepCount) const;
  double GetResult(std::int32_t p_WhichSolution) const;
  bool GetAdjustableCellValues(std::int32_t p_WhichSolution, std::vector<double>& p_Values) const;
  double GetCountOfAllTrials() const;
  double GetCountOfValidTrials() const;

  const LogRecords& Records() const noexcept { return m_Records; }
  std::vector<std::int32_t> ProgressSteps() const { return m_ProgressSteps; }

 private:
  // 0 when the selector gives no position.
  std::int32_t PositionFor(std::int32_t which) const;

  LogRecords m_Records;
  std::vector<std::int32_t> m_ProgressSteps;
  std::int32_t m_NewBestTrialIndex = 0;
  double m_NewBestValue = 0;
  std::int32_t m_NumAdjustableCells = 0;
  std::int32_t m_AtomicConstraintCount = 0;
  std::vector<std::string> m_AdjustableCellNames;
  std::int32_t m_AdjustableCellNamesLowerBound = 1;
  std::vector<std::string> m_AtomicConstraintDescriptions;
  std::int32_t m_AtomicConstraintDescriptionsLowerBound = 1;
  bool m_Initialized = false;
  std::int32_t m_ValidTrialCount = 0;
};

}  // namespace corvana
