#include "watcher/controller/WatcherManager.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/EngineCalls.h"
#include "watcher/engine/GdLib.h"
#include "wire/XLWatcherChannels.h"

// Progress figures for the windows: a figure that cannot be read is 0, False or empty.

namespace corvana {

namespace {
double ChannelFigure(int channel, const std::string& name) {
  double value = 0;
  ResumeNext([&] {
    const std::string prefix = "WatcherManger, " + name + ", ";
    DebugLogFile::WriteLine(prefix + "about to call GdReadTempData");
    value = EngineCalls::ReadDoubleChannel(channel, name);
    DebugLogFile::WriteLine(prefix + "GdReadTempData returned: " + DoubleToText(value));
  });
  return value;
}
}  // namespace

double WatcherManager::NumIterations() {
  return ChannelFigure(ChannelNumIterations, "NumIterations");
}

double WatcherManager::NumIterationsInCompletedSimulation() {
  return ChannelFigure(ChannelNumIterationsInCompletedSimulation, "NumIterationsInCompletedSimulation");
}

double WatcherManager::NumTrialUnderWay() {
  return ChannelFigure(ChannelNumTrialUnderWay, "NumTrialUnderWay");
}

std::int32_t WatcherManager::ElapsedTicks() {
  std::int32_t ticks = 0;
  ResumeNext([&] {
    Log("WatcherManger, ElapsedTicks, about to call GdPopGetTimerValue, popHandle=" +
        std::to_string(Input_PopHandle));
    const std::int32_t value = GdLib::GdPopGetTimerValue(Input_PopHandle);
    Log("WatcherManger, ElapsedTicks, GdPopGetTimerValue returned");
    EngineCalls::Check(value, "ElapsedTicks", "GdPopGetTimerValue");
    ticks = value;
  });
  return ticks;
}

double WatcherManager::getGendaraResult(std::int32_t organism) {
  double objectiveValue = 0;
  ResumeNext([&] {
    Log("WatcherManager.getGendaraResult: entering");
    Log("WatcherManager.getGendaraResult: about to call GdOrgGetResult(" + std::to_string(Input_PopHandle) +
        ", " + std::to_string(organism) + ", tempValue, objectiveValue, ByVal 0&, flags)");
    double tempValue = 0, objective = 0;
    std::int32_t flags = 0;
    const std::int16_t result = GdLib::GdOrgGetResult(Input_PopHandle, organism, tempValue, objective, flags);
    Log("WatcherManager.getGendaraResult: GdOrgGetResult returned: " + std::to_string(result));
    if (result != 0)
      Log("Error calling GdOrgGetResult in getGendaraResult: " + std::to_string(result));
    else
      objectiveValue = objective;
    Log("WatcherManager.getGendaraResult: exiting");
  });
  return objectiveValue;
}

double WatcherManager::LogTrialCount() {
  double count = 0;
  ResumeNext([&] { count = GdLib::Log_GetTrialCount(Input_LogPath); });
  return count;
}

double WatcherManager::LogValidTrialCount() {
  double count = 0;
  ResumeNext([&] { count = GdLib::Log_GetValidTrialCount(Input_LogPath); });
  return count;
}

bool WatcherManager::LogHasProgressSteps() {
  bool has = false;
  ResumeNext([&] { has = GdLib::Log_GetProgressStepCount(Input_LogPath) >= 1; });
  return has;
}

double WatcherManager::ObjectiveValueForSolution(std::int32_t which) {
  double value = 0;
  ResumeNext(
      [&] { value = GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(Input_LogPath, which); });
  return value;
}

double WatcherManager::BestObjectiveValue() {
  return ObjectiveValueForSolution(GdLib::kWhichBest);
}

double WatcherManager::OriginalObjectiveValue() {
  return ObjectiveValueForSolution(GdLib::kWhichOriginal);
}

double WatcherManager::BestTrialNumber() {
  double number = 0;
  ResumeNext([&] { number = GdLib::Log_GetBestTrialNumber(Input_LogPath); });
  return number;
}

bool WatcherManager::AdjustableCellValuesForSolution(std::int32_t which, std::vector<double>& values) {
  bool read = false;
  ResumeNext(
      [&] { read = GdLib::Log_GetAdjustableCellValuesForBestOriginalLast(Input_LogPath, which, values); });
  return read;
}

double WatcherManager::EFFrontierObjective(std::int32_t index) {
  double objective = 0;
  ResumeNext([&] {
    std::int32_t record = 0, trial = 0;
    std::vector<double> values;
    double withoutPenalties = 0;
    objective =
        GdLib::Log_EFGetFrontierSolution(Input_LogPath, index, record, trial, values, withoutPenalties);
  });
  return objective;
}

std::int32_t WatcherManager::EFFrontierTrialNumber(std::int32_t index) {
  std::int32_t trial = 0;
  ResumeNext([&] {
    std::int32_t record = 0;
    std::vector<double> values;
    double withoutPenalties = 0;
    GdLib::Log_EFGetFrontierSolution(Input_LogPath, index, record, trial, values, withoutPenalties);
  });
  return trial;
}

std::string WatcherManager::FormatTargetValue(double value) {
  std::string text;
  ResumeNext([&] {
    text =
        WatcherOLShared::FormatValueForStatistic(Variant(value), Input_TargetCellValuesTreatedAsDates, false,
                                                 Input_StatisticToOptimize != 12, Input_StatisticToOptimize);
  });
  return text;
}

std::string WatcherManager::FormatEFConstrainedValue(double value) {
  std::string text;
  ResumeNext([&] {
    text = WatcherOLShared::FormatValueForStatistic(
        Variant(value), Input_EFConstrainedCellValuesTreatedAsDate, false, Input_EFConstrainedStatistic != 12,
        Input_EFConstrainedStatistic);
  });
  return text;
}

std::string WatcherManager::GetProgressStatusText() {
  std::string text;
  ResumeNext([&] {
    using Utilities::GetResourceString;
    const std::string runTime = GetResourceString(2454, Utilities::FormatElapsedTime(ElapsedTicks()));
    if (Input_EFPerformAnalysis) {
      text = GetResourceString(2461, NumTrialUnderWay()) + " " + runTime;
      return;
    }
    const double trials = LogTrialCount();
    const double valid = LogValidTrialCount();
    const double best = BestObjectiveValue();
    const double original = OriginalObjectiveValue();
    auto format = [&](double v) {
      return Input_ConstraintSolverMode ? Utilities::ConstraintSolverValueText(v, true)
                                        : FormatTargetValue(v);
    };
    const std::string bestText = IsSpecialValue(best)
                                     ? GetResourceString(2463, WatcherOLShared::FormatNumberDefault(best))
                                     : GetResourceString(2464, format(best), BestTrialNumber());
    const std::string originalText = GetResourceString(2465, format(original));
    if (Input_ConstraintSolverMode) {
      const std::string gap = "    ";
      text = GetResourceString(
                 4510, static_cast<std::int32_t>(Input_ConstraintSolver_HardConstraintDescriptions.Count())) +
             gap + bestText + gap + originalText + gap + GetResourceString(2461, valid) + gap + runTime;
      return;
    }
    const std::string trialsText =
        trials == valid ? GetResourceString(2461, valid) : GetResourceString(2462, trials, valid);
    text = bestText + " " + originalText + " " + trialsText + " " + runTime;
  });
  return text;
}

void WatcherManager::ShowHelp(std::int32_t helpContextID) {
  ResumeNext([&] {
    if (Input_NETApplication) Input_NETApplication->ShowHelp(helpContextID);
  });
}

}  // namespace corvana
