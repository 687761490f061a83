#pragma once

#include <memory>

namespace corvana {

class ControllerServices;

inline constexpr const char* kWatcherSurvivalMutex = "OrrendelSurvivalMutex_GraphingEngineVersion8";

// The host-survival check: polls every 1000 ms (100 ms while a Watcher window is modal) whether
// the add-in's process still holds its survival mutex (g_AddinSurvivalMutex), and ends this process when it
// does not.
void StartPollingTimer(const std::shared_ptr<ControllerServices>& services);
void StopPollingTimer(ControllerServices& services);
void SurvivalTimerProc(std::shared_ptr<ControllerServices> services);
void StartSelfDestructTimer(const std::shared_ptr<ControllerServices>& services);

}  // namespace corvana
