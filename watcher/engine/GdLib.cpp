#include "watcher/engine/GdLib.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/SuiteFolders.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"

namespace corvana::GdLib {
namespace {

// Every engine call, resolved from the loaded library.
struct Api {
  decltype(&::GdSetProgramMode) SetProgramMode;
  decltype(&::GdInit3) Init3;
  decltype(&::GdFree) Free;
  decltype(&::GdGetErrorTextWVB) GetErrorText;
  decltype(&::GdGetExceptionInfoWVB) GetExceptionInfo;
  decltype(&::GdPopLock) PopLock;
  decltype(&::GdPopUnlock) PopUnlock;
  decltype(&::GdPopGetRunStatus) PopGetRunStatus;
  decltype(&::GdPopSetRunStatus) PopSetRunStatus;
  decltype(&::GdPopGetTimerValue) PopGetTimerValue;
  decltype(&::GdPopGetSize) PopGetSize;
  decltype(&::GdPopGetChromosomeCount) PopGetChromosomeCount;
  decltype(&::GdOrgGetResult) OrgGetResult;
  decltype(&::GdOrgGetGenes) OrgGetGenes;
  decltype(&::GdChrGetGeneCount) ChrGetGeneCount;
  decltype(&::GdChrGetSolvingMethod) ChrGetSolvingMethod;
  decltype(&::GdGeneGetValue) GeneGetValue;
  decltype(&::GdGeneGetRange) GeneGetRange;
  decltype(&::GdChrGetCrossoverRate) ChrGetCrossoverRate;
  decltype(&::GdChrSetCrossoverRate) ChrSetCrossoverRate;
  decltype(&::GdChrGetCurrentMutationRate) ChrGetCurrentMutationRate;
  decltype(&::GdChrGetMutationMode) ChrGetMutationMode;
  decltype(&::GdChrSetMutationMode) ChrSetMutationMode;
  decltype(&::GdReadTempData) ReadTempData;
  decltype(&::GdWriteTempData) WriteTempData;
  decltype(&::GdLogGetRecordCountsWVB) LogGetRecordCounts;
  decltype(&::GdLogGetRecordCounts2WVB) LogGetRecordCounts2;
  decltype(&::GdLogReadRecordWVB) LogReadRecord;
  decltype(&::GdLogGetCountsWVB) LogGetCounts;
  decltype(&::GdLogGetConstraintInfoWVB) LogGetConstraintInfo;
};

void* g_GdLibHandle = nullptr;
void* g_TarnLibHandle = nullptr;
std::string g_GdLibPath;
std::string g_TarnLibPath;
Api g_Api{};

const Api& Engine() {
  if (!g_GdLibHandle) RaiseApplicationError("GdLib", "GdLib is not loaded.");
  return g_Api;
}

std::string Str(std::int64_t value) {
  return std::to_string(value);
}

std::string HandleText(void* handle) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(handle));
}

template <class F>
void Resolve(void* library, const std::string& path, const char* name, F& function) {
  function = reinterpret_cast<F>(::dlsym(library, name));
  if (!function)
    RaiseApplicationError("InitializeGdLib",
                          std::string("WATCHER: Could not find ") + name + " in the file " + path + ".");
}

