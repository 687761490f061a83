#include "watcher/controller/SurvivalChecker.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/SurvivalMutex.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/ControllerServices.h"
#include "watcher/controller/MainModule.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherManager.h"

namespace corvana {

namespace {
constexpr std::uint32_t kErrTimer = 0x80040013;

// Brings `window` in front of the host's main window when the host's own process holds the foreground.
void KeepInFrontOfHost(const WatcherManager& manager, std::uint64_t foreground) {
  const auto hostWindow = static_cast<std::uint64_t>(static_cast<std::uint32_t>(manager.Input_ExcelAppHwnd));
  if (foreground == hostWindow) return;
  if (g_Services->WindowProcessId(foreground) != manager.Input_ExcelProcessID) return;
  g_Services->OrderWindows(hostWindow, foreground);
}
}  // namespace

void StartPollingTimer() {
  if (g_PollingTimerID != 0) StopPollingTimer();
  const int interval = g_ModalDialogShown ? 100 : 1000;
  g_PollingTimerID = g_Services ? g_Services->StartTimer(interval, SurvivalTimerProc) : 0;
  if (g_PollingTimerID == 0) RaiseError(kErrTimer, "StartPollingTimer", "Unable to start polling timer.");
}

void StopPollingTimer() {
  if (g_PollingTimerID != 0 && g_Services) g_Services->KillTimer(g_PollingTimerID);
  g_PollingTimerID = 0;
}

void SurvivalTimerProc() {
  if (g_LoggingEnabled) ResumeNext([] { DebugLogFile::WriteLine("SurvivalChecker.TimerProc: Entering"); });
  ResumeNext([] { StopPollingTimer(); });
  bool terminated = false;
  ResumeNext([&] {
    if (!SurvivalMutex::Exists(kAddinSurvivalMutex)) {
      terminated = true;
      TerminateApplication();
    }
  });
  // The process is on its way out: no more polling.
  if (terminated) return;
  ResumeNext([] {
    WatcherManager* manager = g_WatcherManager;
    if (!g_ModalDialogShown || !manager || !manager->Input_ExcelApplication) return;
    ResumeNext([&] { manager->Input_ExcelApplication->Run("Corvana.xla!OptDoEvents"); });
    ResumeNext([&] {
      if (manager->Input_ExcelMajorVersion > 14 && manager->Input_ExcelAppHwnd > 0)
        KeepInFrontOfHost(*manager, g_Services->ForegroundWindow());
    });
  });
  ResumeNext([] {
    if (!g_MessageBoxShown || !g_Services) return;
    const std::uint64_t question = g_Services->FindTopLevelWindow("Corvana");
    if (question == 0 || g_Services->WindowProcessId(question) != g_WatcherProcessID) return;
    const std::uint64_t foreground = g_Services->ForegroundWindow();
    if (question == foreground) return;
    if (g_WatcherManager && g_Services->WindowProcessId(foreground) == g_WatcherManager->Input_ExcelProcessID)
      g_Services->OrderWindows(foreground, question);
  });
  ResumeNext([] { StartPollingTimer(); });
  if (g_LoggingEnabled) ResumeNext([] { DebugLogFile::WriteLine("SurvivalChecker.TimerProc: Exiting"); });
}

void StartSelfDestructTimer() {
  const std::uint64_t id = g_Services ? g_Services->StartTimer(500, SelfDestructTimerProc) : 0;
  if (id == 0) RaiseError(kErrTimer, "StartSelfDestructTimer", "Unable to start self-destruct timer.");
}

void SelfDestructTimerProc() {
  if (g_Services) g_Services->TerminateProcess(0);
}

}  // namespace corvana
