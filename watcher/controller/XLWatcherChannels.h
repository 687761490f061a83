#pragma once

namespace corvana {

// Temp-data channel numbers shared with the add-in.
enum XLWatcherChannels : int {
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

}  // namespace corvana
