#pragma once

// Names on the session bus that the add-in and the Watcher agree on.
namespace corvana::addin::bus {

inline constexpr char kWatcherService[] = "com.orrendel.CorvanaWatcher8";
inline constexpr char kFactoryPath[] = "/com/orrendel/CorvanaWatcher8";
inline constexpr char kFactoryInterface[] = "com.orrendel.CorvanaWatcher8.Factory";
inline constexpr char kManagerInterface[] = "com.orrendel.CorvanaWatcher8.WatcherManager";
inline constexpr char kAutomationPath[] = "/com/orrendel/CorvanaWatcher8/Automation";
inline constexpr char kAutomationInterface[] = "com.orrendel.CorvanaWatcher8.Automation";
inline constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";
// An error reply carries its code in its name: "...Error.E8004000A".
inline constexpr char kErrorPrefix[] = "com.orrendel.CorvanaWatcher8.Error.";

// The objects this process serves for the Watcher's callbacks.
inline constexpr char kHostApplicationPath[] = "/com/orrendel/CorvanaAddin8/HostApplication";
inline constexpr char kAddinApplicationPath[] = "/com/orrendel/CorvanaAddin8/AddinApplication";
inline constexpr char kHelpPath[] = "/com/orrendel/CorvanaAddin8/Help";

}  // namespace corvana::addin::bus
