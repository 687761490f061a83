#include "watcher/controller/WatcherGlobals.h"

#include "watcher/controller/EFGraph.h"
#include "wire/BusNames.h"

namespace corvana {

WatcherManager* g_WatcherManager = nullptr;
bool g_ApplicationInitialized = false;
bool g_OptimizationUnderWay = false;
bool g_MessageBoxShown = false;
bool g_StopRequested = false;
bool g_ModalDialogShown = false;
std::shared_ptr<EFGraph> g_EFGraph;
std::uint64_t g_PollingTimerID = 0;
bool g_FormSurvival = false;
bool g_StartedByCom = false;
std::string g_AddinSurvivalMutex = wire::kAddinSurvivalMutexPrefix;

void ResetWatcherGlobals() {
  g_WatcherManager = nullptr;
  g_ApplicationInitialized = false;
  g_OptimizationUnderWay = false;
  g_MessageBoxShown = false;
  g_StopRequested = false;
  g_ModalDialogShown = false;
  g_EFGraph.reset();
  g_PollingTimerID = 0;
  g_FormSurvival = false;
  g_StartedByCom = false;
  g_AddinSurvivalMutex = wire::kAddinSurvivalMutexPrefix;
}

}  // namespace corvana
