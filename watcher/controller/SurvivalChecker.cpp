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
void KeepInFrontOfHost(ControllerServices& services, const WatcherManager& manager,
                       std::uint64_t foreground) {
  const auto hostWindow = static_cast<std::uint64_t>(static_cast<std::uint32_t>(manager.Input_ExcelAppHwnd));
  if (foreground == hostWindow) return;
  if (services.WindowProcessId(foreground) != manager.Input_ExcelProcessID) return;
  services.OrderWindows(hostWindow, foreground);
}
}  // namespace

void StartPollingTimer(const std::shared_ptr<ControllerServices>& services) {
  if (g_PollingTimerID != 0) StopPollingTimer(*services);
  const int interval = g_ModalDialogShown ? 100 : 1000;
  // The timers hold the services weakly: services that own their timers must not own themselves.
  g_PollingTimerID = services->StartTimer(interval, [weak = std::weak_ptr(services)] {
    if (auto alive = weak.lock()) SurvivalTimerProc(alive);
  });
  if (g_PollingTimerID == 0) RaiseError(kErrTimer, "StartPollingTimer", "Unable to start polling timer.");
}

void StopPollingTimer(ControllerServices& services) {
  if (g_PollingTimerID != 0) services.KillTimer(g_PollingTimerID);
  g_PollingTimerID = 0;
}

void SurvivalTimerProc(std::shared_ptr<ControllerServices> services) {
  if (g_LoggingEnabled) ResumeNext([] { DebugLogFile::WriteLine("SurvivalChecker.TimerProc: Entering"); });
  ResumeNext([&] { StopPollingTimer(*services); });
  bool terminated = false;
  ResumeNext([&] {
    if (!SurvivalMutex::Exists(g_AddinSurvivalMutex)) {
      terminated = true;
      TerminateApplication(services);
    }
  });
  // The process is on its way out: no more polling.
  if (terminated) return;
  ResumeNext([&] {
    WatcherManager* manager = g_WatcherManager;
    if (!g_ModalDialogShown || !manager || !manager->Input_ExcelApplication) return;
    ResumeNext([&] { manager->Input_ExcelApplication->Run("Corvana.xla!OptDoEvents"); });
    ResumeNext([&] {
      if (manager->Input_ExcelMajorVersion > 14 && manager->Input_ExcelAppHwnd > 0)
        KeepInFrontOfHost(*services, *manager, services->ForegroundWindow());
    });
  });
  ResumeNext([&] {
    if (!g_MessageBoxShown) return;
    const std::uint64_t question = services->FindTopLevelWindow("Corvana");
    if (question == 0 || services->WindowProcessId(question) != g_WatcherProcessID) return;
    const std::uint64_t foreground = services->ForegroundWindow();
    if (question == foreground) return;
    if (g_WatcherManager && services->WindowProcessId(foreground) == g_WatcherManager->Input_ExcelProcessID)
      services->OrderWindows(foreground, question);
  });
  ResumeNext([&] { StartPollingTimer(services); });
  if (g_LoggingEnabled) ResumeNext([] { DebugLogFile::WriteLine("SurvivalChecker.TimerProc: Exiting"); });
}

void StartSelfDestructTimer(const std::shared_ptr<ControllerServices>& services) {
  const std::uint64_t id = services->StartTimer(500, [weak = std::weak_ptr(services)] {
    if (auto alive = weak.lock()) alive->TerminateProcess(0);
  });
  if (id == 0) RaiseError(kErrTimer, "StartSelfDestructTimer", "Unable to start self-destruct timer.");
}

}  // namespace corvana