void ResolveAll(void* library, const std::string& path, Api& api) {
  Resolve(library, path, "GdSetProgramMode", api.SetProgramMode);
  Resolve(library, path, "GdInit3", api.Init3);
  Resolve(library, path, "GdFree", api.Free);
  Resolve(library, path, "GdGetErrorTextWVB", api.GetErrorText);
  Resolve(library, path, "GdGetExceptionInfoWVB", api.GetExceptionInfo);
  Resolve(library, path, "GdPopLock", api.PopLock);
  Resolve(library, path, "GdPopUnlock", api.PopUnlock);
  Resolve(library, path, "GdPopGetRunStatus", api.PopGetRunStatus);
  Resolve(library, path, "GdPopSetRunStatus", api.PopSetRunStatus);
  Resolve(library, path, "GdPopGetTimerValue", api.PopGetTimerValue);
  Resolve(library, path, "GdPopGetSize", api.PopGetSize);
  Resolve(library, path, "GdPopGetChromosomeCount", api.PopGetChromosomeCount);
  Resolve(library, path, "GdOrgGetResult", api.OrgGetResult);
  Resolve(library, path, "GdOrgGetGenes", api.OrgGetGenes);
  Resolve(library, path, "GdChrGetGeneCount", api.ChrGetGeneCount);
  Resolve(library, path, "GdChrGetSolvingMethod", api.ChrGetSolvingMethod);
  Resolve(library, path, "GdGeneGetValue", api.GeneGetValue);
  Resolve(library, path, "GdGeneGetRange", api.GeneGetRange);
  Resolve(library, path, "GdChrGetCrossoverRate", api.ChrGetCrossoverRate);
  Resolve(library, path, "GdChrSetCrossoverRate", api.ChrSetCrossoverRate);
  Resolve(library, path, "GdChrGetCurrentMutationRate", api.ChrGetCurrentMutationRate);
  Resolve(library, path, "GdChrGetMutationMode", api.ChrGetMutationMode);
  Resolve(library, path, "GdChrSetMutationMode", api.ChrSetMutationMode);
  Resolve(library, path, "GdReadTempData", api.ReadTempData);
  Resolve(library, path, "GdWriteTempData", api.WriteTempData);
  Resolve(library, path, "GdLogGetRecordCountsWVB", api.LogGetRecordCounts);
  Resolve(library, path, "GdLogGetRecordCounts2WVB", api.LogGetRecordCounts2);
  Resolve(library, path, "GdLogReadRecordWVB", api.LogReadRecord);
  Resolve(library, path, "GdLogGetCountsWVB", api.LogGetCounts);
  Resolve(library, path, "GdLogGetConstraintInfoWVB", api.LogGetConstraintInfo);
}

// Channel values travel in an 8-byte word whatever the caller's byte count, so a count larger
// than the value's own size can never write past it.
union ChannelWord {
  std::uint64_t Raw;
  std::int16_t Integer;
  std::int32_t Long;
  double Double;
};

std::string ErrorLine(const std::string& methodName, const std::string& gdLibMethod, std::int32_t errorNumber,
                      bool isException) {
  std::string text = "Error in method: " + methodName + ", GdLib method: " + gdLibMethod + ", error number" +
                     Str(errorNumber);
  std::string description = GetGdLibErrorText(errorNumber, isException);
  if (!description.empty()) text += ", GdLib description: " + description;
  return text;
}

}  // namespace

// ---- Binding ----

void InitializeGdLib() {
  DebugLogFile::WriteLine("WATCHER: Entering InitializeGdLib");
  std::string dir = SuiteFolders::SystemDirectory();
  if (dir.empty())
    RaiseApplicationError("InitializeGdLib", "WATCHER: Could not find Orrendel System directory.");
  std::string path = dir + "/" + kGdLibFileName;
  DebugLogFile::WriteLine("WATCHER: About to call LoadLibrary for GdLib with this path: " + path);
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  DebugLogFile::WriteLine("WATCHER: Called LoadLibrary for GdLib, l_GdLibHandle=" + HandleText(handle));
  if (!handle) {
    if (const char* reason = ::dlerror())
      DebugLogFile::WriteLine(std::string("WATCHER: LoadLibrary failed: ") + reason);
    RaiseApplicationError("InitializeGdLib", "WATCHER: Could not load the file " + path + ".");
  }
  Api api{};
  try {
    ResolveAll(handle, path, api);
  } catch (...) {
    ::dlclose(handle);
    throw;
  }
  g_Api = api;
  g_GdLibHandle = handle;
  g_GdLibPath = path;

  g_Api.SetProgramMode(1);
  std::int32_t flags = 0;
  if (DebugLogFile::LoggingRequested()) {
    std::remove((SuiteFolders::LoggingFolder() + "/GdLib.log").c_str());
    flags = 8;
  }
  DebugLogFile::WriteLine("GdInit3(1, " + Str(flags) + ", 0, )");
  std::int16_t result = g_Api.Init3(1, flags, 0, "");
  DebugLogFile::WriteLine("WATCHER: GdInit3 returned, dllResult=" + Str(result));
  if (result != 0) RaiseGdLibError("InitializeGdLib", "GdInit3", result, false);

  WatcherOLShared::SetChannelReader([](long channel) {
    Variant value(0.0);
    std::int16_t rc = GdReadTempData(static_cast<std::int16_t>(channel), value, 8);
    if (rc != 0) RaiseGdLibError("GetEFNumOptimizationUnderWay", "GdReadTempData", rc, false);
    return value.ToDouble();
  });
  DebugLogFile::WriteLine("WATCHER: Exiting InitializeGdLib");
}

