#pragma once

#include <array>
#include <cstdint>

namespace corvana {

// The temp-data channels the add-in and the Watcher share through the engine, by number.
enum XLWatcherChannels : std::int16_t {
  ChannelStopGenerateOptimizationSummary = 2,
  ChannelStopWriteLogOfAllTrials = 3,
  ChannelStopWriteLogOfProgressSteps = 4,
  ChannelStopSolutionToKeep = 5,
  ChannelGraphAllTrialsInitialNumTrialsShown = 6,
  ChannelNumLastTrialsToShow = 7,
  ChannelFirstTrialInfoAvailable = 8,
  ChannelWatcherInitializedAfterFirstTrial = 9,
  ChannelWatcherWindowChanged = 10,
  ChannelNumIterations = 11,
  ChannelNumIterationsInCompletedSimulation = 12,
  ChannelNumTrialUnderWay = 13,
  ChannelShowExcelRecalculations = 14,
  ChannelWatcherSentCommandToShowItModally = 15,
  ChannelAskUserAboutSolver = 16,
  ChannelOLToldWatcherToStopTimer = 17,
  ChannelWatcherStoppedTimer = 18,
  ChannelEFCurrentConstrainingValue = 19,
  ChannelAskUserAboutInconsistentConstraints = 20,
  ChannelEFNumOptimizationUnderWay = 21,
};

// What a channel holds: booleans travel as 16-bit -1 / 0, longs as 32-bit, the rest as doubles.
enum class ChannelKind { Boolean, Long, Double };

struct ChannelInfo {
  XLWatcherChannels Channel;
  ChannelKind Kind;
};

inline constexpr std::array<ChannelInfo, 20> kAllChannels{{
    {ChannelStopGenerateOptimizationSummary, ChannelKind::Boolean},
    {ChannelStopWriteLogOfAllTrials, ChannelKind::Boolean},
    {ChannelStopWriteLogOfProgressSteps, ChannelKind::Boolean},
    {ChannelStopSolutionToKeep, ChannelKind::Long},
    {ChannelGraphAllTrialsInitialNumTrialsShown, ChannelKind::Long},
    {ChannelNumLastTrialsToShow, ChannelKind::Long},
    {ChannelFirstTrialInfoAvailable, ChannelKind::Boolean},
    {ChannelWatcherInitializedAfterFirstTrial, ChannelKind::Boolean},
    {ChannelWatcherWindowChanged, ChannelKind::Boolean},
    {ChannelNumIterations, ChannelKind::Double},
    {ChannelNumIterationsInCompletedSimulation, ChannelKind::Double},
    {ChannelNumTrialUnderWay, ChannelKind::Double},
    {ChannelShowExcelRecalculations, ChannelKind::Long},
    {ChannelWatcherSentCommandToShowItModally, ChannelKind::Boolean},
    {ChannelAskUserAboutSolver, ChannelKind::Long},
    {ChannelOLToldWatcherToStopTimer, ChannelKind::Boolean},
    {ChannelWatcherStoppedTimer, ChannelKind::Boolean},
    {ChannelEFCurrentConstrainingValue, ChannelKind::Double},
    {ChannelAskUserAboutInconsistentConstraints, ChannelKind::Long},
    {ChannelEFNumOptimizationUnderWay, ChannelKind::Double},
}};

}  // namespace corvana
