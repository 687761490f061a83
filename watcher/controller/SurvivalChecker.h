#pragma once

namespace corvana {

inline constexpr const char* kAddinSurvivalMutex = "OrrendelSurvivalMutex_OLProcessVersion8";
inline constexpr const char* kWatcherSurvivalMutex = "OrrendelSurvivalMutex_GraphingEngineVersion8";

// The host-survival check: polls every 1000 ms (100 ms while a Watcher window is modal) whether
// the add-in's process still holds its survival mutex, and ends this process when it does not.
void StartPollingTimer();
void StopPollingTimer();
void SurvivalTimerProc();
void StartSelfDestructTimer();
void SelfDestructTimerProc();

}  // namespace corvana
