#include "watcher/log/LogObject.h"

#include <cmath>
#include <string>

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/DebugLogFile.h"

namespace corvana {

namespace {
const std::string& Element(const std::vector<std::string>& items, std::int32_t lowerBound, std::int32_t index,
                           const char* source) {
  const auto offset = static_cast<std::int64_t>(index) - lowerBound;
  if (offset < 0 || offset >= static_cast<std::int64_t>(items.size()))
    RaiseError(kErrSubscriptOutOfRange, source,
               "Subscript out of range: " + std::to_string(index) + " is outside " +
                   std::to_string(lowerBound) + ".." +
                   std::to_string(lowerBound + static_cast<std::int64_t>(items.size()) - 1) + ".");
  return items[static_cast<std::size_t>(offset)];
}

// Rounds half to even, as the classic conversion to an integer does.
std::int32_t RoundToLong(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
    RaiseError(kErrSubscriptOutOfRange, "LogObject.LogGetRecord", "Record number out of range.");
  return static_cast<std::int32_t>(rounded);
}
}  // namespace

void LogObject::Initialize(std::int32_t p_NumAdjustableCells, std::int32_t p_AtomicConstraintCount) {
  if (m_Initialized) return;
  DebugLogFile::WriteLine("LogObject.Initialize, Entering");
  if (p_NumAdjustableCells < 0 || p_AtomicConstraintCount < 0)
    RaiseError(kErrInvalidArgument, "LogObject.Initialize", "The counts of a log cannot be negative.");
  m_NumAdjustableCells = p_NumAdjustableCells;
  m_AtomicConstraintCount = p_AtomicConstraintCount;
  m_Records.Initialize(p_NumAdjustableCells, p_AtomicConstraintCount);
  m_Initialized = true;
  DebugLogFile::WriteLine("LogObject.Initialize, Exiting");
}

void LogObject::PassAdjustableCellNames(const std::vector<std::string>& names, std::int32_t lowerBound) {
  m_AdjustableCellNames = names;
  m_AdjustableCellNamesLowerBound = lowerBound;
}

void LogObject::PassAtomicConstraintDescriptions(const std::vector<std::string>& descriptions,
                                                 std::int32_t lowerBound) {
  m_AtomicConstraintDescriptions = descriptions;
  m_AtomicConstraintDescriptionsLowerBound = lowerBound;
}

void LogObject::AddRecord(double p_ObjectiveValueWithPenalties, double p_ObjectiveValueWithoutPenalties,
                          bool p_IsNewBest, const std::vector<double>& p_AdjustableCellValues,
                          bool p_SolutionIsValid, const std::vector<double>& p_AtomicConstraintValues,
                          const std::vector<bool>& p_AtomicConstraintIsMet, std::int32_t p_CORVANA_NumIters,
                          double p_CORVANA_Mean, double p_CORVANA_StdDev, double p_CORVANA_Min,
                          double p_CORVANA_Max) {
  if (!m_Initialized)
    RaiseError(kErrApplication, "LogObject.AddRecord", "The log object is not initialized.");
  m_Records.AddRecord(p_ObjectiveValueWithPenalties, p_ObjectiveValueWithoutPenalties, p_AdjustableCellValues,
                      p_SolutionIsValid, p_AtomicConstraintValues, p_AtomicConstraintIsMet,
                      p_CORVANA_NumIters, p_CORVANA_Mean, p_CORVANA_StdDev, p_CORVANA_Min, p_CORVANA_Max);
  if (p_IsNewBest) {
    m_ProgressSteps.push_back(m_Records.Count());
    m_NewBestTrialIndex = m_Records.Count();
    m_NewBestValue = p_ObjectiveValueWithPenalties;
  }
  if (p_SolutionIsValid) ++m_ValidTrialCount;
}

void LogObject::LogGetConstraintInfo(std::int32_t constraintNum, std::string& constraintName) const {
  constraintName = Element(m_AtomicConstraintDescriptions, m_AtomicConstraintDescriptionsLowerBound,
                           constraintNum, "LogObject.LogGetConstraintInfo");
}

void LogObject::LogGetAdjustableCellName(std::int32_t adjustableCellNum,
                                         std::string& adjustableCellName) const {
  adjustableCellName = Element(m_AdjustableCellNames, m_AdjustableCellNamesLowerBound, adjustableCellNum,
                               "LogObject.LogGetAdjustableCellName");
}

void LogObject::LogGetHeaderData(std::int32_t& numAdjustableCells, std::int32_t& numConstraints) const {
  numAdjustableCells = m_NumAdjustableCells;
  numConstraints = m_AtomicConstraintCount;
}

void LogObject::LogGetRecord(double recordNum, std::int16_t recalcOrNewBestNum, LogObjectRecord& out) const {
  std::int32_t recalcNum = 0;
  if (recalcOrNewBestNum != 0) {
    const std::int32_t step = RoundToLong(recordNum);
    if (step < 1 || step > static_cast<std::int32_t>(m_ProgressSteps.size()))
      RaiseError(kErrSubscriptOutOfRange, "LogObject.LogGetRecord",
                 "Subscript out of range: progress step " + std::to_string(step) + " of " +
                     std::to_string(m_ProgressSteps.size()) + ".");
    recalcNum = m_ProgressSteps[static_cast<std::size_t>(step - 1)];
    DebugLogFile::WriteLine("LogGetRecord, called for progress step, recordNum=" + DoubleToText(recordNum) +
                            ", recalcNum=" + std::to_string(recalcNum));
  } else {
    recalcNum = RoundToLong(recordNum);
  }
  const LogRecord& record = m_Records.Item(recalcNum);
  out.RecalcNum = recalcNum;
  out.ValueWithoutPenalties = record.ObjectiveValueWithoutPenalties();
  out.ValueWithPenalties = record.ObjectiveValueWithPenalties();
  out.SolutionIsValid = record.SolutionIsValid();
  out.CORVANA_Iters = record.CORVANA_NumIters();
  out.CORVANA_Mean = record.CORVANA_Mean();
  out.CORVANA_StdDev = record.CORVANA_StdDev();
  out.CORVANA_Min = record.CORVANA_Min();
  out.CORVANA_Max = record.CORVANA_Max();
  record.GetAdjustableCellValues(out.GeneArray);
  if (m_AtomicConstraintCount > 0) {
    record.GetAtomicConstraintValues(out.AtomicConstraintValues);
    record.GetAtomicConstraintIsMet(out.AtomicConstraintIsMet);
  }
}

void LogObject::LogGetRecordCounts(std::int32_t& trialCount, std::int32_t& progressStepCount) const {
  trialCount = m_Records.Count();
  progressStepCount = static_cast<std::int32_t>(m_ProgressSteps.size());
}

std::int32_t LogObject::PositionFor(std::int32_t which) const {
  switch (which) {
    case -1: return m_NewBestTrialIndex;
    case -2: return 1;
    case -5: return m_Records.Count();
    default: return 0;
  }
}

double LogObject::GetResult(std::int32_t p_WhichSolution) const {
  const std::int32_t position = PositionFor(p_WhichSolution);
  if (m_Records.Count() < 1 || position < 1) return kMissingValue;
  const LogRecord& record = m_Records.Item(position);
  return record.SolutionIsValid() ? record.ObjectiveValueWithPenalties() : kMissingValue;
}

bool LogObject::GetAdjustableCellValues(std::int32_t p_WhichSolution, std::vector<double>& p_Values) const {
  bool found = false;
  ResumeNext([&] {
    const std::int32_t position = PositionFor(p_WhichSolution);
    if (m_Records.Count() < 1 || position < 1) return;
    m_Records.Item(position).GetAdjustableCellValues(p_Values);
    found = true;
  });
  return found;
}

double LogObject::GetCountOfAllTrials() const {
  return m_Records.Count();
}

double LogObject::GetCountOfValidTrials() const {
  return m_ValidTrialCount;
}

void LogObject::Dispose() {
  ErrorInfo err;
  ResumeNext(err, [] { DebugLogFile::WriteLine("LogObject.Dispose, Entering"); });
  if (!m_Initialized) {
    ResumeNext(err, [] { DebugLogFile::WriteLine("LogObject.Dispose, not initialized, exiting sub"); });
    return;
  }
  ResumeNext(err, [&] { m_Records.Clear(); });
  m_ProgressSteps.clear();
  m_NewBestTrialIndex = 0;
  m_NewBestValue = 0;
  m_NumAdjustableCells = 0;
  m_AtomicConstraintCount = 0;
  m_ValidTrialCount = 0;
  m_AdjustableCellNames.clear();
  m_AtomicConstraintDescriptions.clear();
  ResumeNext([&] { DebugLogFile::WriteLine("LogObject.Dispose, Exiting, Err: " + err.Description); });
  m_Initialized = false;
}

}  // namespace corvana
