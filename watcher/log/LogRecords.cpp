#include "watcher/log/LogRecords.h"

#include <string>

#include "common/ComError.h"

namespace corvana {

void LogRecords::Initialize(std::int32_t numAdjustableCells, std::int32_t numAtomicConstraints) {
  m_Records.clear();
  m_NumAdjustableCells = numAdjustableCells;
  m_NumAtomicConstraints = numAtomicConstraints;
}

void LogRecords::Clear() {
  for (auto& record : m_Records) record.Clear();
  m_Records.clear();
}

const LogRecord& LogRecords::Item(std::int32_t index) const {
  if (index < 1 || index > Count())
    RaiseError(
        kErrSubscriptOutOfRange, "LogRecords.Item",
        "Subscript out of range: record " + std::to_string(index) + " of " + std::to_string(Count()) + ".");
  return m_Records[static_cast<std::size_t>(index - 1)];
}

void LogRecords::AddRecord(double objectiveValueWithPenalties, double objectiveValueWithoutPenalties,
                           const std::vector<double>& adjustableCellValues, bool solutionIsValid,
                           const std::vector<double>& atomicConstraintValues,
                           const std::vector<bool>& atomicConstraintIsMet, std::int32_t numIters, double mean,
                           double stdDev, double min, double max) {
  LogRecord record;
  record.Initialize(objectiveValueWithPenalties, objectiveValueWithoutPenalties, numIters, mean, stdDev, min,
                    max, m_NumAdjustableCells, adjustableCellValues, solutionIsValid, m_NumAtomicConstraints,
                    atomicConstraintValues, atomicConstraintIsMet);
  m_Records.push_back(std::move(record));
}

}  // namespace corvana