void LoadTarnLib() {
  std::string dir = SuiteFolders::SystemDirectory();
  if (dir.empty()) RaiseApplicationError("LoadTarnLib", "Could not find Orrendel System directory.");
  std::string path = dir + "/" + kTarnLibFileName;
  DebugLogFile::WriteLine("*TECH SUPPORT* About to load TarnLib using this path: " + path);
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  DebugLogFile::WriteLine("Called LoadLibrary for TarnLib");
  if (!handle) RaiseApplicationError("LoadTarnLib", "Could not load the library " + path + ".");
  using InitFunction = std::int32_t (*)(std::int32_t*, std::int32_t*, std::int32_t*, std::int32_t*,
                                        std::int32_t*, std::int32_t*);
  auto init = reinterpret_cast<InitFunction>(::dlsym(handle, "TarnlibInitLibraryVB"));
  if (!init) {
    ::dlclose(handle);
    RaiseApplicationError("LoadTarnLib", "Could not load the library " + path + ".");
  }
  g_TarnLibHandle = handle;
  g_TarnLibPath = path;
  DebugLogFile::WriteLine("*TECH SUPPORT* TarnLib was loaded.");
  std::int32_t first = 0;
  std::int32_t second = 0;
  init(&first, &first, &second, &second, &second, &second);
  DebugLogFile::WriteLine("*TECH SUPPORT* TarnLib initialization call returned.");
}

bool IsGdLibLoaded() {
  return g_GdLibHandle != nullptr;
}

std::string GdLibPath() {
  return g_GdLibPath;
}

std::string TarnLibPath() {
  return g_TarnLibPath;
}

// ---- Channels ----

std::int16_t GdReadTempData(std::int16_t channel, Variant& value, std::int32_t numBytes) {
  ChannelWord word{};
  switch (value.Kind()) {
    case VarKind::Integer:
    case VarKind::Long:
    case VarKind::Double:
    case VarKind::Boolean: break;
    default:
      RaiseApplicationError("GdReadTempData",
                            "GdReadTempData: VarType not supported: " + Str(value.KindCode()));
  }
  std::int16_t result = Engine().ReadTempData(channel, &word, numBytes);
  switch (value.Kind()) {
    case VarKind::Integer: value = Variant(word.Integer); break;
    case VarKind::Long: value = Variant(word.Long); break;
    case VarKind::Double: value = Variant(word.Double); break;
    default: value = Variant(word.Integer != 0); break;
  }
  return result;
}

std::int16_t GdWriteTempData(std::int16_t channel, const Variant& value, std::int32_t numBytes) {
  DebugLogFile::WriteLine("GdWriteTempData: Entering, cnum=" + Str(channel) + ", numBytes=" + Str(numBytes));
  ChannelWord word{};
  switch (value.Kind()) {
    case VarKind::Integer: word.Integer = value.ToInteger(); break;
    case VarKind::Long: word.Long = value.ToLong(); break;
    case VarKind::Double: word.Double = value.ToDouble(); break;
    case VarKind::Boolean: word.Integer = value.ToBoolean() ? -1 : 0; break;
    default:
      RaiseApplicationError("GdWriteTempData",
                            "GdWriteTempData: VarType not supported: " + Str(value.KindCode()));
  }
  std::int16_t answer = Engine().WriteTempData(channel, &word, numBytes);
  DebugLogFile::WriteLine("GdWriteTempData: Exiting, l_Answer=" + Str(answer));
  return answer;
}

