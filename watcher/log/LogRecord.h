#pragma once

#include <cstdint>
#include <vector>

namespace corvana {

// One trial of the in-memory log; every field is set once, when the record is created.
class LogRecord {
 public:
  // Takes the first numAdjustableCells / numAtomicConstraints elements of the arrays; the
  // constraint arrays are read only when there is at least one constraint.
  void Initialize(double objectiveValueWithPenalties, double objectiveValueWithoutPenalties,
                  std::int32_t numIters, double mean, double stdDev, double min, double max,
                  std::int32_t numAdjustableCells, const std::vector<double>& adjustableCellValues,
                  bool solutionIsValid, std::int32_t numAtomicConstraints,
                  const std::vector<double>& atomicConstraintValues,
                  const std::vector<bool>& atomicConstraintIsMet);
  void Clear();

  double ObjectiveValueWithPenalties() const noexcept { return m_ObjectiveValueWithPenalties; }
  double ObjectiveValueWithoutPenalties() const noexcept { return m_ObjectiveValueWithoutPenalties; }
  std::int32_t CORVANA_NumIters() const noexcept { return m_NumIters; }
  double CORVANA_Mean() const noexcept { return m_Mean; }
  double CORVANA_StdDev() const noexcept { return m_StdDev; }
  double CORVANA_Min() const noexcept { return m_Min; }
  double CORVANA_Max() const noexcept { return m_Max; }
  bool SolutionIsValid() const noexcept { return m_SolutionIsValid; }
  // Each replaces the caller's array with the record's n elements (element 0 is item 1).
  void GetAdjustableCellValues(std::vector<double>& values) const { values = m_AdjustableCellValues; }
  void GetAtomicConstraintValues(std::vector<double>& values) const { values = m_AtomicConstraintValues; }
  void GetAtomicConstraintIsMet(std::vector<bool>& values) const { values = m_AtomicConstraintIsMet; }

 private:
  double m_ObjectiveValueWithPenalties = 0;
  double m_ObjectiveValueWithoutPenalties = 0;
  std::int32_t m_NumIters = 0;
  double m_Mean = 0, m_StdDev = 0, m_Min = 0, m_Max = 0;
  bool m_SolutionIsValid = false;
  std::vector<double> m_AdjustableCellValues;
  std::vector<double> m_AtomicConstraintValues;
  std::vector<bool> m_AtomicConstraintIsMet;
};

}  // namespace corvana
