#include "watcher/controller/WatcherManager.h"

#include "common/ErrorTrap.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/EngineCalls.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/engine/GdLib.h"

// Run control: the run, pause and stop buttons and what the add-in answers to them.

namespace corvana {

namespace {
std::string BoolText(bool value) {
  return value ? "True" : "False";
}
}  // namespace

void WatcherManager::BothDialogs_Update(bool forceUpdateOfEverything, bool& updateLastResult) {
  if (g_StopRequested) return;
  const std::string handle = std::to_string(Input_PopHandle);
  Log("WatcherManager.BothDialogs_Update: about to call GdPopLock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopLock(Input_PopHandle); });
  Log("WatcherManager.BothDialogs_Update: GdPopLock returned");
  ResumeNext([&] { Small().Update(); });
  ResumeNext([&] { Full().Update(forceUpdateOfEverything, updateLastResult); });
  Log("WatcherManager.BothDialogs_Update: about to call GdPopUnlock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopUnlock(Input_PopHandle); });
  Log("WatcherManager.BothDialogs_Update: GdPopUnlock returned");
}

void WatcherManager::BothDialogs_GoToPausingConfig() {
  ResumeNext([&] { Small().GoToPausingConfig(); });
  ResumeNext([&] { Full().GoToPausingConfig(); });
}

void WatcherManager::CommandPauseOptimization_ProcessClick() {
  const std::string about =
      "WATCHER: CommandPauseOptimization_ProcessClick, about to call GdPopSetRunStatus, "
      "Me.Input_PopHandle=" +
      std::to_string(Input_PopHandle);
  const std::string returned = "WATCHER: CommandPauseOptimization_ProcessClick, GdPopSetRunStatus returned";
  if (Input_MCoreOptimization) {
    Log(about);
    ResumeNext([&] { GdLib::GdPopSetRunStatus(Input_PopHandle, GdRunStatusPaused); });
    Log(returned);
    bool updateLastResult = true;
    BothDialogs_Update(true, updateLastResult);
    BothDialogs_GoToPausingConfig();
    TellXLWatcherWindowChanged();
    return;
  }
  ResumeNext([&] { GdLib::GdPopLock(Input_PopHandle); });
  ResumeNext([&] {
    const std::int16_t status = GdLib::GdPopGetRunStatus(Input_PopHandle);
    EngineCalls::Check(status, "CommandPauseOptimization_ProcessClick", "GdPopGetRunStatus");
    if (status == GdRunStatusStopped) return;
    Log(about);
    WaitingAfterPauseClicked = true;
    GdLib::GdPopSetRunStatus(Input_PopHandle, GdRunStatusMarkToPause);
    Log(returned);
  });
  ResumeNext([&] { GdLib::GdPopUnlock(Input_PopHandle); });
}

std::string WatcherManager::StopQuestionText() {
  return Utilities::StopQuestionText(Input_EFPerformAnalysis);
}

std::string WatcherManager::MoveOnQuestionText() {
  return Utilities::MoveOnQuestionText(Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final);
}

void WatcherManager::CommandStopOptimization_ProcessClick() {
  const bool ef = Input_EFPerformAnalysis;
  const std::string handle = std::to_string(Input_PopHandle);
  const std::string smallName = ef ? "m_FormProgressSmallEF" : "m_FormProgressSmall";
  if (g_LoggingEnabled) Log("CommandStopOptimization_ProcessClick: entering");
  Log("CommandStopOptimization_ProcessClick: about to call GdPopLock with " + handle);
  ResumeNext([&] { GdLib::GdPopLock(Input_PopHandle); });
  Log("GdPopLock Me.Input_PopHandle returned");

  auto disableBoth = [&] {
    Log("CommandStopOptimization_ProcessClick, about to call " + smallName +
        ".ControlsAfterStopClickedDisableEnable False");
    ResumeNext([&] { Small().ControlsAfterStopClickedDisableEnable(false); });
    Log("CommandStopOptimization_ProcessClick, about to call "
        "m_FormWatcher.ControlsAfterStopClickedDisableEnable False");
    ResumeNext([&] { Full().ControlsAfterStopClickedDisableEnable(false); });
  };
  auto setStatus = [&](std::int16_t status, const char* statusName) {
    Log(std::string(
            "CommandStopOptimization_ProcessClick, about to call GdPopSetRunStatus Me.Input_PopHandle, ") +
        statusName);
    std::int16_t result = 0;
    ResumeNext([&] { result = GdLib::GdPopSetRunStatus(Input_PopHandle, status); });
    Log("CommandStopOptimization_ProcessClick, GdPopSetRunStatus returned: " + std::to_string(result));
  };
  // Asked with the population locked; a failed question counts as No.
  auto askStop = [&] {
    bool yes = false;
    ResumeNext([&] { yes = DisplayYesNoQuery(StopQuestionText(), true, true); });
    if (yes) {
      disableBoth();
      setStatus(GdRunStatusMarkToStop, "GdRunStatusMarkToStop");
    } else {
      OnEachWindow([](ProgressWindow& w) { w.UpdateRunPauseButtons(); });
    }
  };

  std::int16_t status = 0;
  const bool statusRead = ResumeNext([&] {
    status = GdLib::GdPopGetRunStatus(Input_PopHandle);
    EngineCalls::Check(status, "CommandStopOptimization_ProcessClick", "GdPopGetRunStatus");
  });
  if (statusRead && status != GdRunStatusStopped) {
    Log("Evaluated \"GdLib.GdPopGetRunStatus(Me.Input_PopHandle) <> GdRunStatusStopped\" as True");
    if (Input_MCoreOptimization) {
      g_StopRequested = true;
      askStop();
      g_StopRequested = false;
    } else {
      RunState configuration = RunState::Running;
      ResumeNext([&] { configuration = Full().ButtonConfiguration(); });
      if (configuration == RunState::Pausing) {
        Log("CommandStopOptimization_ProcessClick, PAUSED");
        askStop();
      } else {
        Log("CommandStopOptimization_ProcessClick, RUNNING");
        disableBoth();
        WaitingAfterStopClicked = true;
        setStatus(GdRunStatusMarkToPause, "GdRunStatusMarkToPause");
      }
    }
  }
  Log("CommandStopOptimization_ProcessClick, about to call GdPopUnlock with " + handle);
  ResumeNext([&] { GdLib::GdPopUnlock(Input_PopHandle); });
  Log("CommandStopOptimization_ProcessClick, GdPopUnlock returned");
}

void WatcherManager::CommandResumeOptimization_ProcessClick() {
  OnEachWindow([](ProgressWindow& w) { w.GoToRunningConfig(); });
  Log("WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus");
  ResumeNext([&] { GdLib::GdPopSetRunStatus(Input_PopHandle, GdRunStatusOptimizing); });
  Log("WATCHER: CommandResumeOptimization_ProcessClick, GdPopSetRunStatus returned");
  ResumeNext([&] { Full().SetResumeSignalTicks(3); });
}

void WatcherManager::ProcessPausedMessageFromExcel() {
  Log("WatcherManager.ProcessPausedMessageFromExcel: entering");
  Log("WatcherManager.ProcessPausedMessageFromExcel, Me.WaitingAfterPauseClicked=" +
      BoolText(WaitingAfterPauseClicked));
  Log("WatcherManager.ProcessPausedMessageFromExcel, Me.WaitingAfterStopClicked=" +
      BoolText(WaitingAfterStopClicked));
  auto setStatus = [&](std::int16_t status, const std::string& about, const std::string& returned) {
    Log(about);
    ResumeNext([&] { GdLib::GdPopSetRunStatus(Input_PopHandle, status); });
    if (!returned.empty()) Log(returned);
  };

  if (WaitingAfterPauseClicked) {
    WaitingAfterPauseClicked = false;
    bool updateLastResult = true;
    BothDialogs_Update(true, updateLastResult);
    BothDialogs_GoToPausingConfig();
    TellXLWatcherWindowChanged();
  }

  if (WaitingAfterStopClicked) {
    Log("WATCHER: ProcessPausedMessageFromExcel, WaitingAfterStopClicked is True");
    WaitingAfterStopClicked = false;
    Log("FormProgress.ProcessPausedMessageFromExcel: about to call Me.BothDialogs_Update True, True");
    bool updateLastResult = true;
    BothDialogs_Update(true, updateLastResult);
    bool yes = false;
    ResumeNext([&] { yes = DisplayYesNoQuery(StopQuestionText(), true, true); });
    if (yes) {
      setStatus(GdRunStatusMarkToStop,
                "WATCHER: ProcessPausedMessageFromExcel, about to call GdPopSetRunStatus Me.Input_PopHandle, "
                "GdRunStatusMarkToStop",
                "WATCHER: ProcessPausedMessageFromExcel, GdPopSetRunStatus returned");
    } else {
      OnEachWindow([](ProgressWindow& w) { w.ControlsAfterStopClickedDisableEnable(true); });
      OnEachWindow([](ProgressWindow& w) { w.UpdateRunPauseButtons(); });
      setStatus(GdRunStatusOptimizing,
                "WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus "
                "Me.Input_PopHandle, "
                "GdRunStatusOptimizing",
                "WATCHER: CommandResumeOptimization_ProcessClick, GdPopSetRunStatus returned");
      ResumeNext([&] { Full().SetResumeSignalTicks(3); });
    }
  }

  if (WaitingAfterEFNextOptimizationClicked) {
    Log("WATCHER: ProcessPausedMessageFromExcel, WaitingAfterEFNextOptimizationClicked is True");
    WaitingAfterEFNextOptimizationClicked = false;
    double underWay = 0;
    ResumeNext([&] { underWay = WatcherOLShared::GetEFNumOptimizationUnderWay(); });
    if (underWay == Input_EFNumConstrainingValues) {
      setStatus(
          GdRunStatusOptimizing,
          "WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus "
          "Me.Input_PopHandle, "
          "GdRunStatusOptimizing, because we got to the last optimization, and there's no point in asking "
          "about moving to next one",
          "");
    } else {
      bool yes = false;
      ResumeNext([&] { yes = DisplayYesNoQuery(MoveOnQuestionText(), true, true); });
      if (yes) {
        setStatus(
            GdRunStatusMarkToMoveToNextOptimization,
            "WATCHER: ProcessPausedMessageFromExcel, about to call GdPopSetRunStatus Me.Input_PopHandle, "
            "GdRunStatusMarkToMoveToNextOptimization",
            "WATCHER: ProcessPausedMessageFromExcel, GdPopSetRunStatus returned");
      } else {
        setStatus(GdRunStatusOptimizing,
                  "WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus "
                  "Me.Input_PopHandle, GdRunStatusOptimizing, because user said no to prompt",
                  "WATCHER: CommandResumeOptimization_ProcessClick, GdPopSetRunStatus returned");
      }
    }
    ResumeNext([&] { Full().SetResumeSignalTicks(3); });
    OnEachWindow([](ProgressWindow& w) { w.ControlsAfterStopClickedDisableEnable(true); });
    OnEachWindow([](ProgressWindow& w) { w.UpdateRunPauseButtons(); });
  }
  Log("WatcherManager.ProcessPausedMessageFromExcel: exiting");
}

}  // namespace corvana