// ---- Error reports ----

std::string GetGdLibErrorText(std::int32_t errorNumber, bool isException) {
  std::string text;
  ResumeNext([&] {
    const Api& api = Engine();
    if (isException) {
      char name[256] = {}, method[256] = {}, message[1024] = {};
      if (api.GetExceptionInfo(errorNumber, name, sizeof name, method, sizeof method, message,
                               sizeof message))
        text = std::string("Exception Name=") + name + ", Method Name=" + method + ", Message=" + message;
    } else {
      char buffer[1024] = {};
      api.GetErrorText(errorNumber, buffer, sizeof buffer);
      text = buffer;
    }
  });
  return text;
}

void LogGdLibError(const std::string& methodName, const std::string& gdLibMethod, std::int32_t errorNumber,
                   bool isException) {
  ResumeNext([&] { DebugLogFile::WriteLine(ErrorLine(methodName, gdLibMethod, errorNumber, isException)); });
}

void RaiseGdLibError(const std::string& methodName, const std::string& gdLibMethod, std::int32_t errorNumber,
                     bool isException) {
  std::string text = ErrorLine(methodName, gdLibMethod, errorNumber, isException);
  ResumeNext([&] { DebugLogFile::WriteLine(std::as_const(text)); });
  if (errorNumber == -14) Utilities::RaiseErrorWithText(Utilities::GetResourceString(2101));
  RaiseApplicationError(methodName, text);
}

// ---- Engine calls ----

std::int16_t GdSetProgramMode(std::int32_t mode) {
  return Engine().SetProgramMode(mode);
}
std::int16_t GdFree() {
  return Engine().Free();
}
std::int16_t GdPopLock(std::int32_t popHandle) {
  return Engine().PopLock(popHandle);
}
std::int16_t GdPopUnlock(std::int32_t popHandle) {
  return Engine().PopUnlock(popHandle);
}
std::int16_t GdPopGetRunStatus(std::int32_t popHandle) {
  return Engine().PopGetRunStatus(popHandle);
}
std::int16_t GdPopSetRunStatus(std::int32_t popHandle, std::int16_t status) {
  return Engine().PopSetRunStatus(popHandle, status);
}
std::int32_t GdPopGetTimerValue(std::int32_t popHandle) {
  return Engine().PopGetTimerValue(popHandle);
}
std::int32_t GdPopGetSize(std::int32_t popHandle) {
  return Engine().PopGetSize(popHandle);
}
std::int32_t GdPopGetChromosomeCount(std::int32_t popHandle) {
  return Engine().PopGetChromosomeCount(popHandle);
}
std::int16_t GdOrgGetResult(std::int32_t popHandle, std::int32_t organism, double& value, double& objective,
                            std::int32_t& flags) {
  return Engine().OrgGetResult(popHandle, organism, &value, &objective, 0, &flags);
}

std::int16_t GdOrgGetGenes(std::int32_t popHandle, std::int32_t organism, std::vector<double>& genes) {
  const Api& api = Engine();
  std::int32_t groups = api.PopGetChromosomeCount(popHandle);
  if (groups < 0) return static_cast<std::int16_t>(groups);
  std::int32_t total = 0;
  for (std::int32_t g = 1; g <= groups; ++g) {
    std::int32_t n = api.ChrGetGeneCount(popHandle, g);
    if (n < 0) return static_cast<std::int16_t>(n);
    total += n;
  }
  genes.resize(static_cast<std::size_t>(total));
  std::int32_t count = 0;
  return api.OrgGetGenes(popHandle, organism, genes.data(), total, &count);
}

