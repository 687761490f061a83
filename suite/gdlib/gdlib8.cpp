// The C boundary: every call is guarded, so no exception leaves the library; failures become
// result codes whose details GdGetExceptionInfoWVB hands out afterwards.
#include "suite/gdlib/gdlib8.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <span>
#include <string>

#include "suite/gdlib/ChannelTable.h"
#include "suite/gdlib/GdError.h"
#include "suite/gdlib/Population.h"
#include "suite/gdlib/PopulationSegment.h"
#include "suite/gdlib/TrialLogReader.h"
#include "suite/gdlib/TrialLogWriter.h"

namespace gdlib {
namespace {

struct ExceptionInfo {
  std::string Name;
  std::string Method;
  std::string Message;
};

std::mutex g_InfoMutex;
std::map<std::int32_t, ExceptionInfo>& LastFailures() {
  static auto* failures = new std::map<std::int32_t, ExceptionInfo>;
  return *failures;
}

bool g_LogToFile = false;

// The engine's own log, "GdLib.log" in the suite's logging folder, written when the host asks
// for it at initialization.
std::string EngineLogPath() {
  if (const char* dir = std::getenv("ORRENDEL_LOG_DIR"); dir && *dir) return std::string(dir) + "/GdLib.log";
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return std::string(state) + "/corvana/log/GdLib.log";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "/tmp") + "/.local/state/corvana/log/GdLib.log";
}

void Remember(std::int32_t code, const char* name, const char* method, const std::string& message) noexcept {
  try {
    std::lock_guard lock(g_InfoMutex);
    LastFailures()[code] = {name, method, message};
    if (g_LogToFile) {
      if (std::FILE* file = std::fopen(EngineLogPath().c_str(), "a")) {
        std::fprintf(file, "GdLib %d: %s returned %d: %s\n", static_cast<int>(::getpid()), method, code,
                     message.c_str());
        std::fclose(file);
      }
    }
  } catch (...) {
  }
}

template <class Result, class Call>
Result Guarded(const char* method, Call&& call) noexcept {
  try {
    return static_cast<Result>(call());
  } catch (const GdError& e) {
    Remember(e.Code(), "GdError", method, e.what());
    return e.Code();
  } catch (const std::bad_alloc&) {
    Remember(GdErrNoSpace, "std::bad_alloc", method, "Out of memory.");
    return GdErrNoSpace;
  } catch (const std::exception& e) {
    Remember(GdErrInternal, "std::exception", method, e.what());
    return GdErrInternal;
  } catch (...) {
    Remember(GdErrInternal, "unknown", method, "Unknown failure.");
    return GdErrInternal;
  }
}

void Require(const void* pointer, const char* what) {
  if (!pointer) Fail(GdErrNullPointer, std::string(what) + " is null.");
}

// A caller's output buffer: null when not wanted, otherwise never shorter than needed.
template <class T>
std::span<T> Buffer(T* data, std::int32_t capacity, std::int32_t needed, const char* what) {
  if (capacity < 0) Fail(GdErrInvalidArgument, std::string("The capacity of ") + what + " is negative.");
  if (!data) return {};
  if (capacity < needed)
    Fail(GdErrBufferTooSmall, std::string(what) + " holds " + std::to_string(capacity) + " of " +
                                  std::to_string(needed) + " values.");
  return {data, static_cast<std::size_t>(capacity)};
}

// Copies text into a caller buffer, cut at the capacity and always terminated.
void CopyText(const std::string& text, char* out, std::int32_t capacity) {
  if (!out || capacity <= 0) return;
  std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity) - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

std::string PathOf(const char* path) {
  Require(path, "The log path");
  return path;
}

const char* ErrorText(std::int32_t code) {
  switch (code) {
    case GdOk: return "Success.";
    case GdErrInvalidArgument: return "An argument is out of range.";
    case GdErrUnknownHandle: return "There is no population or log with this handle.";
    case GdErrChannelOutOfRange: return "The temp-data channel number is out of range.";
    case GdErrBadByteCount: return "A temp-data value has 2, 4 or 8 bytes.";
    case GdErrNullPointer: return "A required pointer argument is null.";
    case GdErrBufferTooSmall: return "An output buffer is too small.";
    case GdErrLogNotFound: return "The trial log does not exist.";
    case GdErrLogCorrupt: return "The file is not a valid trial log or it is damaged.";
    case GdErrRecordOutOfRange: return "The trial-log record does not exist.";
    case GdErrNoSpace: return "Not enough memory or disk space.";
    case GdErrSystem: return "An operating-system call failed.";
    case GdErrNotOwner: return "The caller does not own this population or its lock.";
    case GdErrNoPendingOrganism: return "No organism is waiting for its result.";
    case GdErrPopulationGone: return "The optimization's population no longer exists.";
    case GdErrLogExists: return "A trial log already exists at this path.";
    case GdErrInternal: return "Internal engine error.";
    case GdErrTimeout: return "The population lock was not free in time.";
    default: return nullptr;
  }
}

}  // namespace
}  // namespace gdlib

