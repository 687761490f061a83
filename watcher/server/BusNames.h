#pragma once

namespace corvana::bus {

inline constexpr const char* kServiceName = "com.orrendel.CorvanaWatcher8";
inline constexpr const char* kFactoryPath = "/com/orrendel/CorvanaWatcher8";
inline constexpr const char* kFactoryInterface = "com.orrendel.CorvanaWatcher8.Factory";
inline constexpr const char* kWatcherManagerPathPrefix = "/com/orrendel/CorvanaWatcher8/WatcherManager/";
inline constexpr const char* kWatcherManagerInterface = "com.orrendel.CorvanaWatcher8.WatcherManager";
inline constexpr const char* kLogObjectPathPrefix = "/com/orrendel/CorvanaWatcher8/LogObject/";
inline constexpr const char* kLogObjectInterface = "com.orrendel.CorvanaWatcher8.LogObject";
inline constexpr const char* kAutomationPath = "/com/orrendel/CorvanaWatcher8/Automation";
inline constexpr const char* kAutomationInterface = "com.orrendel.CorvanaWatcher8.Automation";
// An error reply is named this prefix + "E" + the code in 8 hex digits: "...Error.E8004000A".
inline constexpr const char* kErrorPrefix = "com.orrendel.CorvanaWatcher8.Error.";

// Interfaces the host side serves for the objects it passes by reference.
inline constexpr const char* kHostApplicationInterface = "com.orrendel.CorvanaWatcher8.HostApplication";
inline constexpr const char* kAddinApplicationInterface = "com.orrendel.CorvanaWatcher8.AddinApplication";
inline constexpr const char* kHelpInterface = "com.orrendel.CorvanaWatcher8.Interop";

}  // namespace corvana::bus