std::int32_t GdChrGetGeneCount(std::int32_t popHandle, std::int32_t chromosome) {
  return Engine().ChrGetGeneCount(popHandle, chromosome);
}
std::int32_t GdChrGetSolvingMethod(std::int32_t popHandle, std::int32_t chromosome) {
  return Engine().ChrGetSolvingMethod(popHandle, chromosome);
}
std::int16_t GdGeneGetValue(std::int32_t popHandle, std::int32_t chromosome, std::int32_t gene,
                            std::int32_t organism, double& value) {
  return Engine().GeneGetValue(popHandle, chromosome, gene, organism, &value);
}
std::int16_t GdGeneGetRange(std::int32_t popHandle, std::int32_t chromosome, std::int32_t gene,
                            double& minimum, double& maximum) {
  return Engine().GeneGetRange(popHandle, chromosome, gene, &minimum, &maximum);
}
std::int16_t GdChrGetCrossoverRate(std::int32_t popHandle, std::int32_t chromosome, double& rate) {
  return Engine().ChrGetCrossoverRate(popHandle, chromosome, &rate);
}
std::int16_t GdChrSetCrossoverRate(std::int32_t popHandle, std::int32_t chromosome, double rate) {
  return Engine().ChrSetCrossoverRate(popHandle, chromosome, rate);
}
std::int16_t GdChrGetCurrentMutationRate(std::int32_t popHandle, std::int32_t chromosome, double& rate) {
  return Engine().ChrGetCurrentMutationRate(popHandle, chromosome, &rate);
}
std::int16_t GdChrGetMutationMode(std::int32_t popHandle, std::int32_t chromosome, bool& isAuto,
                                  double& rate) {
  std::int32_t automatic = 0;
  std::int16_t rc = Engine().ChrGetMutationMode(popHandle, chromosome, &automatic, &rate);
  if (rc == 0) isAuto = automatic != 0;
  return rc;
}
std::int16_t GdChrSetMutationMode(std::int32_t popHandle, std::int32_t chromosome, double rate) {
  return Engine().ChrSetMutationMode(popHandle, chromosome, rate);
}

std::int16_t GdLogGetRecordCountsWVB(const std::string& path, std::int32_t& trialCount,
                                     std::int32_t& progressStepCount) {
  return Engine().LogGetRecordCounts(path.c_str(), &trialCount, &progressStepCount);
}
std::int16_t GdLogGetRecordCounts2WVB(const std::string& path, std::int32_t& trialCount,
                                      std::int32_t constrainingValueIndex, std::int32_t& progressStepCount) {
  return Engine().LogGetRecordCounts2(path.c_str(), &trialCount, constrainingValueIndex, &progressStepCount);
}
std::int16_t GdLogGetCountsWVB(const std::string& path, std::int32_t& numChromosomes, std::int32_t& numGenes,
                               std::int32_t& numConstraints, std::int32_t& isEfficientFrontier) {
  return Engine().LogGetCounts(path.c_str(), &numChromosomes, &numGenes, &numConstraints,
                               &isEfficientFrontier);
}
std::int16_t GdLogGetConstraintInfoWVB(const std::string& path, std::int32_t constraintNum, std::string& name,
                                       std::int32_t& hardNotSoft, std::int32_t& hasValue) {
  char buffer[4097] = {};
  std::int16_t rc = Engine().LogGetConstraintInfo(path.c_str(), constraintNum, buffer, sizeof buffer,
                                                  &hardNotSoft, &hasValue);
  if (rc == 0) name = buffer;
  return rc;
}

std::int16_t GdLogReadRecordWVB(const std::string& path, std::int32_t recordNumber, std::int32_t selector,
                                LogRecordData& record) {
  auto data = [](std::vector<double>& v) { return v.empty() ? nullptr : v.data(); };
  std::size_t constraints = 0;
  for (const auto* v : {&record.ConstraintStatus, &record.ConstraintValues, &record.ConstraintPenalties})
    if (!v->empty()) constraints = constraints ? std::min(constraints, v->size()) : v->size();
  record.Info = GdLogRecordInfo{};
  return Engine().LogReadRecord(
      path.c_str(), recordNumber, selector, &record.ElapsedSeconds, &record.ValueWithoutPenalties,
      &record.ValueWithPenalties, &record.TrialNumber, data(record.ConstraintStatus),
      data(record.ConstraintValues), data(record.ConstraintPenalties), static_cast<std::int32_t>(constraints),
      data(record.GeneValues), static_cast<std::int32_t>(record.GeneValues.size()), &record.Info);
}

}  // namespace corvana::GdLib
