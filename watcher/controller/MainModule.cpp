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

void InitializeApplication() {
  g_ApplicationInitialized = true;
  if (DebugLogFile::LoggingRequested()) DebugLogFile::StartLogging();
  if (g_LoggingEnabled) DebugLogFile::WriteLine("InitializeApplication: Entering");
  if (g_Services) g_WatcherProcessID = g_Services->CurrentProcessId();
  GdLib::InitializeGdLib();
  GdLib::LoadTarnLib();
  if (g_StartedByCom) {
    g_FormSurvival = true;
    StartPollingTimer();
  }
  if (g_LoggingEnabled) DebugLogFile::WriteLine("InitializeApplication: Exiting");
}

void TerminateApplication() {
  ResumeNext([] { GdLib::GdFree(); });
  g_EFGraph.reset();
  g_FormSurvival = false;
  if (g_StartedByCom) ResumeNext([] { StopPollingTimer(); });
  // Ending the program unloads every window and releases every object the add-in passed.
  if (g_WatcherManager) ResumeNext([] { g_WatcherManager->Dispose(); });
  StartSelfDestructTimer();
}

}  // namespace corvana
