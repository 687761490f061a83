#include "watcher/controller/MainModule.h"

#include "common/ErrorTrap.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/ControllerServices.h"
#include "watcher/controller/EFGraph.h"
#include "watcher/controller/SurvivalChecker.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"

namespace corvana {

void InitializeApplication(const std::shared_ptr<ControllerServices>& services) {
  g_ApplicationInitialized = true;
  if (DebugLogFile::LoggingRequested()) DebugLogFile::StartLogging();
  if (g_LoggingEnabled) DebugLogFile::WriteLine("InitializeApplication: Entering");
  g_WatcherProcessID = services->CurrentProcessId();
  GdLib::InitializeGdLib();
  GdLib::LoadTarnLib();
  if (g_StartedByCom) {
    g_FormSurvival = true;
    StartPollingTimer(services);
  }
  if (g_LoggingEnabled) DebugLogFile::WriteLine("InitializeApplication: Exiting");
}

void TerminateApplication(const std::shared_ptr<ControllerServices>& services) {
  ResumeNext([] { GdLib::GdFree(); });
  g_EFGraph.reset();
  g_FormSurvival = false;
  if (g_StartedByCom) ResumeNext([&] { StopPollingTimer(*services); });
  // Ending the program unloads every window and releases every object the add-in passed. The engine
  // is freed and the add-in gone: nothing more is read from either.
  if (g_WatcherManager) ResumeNext([] { g_WatcherManager->UnloadAndRelease(); });
  StartSelfDestructTimer(services);
}

}  // namespace corvana
