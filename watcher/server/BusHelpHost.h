#pragma once

#include <QDBusConnection>

#include "watcher/controller/HelpHost.h"
#include "watcher/server/BusCaller.h"

namespace corvana::bus {

// The suite's help host (its Interop object) served by the add-in's process.
class BusHelpHost : public HelpHost {
 public:
  BusHelpHost(QDBusConnection connection, HostObjectRef ref);

  HostObjectRef Reference() const override { return m_Caller.Reference(); }
  void ShowHelp(std::int32_t helpContextID) override;

 private:
  BusCaller m_Caller;
};

}  // namespace corvana::bus
