// The C boundary's trial-log calls: logs are written through a handle and read by path, so the
// Watcher can read a log another process is still writing.
#include <cstring>
#include <string>

#include "suite/gdlib/CallGuard.h"
#include "suite/gdlib/GdError.h"
#include "suite/gdlib/TrialLogFormat.h"
#include "suite/gdlib/TrialLogReader.h"
#include "suite/gdlib/TrialLogWriter.h"
#include "suite/gdlib/gdlib8.h"

using namespace gdlib;

namespace {

std::string PathOf(const char* path) {
  Require(path, "The log path");
  return path;
}

int16_t RecordCounts(const char* method, const char* path, int32_t* trialCount,
                     int32_t constrainingValueIndex, int32_t* progressStepCount) {
  return Guarded<int16_t>(method, [&] {
    std::string file = PathOf(path);
    Require(trialCount, "The trial count output");
    Require(progressStepCount, "The progress-step count output");
    *trialCount = 0;
    *progressStepCount = 0;
    TrialLogReader::Counts counts;
    try {
      TrialLogReader::Instance().GetCounts(file, constrainingValueIndex, counts);
    } catch (const GdError&) {
      *trialCount = counts.Trials;
      *progressStepCount = counts.ProgressSteps;
      throw;
    }
    *trialCount = counts.Trials;
    *progressStepCount = counts.ProgressSteps;
    return GdOk;
  });
}

}  // namespace

