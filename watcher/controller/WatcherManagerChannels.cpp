#include "watcher/controller/WatcherManager.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/EngineCalls.h"
#include "wire/XLWatcherChannels.h"

// The channel protocol: hand-shakes and questions the add-in and the Watcher exchange over the
// engine's shared channels.

namespace corvana {

namespace {
std::string BoolText(bool value) {
  return value ? "True" : "False";
}
}  // namespace

void WatcherManager::ReadStoppingOptionsFromWatcher() {
  const std::string method = "ReadStoppingOptionsFromWatcher";
  ResumeNext([&] {
    Stop_AtEndGenerateOptimizationSummary =
        EngineCalls::ReadBooleanChannel(ChannelStopGenerateOptimizationSummary, method);
  });
  ResumeNext([&] {
    Stop_AtEndWriteLogOfAllTrials = EngineCalls::ReadBooleanChannel(ChannelStopWriteLogOfAllTrials, method);
  });
  ResumeNext([&] {
    Stop_AtEndWriteLogOfProgressSteps =
        EngineCalls::ReadBooleanChannel(ChannelStopWriteLogOfProgressSteps, method);
  });
  ResumeNext([&] { Stop_SolutionToKeep = EngineCalls::ReadLongChannel(ChannelStopSolutionToKeep, method); });
}

bool WatcherManager::GetFirstTrialInfoSentByXL(std::int32_t& p_GraphAllTrialsInitialNumTrialsShown,
                                               std::int32_t& p_NumLastTrialsToShow) {
  const std::string method = "GetFirstTrialInfoSentByXL";
  Log("About to call GdLib.GdReadTempData ChannelFirstTrialInfoAvailable, l_InfoAvailable, 2");
  const bool available = EngineCalls::ReadBooleanChannel(ChannelFirstTrialInfoAvailable, method);
  Log("GetFirstTrialInfoSentByXL, l_InfoAvailable=" + BoolText(available));
  if (available) {
    p_GraphAllTrialsInitialNumTrialsShown =
        EngineCalls::ReadLongChannel(ChannelGraphAllTrialsInitialNumTrialsShown, method);
    p_NumLastTrialsToShow = EngineCalls::ReadLongChannel(ChannelNumLastTrialsToShow, method);
    if (!(p_GraphAllTrialsInitialNumTrialsShown > 0 && p_NumLastTrialsToShow > 0))
      Log("ERROR: GetFirstTrialInfoSentByXL, p_GraphAllTrialsInitialNumTrialsShown=" +
          std::to_string(p_GraphAllTrialsInitialNumTrialsShown) +
          ", p_NumLastTrialsToShow=" + std::to_string(p_NumLastTrialsToShow));
  }
  return available;
}

void WatcherManager::InitializeAfterFirstTrialIfReady() {
  // Any failure leaves the hand-shake for the next tick.
  ResumeNext([&] {
    Log("About to call GetFirstTrialInfoSentByXL");
    std::int32_t allTrialsShown = 0, lastTrialsShown = 0;
    if (!GetFirstTrialInfoSentByXL(allTrialsShown, lastTrialsShown)) return;
    Log("WatcherManager.InitializeAfterFirstTrialIfReady: Ready");
    Full().InitializeAfterFirstTrial(allTrialsShown, lastTrialsShown);
    Small().InitializeAfterFirstTrial();
    GotInitializedAfterFirstTrial = true;
    Log("WatcherManager.InitializeAfterFirstTrialIfReady: about to TellXLInitializedAfterFirstTrial");
    TellXLInitializedAfterFirstTrial();
  });
}

void WatcherManager::TellXLInitializedAfterFirstTrial() {
  ResumeNext([&] {
    EngineCalls::WriteBooleanChannel(ChannelWatcherInitializedAfterFirstTrial, true,
                                     "TellXLInitializedAfterFirstTrial");
  });
}

void WatcherManager::CheckForXLRequestToAskUserAboutSolverAndProcess() {
  if (m_AskedUserAboutSolver) return;
  std::int32_t answer = 0;
  const bool ok = ResumeNext([&] {
    Log("CheckForXLRequestToAskUserAboutSolverAndProcess, about to read from channel");
    const std::int32_t n = EngineCalls::ReadLongChannel(ChannelAskUserAboutSolver,
                                                        "CheckForXLRequestToAskUserAboutSolverAndProcess");
    Log("CheckForXLRequestToAskUserAboutSolverAndProcess, read from channel: " + std::to_string(n));
    if (n <= 0) return;
    // The question is about the small single-optimization window only; without it the step fails.
    if (Input_EFPerformAnalysis)
      RaiseApplicationError("WatcherManager", "The small progress window is not loaded.");
    SmallWindow& small = Small();
    const bool visible = small.Visible();
    if (visible) small.SetTopMost(false);
    const bool yes = DisplayYesNoQueryWithHelp(Utilities::SolverQuestionText(n), Input_MainHelpFilePath,
                                               11200, true, true);
    answer = yes ? -1 : -2;
    m_AskedUserAboutSolver = true;
    if (visible) small.SetTopMost(true);
  });
  if (!ok) answer = -2;
  if (answer < 0) SendAnswerToXLAboutConstraintSolver(answer);
}

void WatcherManager::SendAnswerToXLAboutConstraintSolver(std::int32_t answer) {
  ResumeNext([&] {
    Log("SendAnswerToXLAboutConstraintSolver, about to write: " + std::to_string(answer));
    EngineCalls::WriteLongChannel(ChannelAskUserAboutSolver, answer, "SendAnswerToXLAboutConstraintSolver");
    Log("SendAnswerToXLAboutConstraintSolver, line returned");
  });
}

void WatcherManager::
    CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest() {
  static const std::string kName =
      "CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest";
  std::int32_t answer = -1;
  const bool ok = ResumeNext([&] {
    if (g_LoggingEnabled) Log(kName + ", about to read from channel");
    const std::int32_t n = EngineCalls::ReadLongChannel(ChannelAskUserAboutInconsistentConstraints, kName);
    if (g_LoggingEnabled) Log(kName + ", read from channel: " + std::to_string(n));
    if (n > 0) answer = DisplayYesNoQuery(Utilities::GetResourceString(5201), true, true) ? -1 : -2;
  });
  if (!ok) answer = -1;
  SendAnswerToXLAboutInconsistentConstraints(answer);
}

void WatcherManager::SendAnswerToXLAboutInconsistentConstraints(std::int32_t answer) {
  ResumeNext([&] {
    Log("SendAnswerToXLAboutInconsistentConstraints, about to write: " + std::to_string(answer));
    EngineCalls::WriteLongChannel(ChannelAskUserAboutInconsistentConstraints, answer,
                                  "SendAnswerToXLAboutInconsistentConstraints");
    Log("SendAnswerToXLAboutInconsistentConstraints, line returned");
  });
}

void WatcherManager::ChannelWatcherSentCommandToShowItModally() {
  ErrorInfo err;
  Log("About to call GdLib.GdWriteTempData XLWatcherChannels.ChannelWatcherSentCommandToShowItModally, True, "
      "2 "
      "(XLWatcherChannels.ChannelWatcherSentCommandToShowItModally=" +
      std::to_string(static_cast<int>(corvana::ChannelWatcherSentCommandToShowItModally)) + ")");
  ResumeNext(err, [&] {
    EngineCalls::WriteBooleanChannel(corvana::ChannelWatcherSentCommandToShowItModally, true,
                                     "ChannelWatcherSentCommandToShowItModally");
  });
  Log("GdWriteTempData returned, Err: " + err.Description);
}

void WatcherManager::SendShowExcelRecalculationsToXL(std::int32_t value) {
  ResumeNext([&] {
    EngineCalls::WriteLongChannel(ChannelShowExcelRecalculations, value, "SendShowExcelRecalculationsToXL");
  });
}

void WatcherManager::TellXLWatcherWindowChanged() {
  ResumeNext([&] {
    EngineCalls::WriteBooleanChannel(ChannelWatcherWindowChanged, true, "TellXLWatcherWindowChanged");
  });
}

bool WatcherManager::OLToldWatcherToStopTimer() {
  bool told = false;
  ResumeNext([&] {
    told = EngineCalls::ReadBooleanChannel(ChannelOLToldWatcherToStopTimer, "OLToldWatcherToStopTimer");
  });
  return told;
}

bool WatcherManager::TellOLWatcherStoppedTimer() {
  ResumeNext([&] {
    EngineCalls::WriteBooleanChannel(ChannelWatcherStoppedTimer, true, "TellOLWatcherStoppedTimer");
  });
  return false;
}

}  // namespace corvana
