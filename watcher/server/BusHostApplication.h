#pragma once

#include <QDBusConnection>

#include "watcher/controller/HostApplication.h"
#include "watcher/server/BusCaller.h"

namespace corvana::bus {

// The host application served by the add-in's process.
class BusHostApplication : public HostApplication {
 public:
  BusHostApplication(QDBusConnection connection, HostObjectRef ref);

  HostObjectRef Reference() const override { return m_Caller.Reference(); }
  void Run(const std::string& macroName) override;
  bool BooleanProperty(std::int32_t localeId) override;
  void SetBooleanProperty(std::int32_t localeId, bool value) override;
  bool WindowEnabled() override;
  void EnableWindow(bool enabled) override;
  void SetForeground() override;
  HostWindowRect WindowRect() override;
  HostObjectRef CreateChart(const HostObjectRef& dataRange, const HostObjectRef& placementRange,
                            std::int32_t chartKind, std::int32_t firstSeriesColor) override;

 private:
  BusCaller m_Caller;
};

}  // namespace corvana::bus
