// The read-outs of a trial log the Watcher shows: counts, and the best, original and last
// solutions, each logged in the diagnostic log as it is read and none raising.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/engine/GdLib.h"

namespace corvana::GdLib {

namespace {

std::string Str(std::int64_t value) {
  return std::to_string(value);
}

struct LogCounts {
  std::int32_t Trials = 0;
  std::int32_t ProgressSteps = 0;
};

// Counts of the whole log (constrainingValueIndex < 0) or of one optimization of a series.
LogCounts QueryCounts(const std::string& routine, const std::string& path,
                      std::int32_t constrainingValueIndex = -1) {
  const bool series = constrainingValueIndex >= 0;
  const std::string call = series ? "GdLogGetRecordCounts2WVB" : "GdLogGetRecordCountsWVB";
  LogCounts counts;
  DebugLogFile::WriteLine(routine + ", About to call " + call + " with log path: " + path);
  std::int16_t rc =
      series ? GdLogGetRecordCounts2WVB(path, counts.Trials, constrainingValueIndex, counts.ProgressSteps)
             : GdLogGetRecordCountsWVB(path, counts.Trials, counts.ProgressSteps);
  DebugLogFile::WriteLine(call + " returned TrialCount=" + Str(counts.Trials) +
                          ", l_TrialOrProgressStepNumber=" + Str(counts.ProgressSteps) + ", rc=" + Str(rc));
  if (rc != 0) LogGdLibError(routine, call, rc, true);
  return counts;
}

// A record with its genes, sized from the log's header.
LogRecordData RecordWithGenes(const std::string& path) {
  LogRecordData record;
  std::int32_t chromosomes = 0, genes = 0, constraints = 0, series = 0;
  if (GdLogGetCountsWVB(path, chromosomes, genes, constraints, series) == 0 && genes > 0)
    record.GeneValues.resize(static_cast<std::size_t>(genes));
  return record;
}

// Reads one record the way the single-optimization read-outs log it; true when it was read.
bool ReadLogged(const std::string& routine, const std::string& path, std::int32_t recordNumber,
                std::int32_t selector, const std::string& selectorLabel, LogRecordData& record) {
  DebugLogFile::WriteLine("About to call GdLogReadRecordVB with LogPath=" + path +
                          ", recordNumber=" + Str(recordNumber) + ", " + selectorLabel + "=" + Str(selector));
  std::int16_t rc = GdLogReadRecordWVB(path, recordNumber, selector, record);
  DebugLogFile::WriteLine("GdLogReadRecordVB returned rc=" + Str(rc));
  if (rc != 0) LogGdLibError(routine, "GdLogReadRecordVB", rc, true);
  return rc == 0;
}

void LogValues(const std::vector<double>& values) {
  if (g_LoggingEnabled) DebugLogFile::WriteArray(values, "p_AdjustableCellValues", 20);
}

// The record `which` selects: best (last progress step), original (trial 1) or last trial.
bool ReadBestOriginalLast(const std::string& routine, const std::string& path, std::int32_t which,
                          LogRecordData& record) {
  LogCounts counts = QueryCounts(routine, path);
  std::int32_t number = 0;
  std::int32_t kind = GdLogKindTrial;
  if (which == kWhichBest) {
    number = counts.ProgressSteps;
    kind = GdLogKindProgressStep;
  } else if (which == kWhichOriginal) {
    number = counts.Trials >= 1 ? 1 : 0;
  } else {
    number = counts.Trials;
  }
  if (number < 1) return false;
  return ReadLogged(routine, path, number, kind, "TrialOrProgressStepNumber", record);
}

}  // namespace

std::int32_t Log_GetTrialCount(const std::string& path) {
  LogCounts counts;
  ResumeNext([&] { counts = QueryCounts("Log_GetTrialCount", path); });
  return counts.Trials;
}

std::int32_t Log_GetProgressStepCount(const std::string& path) {
  LogCounts counts;
  ResumeNext([&] { counts = QueryCounts("Log_GetProgressStepCount", path); });
  return counts.ProgressSteps;
}

std::int32_t Log_GetValidTrialCount(const std::string& path) {
  std::int32_t answer = 0;
  ResumeNext([&] {
    std::int32_t trials = Log_GetTrialCount(path);
    if (trials < 1) return;
    LogRecordData record;
    if (ReadLogged("Log_GetValidTrialCount", path, trials, GdLogKindTrial, "TrialOrProgressStepNumber",
                   record))
      answer = record.Info.ValidTrialCount;
  });
  return answer;
}

std::int32_t Log_GetBestTrialNumber(const std::string& path) {
  std::int32_t answer = 0;
  ResumeNext([&] {
    std::int32_t steps = Log_GetProgressStepCount(path);
    if (steps < 1) return;
    LogRecordData record;
    if (ReadLogged("Log_GetBestTrialNumber", path, steps, GdLogKindProgressStep, "TrialOrProgressStepNumber",
                   record))
      answer = record.TrialNumber;
  });
  return answer;
}

double Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(const std::string& path, std::int32_t which) {
  double answer = kMissingValue;
  ResumeNext([&] {
    LogRecordData record;
    if (ReadBestOriginalLast("Log_GetObjectiveValueWithPenaltiesForBestOriginalLast", path, which, record))
      answer = record.ValueWithPenalties;
  });
  return answer;
}

bool Log_GetAdjustableCellValuesForBestOriginalLast(const std::string& path, std::int32_t which,
                                                    std::vector<double>& values) {
  bool answer = false;
  ResumeNext([&] {
    LogRecordData record = RecordWithGenes(path);
    if (!ReadBestOriginalLast("Log_GetAdjustableCellValuesForBestOriginalLast", path, which, record)) return;
    values = std::move(record.GeneValues);
    answer = true;
    LogValues(values);
  });
  return answer;
}

bool Log_GetAdjustableCellValues(const std::string& path, std::int32_t p_ConstrainingValueIndex,
                                 std::int32_t p_RecordNumber, std::vector<double>& values) {
  bool answer = false;
  ResumeNext([&] {
    LogCounts counts = QueryCounts("Log_GetAdjustableCellValues", path);
    if (p_RecordNumber > counts.Trials) {
      DebugLogFile::WriteLine(
          "***!!*** Log_GetAdjustableCellValues, passed p_RecordNumber > l_TrialCount obtained from "
          "GdLogGetRecordCountsWVB");
      return;
    }
    LogRecordData record = RecordWithGenes(path);
    if (!ReadLogged("Log_GetAdjustableCellValues", path, p_RecordNumber, p_ConstrainingValueIndex,
                    "p_ConstrainingValueIndex", record))
      return;
    values = std::move(record.GeneValues);
    answer = true;
    LogValues(values);
  });
  return answer;
}

double Log_EFGetFrontierSolution(const std::string& path, std::int32_t constrainingValueIndex,
                                 std::int32_t& recordNumber, std::int32_t& trialNumber,
                                 std::vector<double>& values, double& valueWithoutPenalties) {
  const std::string routine = "Log_EFGetFrontierSolution";
  double answer = kMissingValue;
  ResumeNext([&] {
    LogCounts counts = QueryCounts(routine, path, constrainingValueIndex);
    if (counts.ProgressSteps <= 0) return;
    recordNumber = counts.ProgressSteps;
    LogRecordData record = RecordWithGenes(path);
    DebugLogFile::WriteLine("About to call GdLogReadRecordWVB with LogPath=" + path + ", recordNumber=" +
                            Str(recordNumber) + ", p_ConstrainingValueIndex=" + Str(constrainingValueIndex));
    std::int16_t rc = GdLogReadRecordWVB(path, recordNumber, constrainingValueIndex, record);
    if (rc == 0) answer = record.ValueWithPenalties;
    DebugLogFile::WriteLine("GdLogReadRecordWVB returned rc=" + Str(rc) +
                            ", l_Answer=" + DoubleToText(answer));
    if (rc != 0) {
      LogGdLibError(routine, "GdLogReadRecordWVB", rc, true);
      return;
    }
    trialNumber = record.TrialNumber;
    valueWithoutPenalties = record.ValueWithoutPenalties;
    values = std::move(record.GeneValues);
    LogValues(values);
  });
  return answer;
}

std::int32_t Log_EFGetProgressStepCount(const std::string& path, std::int32_t constrainingValueIndex) {
  LogCounts counts;
  ResumeNext([&] { counts = QueryCounts("Log_EFGetProgressStepCount", path, constrainingValueIndex); });
  return counts.ProgressSteps;
}

}  // namespace corvana::GdLib
