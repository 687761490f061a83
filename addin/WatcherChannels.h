#pragma once

#include <cstdint>

namespace corvana::addin {

// The temp-data channels the add-in and the Watcher share, by number.
enum class Channel : std::int16_t {
  StopGenerateOptimizationSummary = 2,
  StopWriteLogOfAllTrials = 3,
  StopWriteLogOfProgressSteps = 4,
  StopSolutionToKeep = 5,
  GraphAllTrialsInitialNumTrialsShown = 6,
  NumLastTrialsToShow = 7,
  FirstTrialInfoAvailable = 8,
  WatcherInitializedAfterFirstTrial = 9,
  WatcherWindowChanged = 10,
  NumIterations = 11,
  NumIterationsInCompletedSimulation = 12,
  NumTrialUnderWay = 13,
  ShowExcelRecalculations = 14,
  WatcherSentCommandToShowItModally = 15,
  AskUserAboutSolver = 16,
  OLToldWatcherToStopTimer = 17,
  WatcherStoppedTimer = 18,
  AskUserAboutInconsistentConstraints = 20,
  EFNumOptimizationUnderWay = 21,
};

// Typed access to the channels through the engine library. Booleans travel as 16-bit -1 / 0.
// Failures raise a ComError with the engine's text.
class WatcherChannels {
 public:
  static bool ReadBool(Channel channel);
  static void WriteBool(Channel channel, bool value);
  static std::int32_t ReadLong(Channel channel);
  static void WriteLong(Channel channel, std::int32_t value);
  static double ReadDouble(Channel channel);
  static void WriteDouble(Channel channel, double value);

  // Clears what an earlier run of this suite scope may have left, before the Watcher looks.
  static void ResetForNewRun();
};

}  // namespace corvana::addin
