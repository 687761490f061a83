#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace corvana {

class WatcherManager;
class EFGraph;

// Process-wide state of the Watcher: one value per process, touched only on the UI thread.
// g_ResourceServer and g_WatcherProcessID live with the shared utilities.
extern WatcherManager* g_WatcherManager;  // the controller last initialized; not owned
extern bool g_ApplicationInitialized;
extern bool g_OptimizationUnderWay;
extern bool g_MessageBoxShown;
extern bool g_StopRequested;
extern bool g_ModalDialogShown;
extern std::shared_ptr<EFGraph> g_EFGraph;
extern std::uint64_t g_PollingTimerID;
// The hidden survival form is only a marker on this platform: it holds no pictures of its own.
extern bool g_FormSurvival;
// Started by the object bus (--activated) rather than stand-alone.
extern bool g_StartedByCom;
// The survival mutex of the add-in this Watcher serves (named after its bus).
extern std::string g_AddinSurvivalMutex;

// Puts the process-wide run state back to start-up (tests run several "processes" in one).
void ResetWatcherGlobals();

}  // namespace corvana