using namespace gdlib;

extern "C" {

int32_t GdGetVersion(void) {
  return GDLIB_VERSION;
}

int16_t GdSetProgramMode(int32_t mode) {
  return Guarded<int16_t>("GdSetProgramMode", [&] {
    if (mode < 0) Fail(GdErrInvalidArgument, "The program mode is negative.");
    return GdOk;
  });
}

int16_t GdInit3(int32_t, int32_t loggingFlags, int32_t, const char*) {
  return Guarded<int16_t>("GdInit3", [&] {
    if (loggingFlags != 0 && loggingFlags != 8) Fail(GdErrInvalidArgument, "The logging flags are 0 or 8.");
    g_LogToFile = loggingFlags == 8;
    return GdOk;
  });
}

int16_t GdFree(void) {
  return Guarded<int16_t>("GdFree", [] {
    Population::ReleaseAll();
    TrialLogWriter::CloseAll();
    TrialLogReader::Instance().Clear();
    ChannelTable::Instance().Release();
    return GdOk;
  });
}

int16_t GdGetErrorTextWVB(int32_t errorNumber, char* text, int32_t capacity) {
  return Guarded<int16_t>("GdGetErrorTextWVB", [&] {
    Require(text, "The text buffer");
    const char* message = ErrorText(errorNumber);
    if (!message) {
      CopyText("", text, capacity);
      Fail(GdErrInvalidArgument, "Unknown error number " + std::to_string(errorNumber) + ".");
    }
    CopyText(message, text, capacity);
    return GdOk;
  });
}

int16_t GdGetExceptionInfoWVB(int32_t errorNumber, char* name, int32_t nameCapacity, char* method,
                              int32_t methodCapacity, char* message, int32_t messageCapacity) {
  try {
    std::lock_guard lock(g_InfoMutex);
    auto it = LastFailures().find(errorNumber);
    if (it == LastFailures().end()) return 0;
    CopyText(it->second.Name, name, nameCapacity);
    CopyText(it->second.Method, method, methodCapacity);
    CopyText(it->second.Message, message, messageCapacity);
    return 1;
  } catch (...) {
    return 0;
  }
}

int16_t GdPopCreate(const GdGroupSpec* groups, int32_t groupCount, int32_t populationSize, int32_t goal,
                    uint64_t seed, int32_t* popHandle) {
  return Guarded<int16_t>("GdPopCreate", [&] {
    Require(groups, "The group list");
    Require(popHandle, "The handle output");
    if (groupCount < 1) Fail(GdErrInvalidArgument, "A population needs at least one group of genes.");
    *popHandle =
        Population::Create({groups, static_cast<std::size_t>(groupCount)}, populationSize, goal, seed)
            ->Handle();
    return GdOk;
  });
}

int16_t GdPopSetInitialGenes(int32_t popHandle, const double* genes, int32_t count) {
  return Guarded<int16_t>("GdPopSetInitialGenes", [&] {
    Require(genes, "The gene values");
    if (count < 0) Fail(GdErrInvalidArgument, "The gene count is negative.");
    Population::Open(popHandle)->SetInitialGenes({genes, static_cast<std::size_t>(count)});
    return GdOk;
  });
}

int16_t GdPopNextOrganism(int32_t popHandle, double* genes, int32_t capacity, int32_t* count) {
  return Guarded<int16_t>("GdPopNextOrganism", [&] {
    auto population = Population::Open(popHandle);
    Require(genes, "The gene buffer");
    Require(count, "The gene count output");
    std::span<double> out = Buffer(genes, capacity, population->GeneTotal(), "The gene buffer");
    population->TakeOrganism(0, out);
    *count = population->GeneTotal();
    return GdOk;
  });
}

int16_t GdPopReportResult(int32_t popHandle, double valueWithoutPenalties, double valueWithPenalties,
                          int32_t feasible, int32_t* isNewBest) {
  return Guarded<int16_t>("GdPopReportResult", [&] {
    bool best = Population::Open(popHandle)->ReportOrganism(0, valueWithoutPenalties, valueWithPenalties,
                                                            feasible != 0);
    if (isNewBest) *isNewBest = best ? 1 : 0;
    return GdOk;
  });
}

int16_t GdPopTakeOrganism(int32_t popHandle, int32_t worker, double* genes, int32_t capacity,
                          int32_t* count) {
  return Guarded<int16_t>("GdPopTakeOrganism", [&] {
    auto population = Population::Open(popHandle);
    Require(genes, "The gene buffer");
    Require(count, "The gene count output");
    population->TakeOrganism(worker, Buffer(genes, capacity, population->GeneTotal(), "The gene buffer"));
    *count = population->GeneTotal();
    return GdOk;
  });
}

int16_t GdPopReportOrganism(int32_t popHandle, int32_t worker, double valueWithoutPenalties,
                            double valueWithPenalties, int32_t feasible, int32_t* isNewBest) {
  return Guarded<int16_t>("GdPopReportOrganism", [&] {
    bool best = Population::Open(popHandle)->ReportOrganism(worker, valueWithoutPenalties, valueWithPenalties,
                                                            feasible != 0);
    if (isNewBest) *isNewBest = best ? 1 : 0;
    return GdOk;
  });
}

int16_t GdPopRequeueOrganism(int32_t popHandle, int32_t worker) {
  return Guarded<int16_t>("GdPopRequeueOrganism", [&] {
    Population::Open(popHandle)->RequeueOrganism(worker);
    return GdOk;
  });
}

int32_t GdPopReclaimStale(void) {
  return Guarded<int32_t>("GdPopReclaimStale", [] { return PopulationSegment::ReclaimStale(); });
}

int16_t GdPopGetWorkerState(int32_t popHandle, int32_t worker, int32_t* state, int32_t* pid) {
  return Guarded<int16_t>("GdPopGetWorkerState", [&] {
    std::int32_t s = 0, p = 0;
    Population::Open(popHandle)->WorkerState(worker, s, p);
    if (state) *state = s;
    if (pid) *pid = p;
    return GdOk;
  });
}

int16_t GdPopGetBest(int32_t popHandle, double* genes, int32_t capacity, double* valueWithPenalties) {
  return Guarded<int16_t>("GdPopGetBest", [&] {
    auto population = Population::Open(popHandle);
    Require(genes, "The gene buffer");
    double value = population->Best(Buffer(genes, capacity, population->GeneTotal(), "The gene buffer"));
    if (valueWithPenalties) *valueWithPenalties = value;
    return GdOk;
  });
}

int32_t GdPopGetTrialCount(int32_t popHandle) {
  return Guarded<int32_t>("GdPopGetTrialCount", [&] {
    return static_cast<int32_t>(std::min<int64_t>(Population::Open(popHandle)->TrialCount(), INT32_MAX));
  });
}

int16_t GdPopFree(int32_t popHandle) {
  return Guarded<int16_t>("GdPopFree", [&] {
    Population::Free(popHandle);
    return GdOk;
  });
}

int16_t GdPopLock(int32_t popHandle) {
  return Guarded<int16_t>("GdPopLock", [&] {
    Population::Open(popHandle)->Lock();
    return GdOk;
  });
}

int16_t GdPopTryLock(int32_t popHandle, int32_t milliseconds) {
  return Guarded<int16_t>("GdPopTryLock", [&] {
    if (!Population::Open(popHandle)->TryLock(milliseconds))
      Fail(GdErrTimeout, "The population lock is busy.");
    return GdOk;
  });
}

int16_t GdPopUnlock(int32_t popHandle) {
  return Guarded<int16_t>("GdPopUnlock", [&] {
    Population::Open(popHandle)->Unlock();
    return GdOk;
  });
}

int16_t GdPopGetRunStatus(int32_t popHandle) {
  return Guarded<int16_t>("GdPopGetRunStatus", [&] { return Population::Open(popHandle)->RunStatus(); });
}

int16_t GdPopSetRunStatus(int32_t popHandle, int16_t status) {
  return Guarded<int16_t>("GdPopSetRunStatus", [&] {
    Population::Open(popHandle)->SetRunStatus(status);
    return GdOk;
  });
}

int32_t GdPopGetTimerValue(int32_t popHandle) {
  return Guarded<int32_t>("GdPopGetTimerValue",
                          [&] { return Population::Open(popHandle)->TimerMilliseconds(); });
}

int32_t GdPopGetSize(int32_t popHandle) {
  return Guarded<int32_t>("GdPopGetSize", [&] { return Population::Open(popHandle)->Size(); });
}

int32_t GdPopGetChromosomeCount(int32_t popHandle) {
  return Guarded<int32_t>("GdPopGetChromosomeCount",
                          [&] { return Population::Open(popHandle)->GroupCount(); });
}

int16_t GdOrgGetResult(int32_t popHandle, int32_t organism, double* value, double* objective, int32_t,
                       int32_t* flags) {
  return Guarded<int16_t>("GdOrgGetResult", [&] {
    Require(value, "The value output");
    Require(objective, "The objective output");
    int32_t f = 0;
    Population::Open(popHandle)->OrganismResult(organism, *value, *objective, f);
    if (flags) *flags = f;
    return GdOk;
  });
}

int16_t GdOrgGetGenes(int32_t popHandle, int32_t organism, double* genes, int32_t capacity, int32_t* count) {
  return Guarded<int16_t>("GdOrgGetGenes", [&] {
    auto population = Population::Open(popHandle);
    Require(genes, "The gene buffer");
    population->OrganismGenes(organism, Buffer(genes, capacity, population->GeneTotal(), "The gene buffer"));
    if (count) *count = population->GeneTotal();
    return GdOk;
  });
}

int32_t GdChrGetGeneCount(int32_t popHandle, int32_t chromosome) {
  return Guarded<int32_t>("GdChrGetGeneCount",
                          [&] { return Population::Open(popHandle)->GeneCount(chromosome); });
}

int32_t GdChrGetSolvingMethod(int32_t popHandle, int32_t chromosome) {
  return Guarded<int32_t>("GdChrGetSolvingMethod",
                          [&] { return Population::Open(popHandle)->SolvingMethod(chromosome); });
}

int16_t GdGeneGetValue(int32_t popHandle, int32_t chromosome, int32_t gene, int32_t organism, double* value) {
  return Guarded<int16_t>("GdGeneGetValue", [&] {
    Require(value, "The value output");
    *value = Population::Open(popHandle)->GeneValue(chromosome, gene, organism);
    return GdOk;
  });
}

int16_t GdGeneGetRange(int32_t popHandle, int32_t chromosome, int32_t gene, double* minimum,
                       double* maximum) {
  return Guarded<int16_t>("GdGeneGetRange", [&] {
    Require(minimum, "The minimum output");
    Require(maximum, "The maximum output");
    Population::Open(popHandle)->GeneRange(chromosome, gene, *minimum, *maximum);
    return GdOk;
  });
}

int16_t GdChrGetCrossoverRate(int32_t popHandle, int32_t chromosome, double* rate) {
  return Guarded<int16_t>("GdChrGetCrossoverRate", [&] {
    Require(rate, "The rate output");
    *rate = Population::Open(popHandle)->CrossoverRate(chromosome);
    return GdOk;
  });
}

int16_t GdChrSetCrossoverRate(int32_t popHandle, int32_t chromosome, double rate) {
  return Guarded<int16_t>("GdChrSetCrossoverRate", [&] {
    Population::Open(popHandle)->SetCrossoverRate(chromosome, rate);
    return GdOk;
  });
}

int16_t GdChrGetCurrentMutationRate(int32_t popHandle, int32_t chromosome, double* rate) {
  return Guarded<int16_t>("GdChrGetCurrentMutationRate", [&] {
    Require(rate, "The rate output");
    *rate = Population::Open(popHandle)->CurrentMutationRate(chromosome);
    return GdOk;
  });
}

int16_t GdChrGetMutationMode(int32_t popHandle, int32_t chromosome, int32_t* isAuto, double* rate) {
  return Guarded<int16_t>("GdChrGetMutationMode", [&] {
    Require(isAuto, "The mode output");
    Require(rate, "The rate output");
    bool automatic = false;
    Population::Open(popHandle)->MutationMode(chromosome, automatic, *rate);
    *isAuto = automatic ? 1 : 0;
    return GdOk;
  });
}

int16_t GdChrSetMutationMode(int32_t popHandle, int32_t chromosome, double rate) {
  return Guarded<int16_t>("GdChrSetMutationMode", [&] {
    Population::Open(popHandle)->SetMutationMode(chromosome, rate);
    return GdOk;
  });
}

int16_t GdReadTempData(int16_t channel, void* value, int32_t numBytes) {
  return Guarded<int16_t>("GdReadTempData", [&] {
    ChannelTable::Instance().Read(channel, value, numBytes);
    return GdOk;
  });
}

int16_t GdWriteTempData(int16_t channel, const void* value, int32_t numBytes) {
  return Guarded<int16_t>("GdWriteTempData", [&] {
    ChannelTable::Instance().Write(channel, value, numBytes);
    return GdOk;
  });
}

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

namespace {
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
