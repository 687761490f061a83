#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Variant.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana {

// The Watcher's binding of the engine library and the suite's second library, typed channel
// access, engine error reports and the trial-log read-outs. Bound once per process.
//
// Until InitializeGdLib has bound the engine, every engine call below raises 0x8004000A
// "GdLib is not loaded." instead of crashing.
namespace GdLib {

inline constexpr const char* kGdLibFileName = "libgdlib8.so";
inline constexpr const char* kTarnLibFileName = "libtarnlib8.so";

// Loads the engine from the suite's system directory, initializes it and installs the channel
// reader of WatcherOLShared. Raises 0x8004000A when the directory or the file is missing or the
// engine refuses to start.
void InitializeGdLib();
// Loads the second library and calls its initialization.
void LoadTarnLib();
bool IsGdLibLoaded();
// Paths the libraries were loaded from (empty before loading).
std::string GdLibPath();
std::string TarnLibPath();

// Channel access: the kind of `value` (Integer, Long, Double, Boolean) selects the decoding; any
// other kind raises 0x8004000A "GdReadTempData: VarType not supported: <kind>" and touches nothing.
// The byte count is the caller's. Returns the engine's result.
std::int16_t GdReadTempData(std::int16_t channel, Variant& value, std::int32_t numBytes);
std::int16_t GdWriteTempData(std::int16_t channel, const Variant& value, std::int32_t numBytes);

// Engine error reports.
std::string GetGdLibErrorText(std::int32_t errorNumber, bool isException);
void LogGdLibError(const std::string& methodName, const std::string& gdLibMethod, std::int32_t errorNumber,
                   bool isException);
// -14 raises 0x80040857 with resource 2101; everything else 0x8004000A with the logged text.
[[noreturn]] void RaiseGdLibError(const std::string& methodName, const std::string& gdLibMethod,
                                  std::int32_t errorNumber, bool isException);

// Engine calls, as thin typed wrappers. Results are the engine's (0 = success, negative = error).
std::int16_t GdSetProgramMode(std::int32_t mode);
std::int16_t GdFree();
std::int16_t GdPopLock(std::int32_t popHandle);
std::int16_t GdPopUnlock(std::int32_t popHandle);
std::int16_t GdPopGetRunStatus(std::int32_t popHandle);
std::int16_t GdPopSetRunStatus(std::int32_t popHandle, std::int16_t status);
std::int32_t GdPopGetTimerValue(std::int32_t popHandle);
std::int32_t GdPopGetSize(std::int32_t popHandle);
std::int32_t GdPopGetChromosomeCount(std::int32_t popHandle);
std::int16_t GdOrgGetResult(std::int32_t popHandle, std::int32_t organism, double& value, double& objective,
                            std::int32_t& flags);
// All genes of an organism, every group in order; `genes` is resized to the gene total.
std::int16_t GdOrgGetGenes(std::int32_t popHandle, std::int32_t organism, std::vector<double>& genes);
std::int32_t GdChrGetGeneCount(std::int32_t popHandle, std::int32_t chromosome);
std::int32_t GdChrGetSolvingMethod(std::int32_t popHandle, std::int32_t chromosome);
std::int16_t GdGeneGetValue(std::int32_t popHandle, std::int32_t chromosome, std::int32_t gene,
                            std::int32_t organism, double& value);
std::int16_t GdGeneGetRange(std::int32_t popHandle, std::int32_t chromosome, std::int32_t gene,
                            double& minimum, double& maximum);
std::int16_t GdChrGetCrossoverRate(std::int32_t popHandle, std::int32_t chromosome, double& rate);
std::int16_t GdChrSetCrossoverRate(std::int32_t popHandle, std::int32_t chromosome, double rate);
std::int16_t GdChrGetCurrentMutationRate(std::int32_t popHandle, std::int32_t chromosome, double& rate);
std::int16_t GdChrGetMutationMode(std::int32_t popHandle, std::int32_t chromosome, bool& isAuto,
                                  double& rate);
// A fixed rate 0..1; a negative rate switches the group to automatic mutation.
std::int16_t GdChrSetMutationMode(std::int32_t popHandle, std::int32_t chromosome, double rate);

// Trial-log calls.
std::int16_t GdLogGetRecordCountsWVB(const std::string& path, std::int32_t& trialCount,
                                     std::int32_t& progressStepCount);
std::int16_t GdLogGetRecordCounts2WVB(const std::string& path, std::int32_t& trialCount,
                                      std::int32_t constrainingValueIndex, std::int32_t& progressStepCount);
std::int16_t GdLogGetCountsWVB(const std::string& path, std::int32_t& numChromosomes, std::int32_t& numGenes,
                               std::int32_t& numConstraints, std::int32_t& isEfficientFrontier);
std::int16_t GdLogGetConstraintInfoWVB(const std::string& path, std::int32_t constraintNum, std::string& name,
                                       std::int32_t& hardNotSoft, std::int32_t& hasValue);

// One trial-log record. The four arrays are filled only when they are not empty, and then must be
// at least as long as the log's constraint (gene) count; size them from GdLogGetCountsWVB once and
// reuse them from record to record.
struct LogRecordData {
  std::int32_t ElapsedSeconds = 0;
  double ValueWithoutPenalties = 0;
  double ValueWithPenalties = 0;
  std::int32_t TrialNumber = 0;
  std::vector<double> ConstraintStatus;
  std::vector<double> ConstraintValues;
  std::vector<double> ConstraintPenalties;
  std::vector<double> GeneValues;
  GdLogRecordInfo Info{};  // zeroed by every read
};
// selector 0: trial; otherwise a progress step (of optimization `selector` in a series).
std::int16_t GdLogReadRecordWVB(const std::string& path, std::int32_t recordNumber, std::int32_t selector,
                                LogRecordData& record);

// Trial-log read-outs. Each queries the log afresh, logs what it does, and reports engine
// failures to the diagnostic log without raising: the caller gets 0, False or the missing-value
// marker and carries on.
inline constexpr std::int32_t kWhichBest = -1;
inline constexpr std::int32_t kWhichOriginal = -2;
inline constexpr std::int32_t kWhichLast = -5;

std::int32_t Log_GetTrialCount(const std::string& path);
std::int32_t Log_GetProgressStepCount(const std::string& path);
std::int32_t Log_GetValidTrialCount(const std::string& path);
std::int32_t Log_GetBestTrialNumber(const std::string& path);
double Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(const std::string& path, std::int32_t which);
bool Log_GetAdjustableCellValuesForBestOriginalLast(const std::string& path, std::int32_t which,
                                                    std::vector<double>& values);
// Record p_RecordNumber of optimization p_ConstrainingValueIndex of a series (its progress steps).
// True when read; a record number above the log's trial count reads nothing and leaves `values`.
bool Log_GetAdjustableCellValues(const std::string& path, std::int32_t p_ConstrainingValueIndex,
                                 std::int32_t p_RecordNumber, std::vector<double>& values);
// The best solution of optimization `constrainingValueIndex`: its objective with penalties, or the
// missing-value marker (and nothing else touched) when that optimization has no progress step yet.
double Log_EFGetFrontierSolution(const std::string& path, std::int32_t constrainingValueIndex,
                                 std::int32_t& recordNumber, std::int32_t& trialNumber,
                                 std::vector<double>& values, double& valueWithoutPenalties);
std::int32_t Log_EFGetProgressStepCount(const std::string& path, std::int32_t constrainingValueIndex);

}  // namespace GdLib
}  // namespace corvana
