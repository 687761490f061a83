#pragma once

#include <cstdint>
#include <vector>

#include "watcher/log/LogRecord.h"

namespace corvana {

// The records of one in-memory log in insertion order, addressed from 1.
class LogRecords {
 public:
  void Initialize(std::int32_t numAdjustableCells, std::int32_t numAtomicConstraints);
  void Clear();

  std::int32_t Count() const noexcept { return static_cast<std::int32_t>(m_Records.size()); }
  // Raises "Subscript out of range" outside 1..Count.
  const LogRecord& Item(std::int32_t index) const;
  auto begin() const noexcept { return m_Records.begin(); }
  auto end() const noexcept { return m_Records.end(); }

  void AddRecord(double objectiveValueWithPenalties, double objectiveValueWithoutPenalties,
                 const std::vector<double>& adjustableCellValues, bool solutionIsValid,
                 const std::vector<double>& atomicConstraintValues,
                 const std::vector<bool>& atomicConstraintIsMet, std::int32_t numIters, double mean,
                 double stdDev, double min, double max);

 private:
  std::vector<LogRecord> m_Records;
  std::int32_t m_NumAdjustableCells = 0;
  std::int32_t m_NumAtomicConstraints = 0;
};

}  // namespace corvana