extern "C" {

int16_t GdLogCreate(const char* path, int32_t numChromosomes, int32_t numGenes, int32_t numConstraints,
                    const char* const* constraintNames, const int32_t* hardNotSoft, const int32_t* hasValue,
                    int32_t isEfficientFrontier, int32_t* logHandle) {
  return Guarded<int16_t>("GdLogCreate", [&] {
    std::string file = PathOf(path);
    Require(logHandle, "The log handle output");
    if (numChromosomes < 0 || numGenes < 0 || numGenes > TrialLogFormat::kMaxGenes || numConstraints < 0 ||
        numConstraints > TrialLogFormat::kMaxConstraints)
      Fail(GdErrInvalidArgument, "The log's counts are out of range.");
    TrialLogFormat::Header header;
    header.NumChromosomes = numChromosomes;
    header.NumGenes = numGenes;
    header.IsEfficientFrontier = isEfficientFrontier ? 1 : 0;
    if (numConstraints > 0) {
      Require(constraintNames, "The constraint names");
      Require(hardNotSoft, "The hard/soft values");
      Require(hasValue, "The has-value flags");
    }
    for (int32_t i = 0; i < numConstraints; ++i) {
      std::string name = constraintNames[i] ? constraintNames[i] : "";
      if (name.size() > TrialLogFormat::kMaxNameBytes) name.resize(TrialLogFormat::kMaxNameBytes);
      header.Constraints.push_back({name, hardNotSoft[i], hasValue[i] ? 1 : 0});
    }
    *logHandle = TrialLogWriter::Create(file, header);
    return GdOk;
  });
}

int16_t GdLogAppendRecord(int32_t logHandle, int32_t constrainingValueIndex, const GdLogRecord* record) {
  return Guarded<int16_t>("GdLogAppendRecord", [&] {
    Require(record, "The record");
    TrialLogWriter::Append(logHandle, constrainingValueIndex, *record);
    return GdOk;
  });
}

int16_t GdLogClose(int32_t logHandle) {
  return Guarded<int16_t>("GdLogClose", [&] {
    TrialLogWriter::Close(logHandle);
    return GdOk;
  });
}

int16_t GdLogGetRecordCountsWVB(const char* path, int32_t* trialCount, int32_t* progressStepCount) {
  return RecordCounts("GdLogGetRecordCountsWVB", path, trialCount, 0, progressStepCount);
}

int16_t GdLogGetRecordCounts2WVB(const char* path, int32_t* trialCount, int32_t constrainingValueIndex,
                                 int32_t* progressStepCount) {
  return RecordCounts("GdLogGetRecordCounts2WVB", path, trialCount, constrainingValueIndex,
                      progressStepCount);
}

int16_t GdLogReadRecordWVB(const char* path, int32_t recordNumber, int32_t selector, int32_t* elapsedSeconds,
                           double* valueWithoutPenalties, double* valueWithPenalties, int32_t* trialNumber,
                           double* constraintStatus, double* constraintValues, double* constraintPenalties,
                           int32_t constraintCapacity, double* geneValues, int32_t geneCapacity,
                           GdLogRecordInfo* info) {
  return Guarded<int16_t>("GdLogReadRecordWVB", [&] {
    std::string file = PathOf(path);
    TrialLogReader::Instance().ReadRecord(
        file, recordNumber, selector,
        [&](const TrialLogFormat::Header& header, const TrialLogReader::Record& r) {
          const int32_t nc = header.NumConstraints;
          const int32_t ng = header.NumGenes;
          auto status = Buffer(constraintStatus, constraintCapacity, nc, "The constraint status buffer");
          auto values = Buffer(constraintValues, constraintCapacity, nc, "The constraint value buffer");
          auto penalties =
              Buffer(constraintPenalties, constraintCapacity, nc, "The constraint penalty buffer");
          auto genes = Buffer(geneValues, geneCapacity, ng, "The gene buffer");
          if (!status.empty()) std::memcpy(status.data(), r.ConstraintStatus, 8 * std::size_t(nc));
          if (!values.empty()) std::memcpy(values.data(), r.ConstraintValues, 8 * std::size_t(nc));
          if (!penalties.empty()) std::memcpy(penalties.data(), r.ConstraintPenalties, 8 * std::size_t(nc));
          if (!genes.empty()) std::memcpy(genes.data(), r.GeneValues, 8 * std::size_t(ng));
          if (elapsedSeconds) *elapsedSeconds = r.Head.ElapsedSeconds;
          if (valueWithoutPenalties) *valueWithoutPenalties = r.Head.ValueWithoutPenalties;
          if (valueWithPenalties) *valueWithPenalties = r.Head.ValueWithPenalties;
          if (trialNumber) *trialNumber = r.Head.TrialNumber;
          if (info) *info = r.Head.Info;
        });
    return GdOk;
  });
}

int16_t GdLogGetCountsWVB(const char* path, int32_t* numChromosomes, int32_t* numGenes,
                          int32_t* numConstraints, int32_t* isEfficientFrontier) {
  return Guarded<int16_t>("GdLogGetCountsWVB", [&] {
    std::string file = PathOf(path);
    TrialLogFormat::Header header = TrialLogReader::Instance().GetHeader(file);
    if (numChromosomes) *numChromosomes = header.NumChromosomes;
    if (numGenes) *numGenes = header.NumGenes;
    if (numConstraints) *numConstraints = header.NumConstraints;
    if (isEfficientFrontier) *isEfficientFrontier = header.IsEfficientFrontier;
    return GdOk;
  });
}

int16_t GdLogGetConstraintInfoWVB(const char* path, int32_t constraintNum, char* name, int32_t nameCapacity,
                                  int32_t* hardNotSoft, int32_t* hasValue) {
  return Guarded<int16_t>("GdLogGetConstraintInfoWVB", [&] {
    std::string file = PathOf(path);
    TrialLogFormat::Header header = TrialLogReader::Instance().GetHeader(file);
    if (constraintNum < 1 || constraintNum > header.NumConstraints)
      Fail(GdErrInvalidArgument, "Constraint " + std::to_string(constraintNum) + " is outside 1.." +
                                     std::to_string(header.NumConstraints) + ".");
    const TrialLogFormat::ConstraintInfo& c = header.Constraints[static_cast<std::size_t>(constraintNum - 1)];
    if (name) {
      if (nameCapacity <= static_cast<int32_t>(c.Name.size()))
        Fail(GdErrBufferTooSmall,
             "The name buffer is too small for " + std::to_string(c.Name.size()) + " bytes.");
      CopyText(c.Name, name, nameCapacity);
    }
    if (hardNotSoft) *hardNotSoft = c.HardNotSoft;
    if (hasValue) *hasValue = c.HasValue;
    return GdOk;
  });
}

}  // extern "C"
