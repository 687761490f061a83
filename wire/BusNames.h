#pragma once

#include <string>
#include <string_view>

// Names on the session bus that the add-in and the Watcher agree on.
namespace corvana::wire {

inline constexpr char kServiceName[] = "com.orrendel.CorvanaWatcher8";
inline constexpr char kFactoryPath[] = "/com/orrendel/CorvanaWatcher8";
inline constexpr char kFactoryInterface[] = "com.orrendel.CorvanaWatcher8.Factory";
inline constexpr char kWatcherManagerPathPrefix[] = "/com/orrendel/CorvanaWatcher8/WatcherManager/";
inline constexpr char kWatcherManagerInterface[] = "com.orrendel.CorvanaWatcher8.WatcherManager";
inline constexpr char kLogObjectPathPrefix[] = "/com/orrendel/CorvanaWatcher8/LogObject/";
inline constexpr char kLogObjectInterface[] = "com.orrendel.CorvanaWatcher8.LogObject";
inline constexpr char kAutomationPath[] = "/com/orrendel/CorvanaWatcher8/Automation";
inline constexpr char kAutomationInterface[] = "com.orrendel.CorvanaWatcher8.Automation";
inline constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";

// The objects the add-in serves for the Watcher's callbacks, and their interfaces.
inline constexpr char kHostApplicationPath[] = "/com/orrendel/CorvanaAddin8/HostApplication";
inline constexpr char kAddinApplicationPath[] = "/com/orrendel/CorvanaAddin8/AddinApplication";
inline constexpr char kHelpPath[] = "/com/orrendel/CorvanaAddin8/Help";
inline constexpr char kHostApplicationInterface[] = "com.orrendel.CorvanaWatcher8.HostApplication";
inline constexpr char kAddinApplicationInterface[] = "com.orrendel.CorvanaWatcher8.AddinApplication";
inline constexpr char kHelpInterface[] = "com.orrendel.CorvanaWatcher8.Interop";

// The add-in's survival mutex, one per bus: add-ins on different buses may share a runtime
// directory, and each Watcher must follow only its own add-in. `busId` is the bus's own id.
inline constexpr char kAddinSurvivalMutexPrefix[] = "OrrendelSurvivalMutex_OLProcessVersion8";
inline std::string AddinSurvivalMutexName(std::string_view busId) {
  std::string name = kAddinSurvivalMutexPrefix;
  if (!busId.empty()) name.append("_").append(busId);
  return name;
}

}  // namespace corvana::wire
