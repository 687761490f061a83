// The C boundary: the engine's general, population and temp-data calls. The trial-log calls are in
// gdlib8Log.cpp; both run every call inside Guarded (CallGuard.h).
#include "suite/gdlib/gdlib8.h"

#include <string>

#include "suite/gdlib/CallGuard.h"
#include "suite/gdlib/ChannelTable.h"
#include "suite/gdlib/GdError.h"
#include "suite/gdlib/Population.h"
#include "suite/gdlib/PopulationSegment.h"
#include "suite/gdlib/TrialLogReader.h"
#include "suite/gdlib/TrialLogWriter.h"

namespace {

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
    SetLogToFile(loggingFlags == 8);
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
    ExceptionInfo info;
    if (!LastFailure(errorNumber, info)) return 0;
    CopyText(info.Name, name, nameCapacity);
    CopyText(info.Method, method, methodCapacity);
    CopyText(info.Message, message, messageCapacity);
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

}  // extern "C"
