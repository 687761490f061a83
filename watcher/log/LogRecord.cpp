#include "watcher/log/LogRecord.h"

#include <string>

#include "common/ComError.h"

namespace corvana {

namespace {
template <class T>
std::vector<T> FirstElements(const std::vector<T>& source, std::int32_t count, const char* what) {
  if (count < 0) count = 0;
  if (source.size() < static_cast<std::size_t>(count))
    RaiseError(kErrSubscriptOutOfRange, "LogRecord.Initialize",
               std::string("Subscript out of range: ") + what + " holds " + std::to_string(source.size()) +
                   " values, " + std::to_string(count) + " expected.");
  return std::vector<T>(source.begin(), source.begin() + count);
}
}  // namespace

void LogRecord::Initialize(double objectiveValueWithPenalties, double objectiveValueWithoutPenalties,
                           std::int32_t numIters, double mean, double stdDev, double min, double max,
                           std::int32_t numAdjustableCells, const std::vector<double>& adjustableCellValues,
                           bool solutionIsValid, std::int32_t numAtomicConstraints,
                           const std::vector<double>& atomicConstraintValues,
                           const std::vector<bool>& atomicConstraintIsMet) {
  // Build everything before assigning, so a short array leaves the record untouched.
  auto cells = FirstElements(adjustableCellValues, numAdjustableCells, "the adjustable cell values");
  std::vector<double> values;
  std::vector<bool> met;
  if (numAtomicConstraints >= 1) {
    values = FirstElements(atomicConstraintValues, numAtomicConstraints, "the atomic constraint values");
    met = FirstElements(atomicConstraintIsMet, numAtomicConstraints, "the atomic constraint flags");
  }
  m_ObjectiveValueWithPenalties = objectiveValueWithPenalties;
  m_ObjectiveValueWithoutPenalties = objectiveValueWithoutPenalties;
  m_NumIters = numIters;
  m_Mean = mean;
  m_StdDev = stdDev;
  m_Min = min;
  m_Max = max;
  m_SolutionIsValid = solutionIsValid;
  m_AdjustableCellValues = std::move(cells);
  m_AtomicConstraintValues = std::move(values);
  m_AtomicConstraintIsMet = std::move(met);
}

void LogRecord::Clear() {
  m_AdjustableCellValues.clear();
  m_AtomicConstraintValues.clear();
  m_AtomicConstraintIsMet.clear();
}

}  // namespace corvana
