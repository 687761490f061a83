#include "watcher/server/BusHostApplication.h"

#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"

namespace corvana::bus {

BusHostApplication::BusHostApplication(QDBusConnection connection, HostObjectRef ref)
    : m_Caller(std::move(connection), std::move(ref), wire::kHostApplicationInterface) {}

void BusHostApplication::Run(const std::string& macroName) {
  m_Caller.Post("Run", {ToQ(macroName)});
}

bool BusHostApplication::BooleanProperty(std::int32_t localeId) {
  return m_Caller.Call("GetBooleanProperty", {static_cast<int>(localeId)}, "b").at(0).toBool();
}

void BusHostApplication::SetBooleanProperty(std::int32_t localeId, bool value) {
  m_Caller.Call("SetBooleanProperty", {static_cast<int>(localeId), value});
}

bool BusHostApplication::WindowEnabled() {
  return m_Caller.Call("GetWindowEnabled", {}, "b").at(0).toBool();
}

void BusHostApplication::EnableWindow(bool enabled) {
  m_Caller.Call("EnableWindow", {enabled});
}

void BusHostApplication::SetForeground() {
  m_Caller.Post("SetForeground");
}

HostWindowRect BusHostApplication::WindowRect() {
  const auto reply = m_Caller.Call("GetWindowRect", {}, "iiii");
  return {reply.at(0).toInt(), reply.at(1).toInt(), reply.at(2).toInt(), reply.at(3).toInt()};
}

HostObjectRef BusHostApplication::CreateChart(const HostObjectRef& dataRange,
                                              const HostObjectRef& placementRange, std::int32_t chartKind,
                                              std::int32_t firstSeriesColor) {
  const auto reply = m_Caller.Call("CreateChart",
                                   {ToBus(dataRange), ToBus(placementRange), static_cast<int>(chartKind),
                                    static_cast<int>(firstSeriesColor)},
                                   "(so)");
  return RefFromBus(reply.at(0), "the chart");
}

}  // namespace corvana::bus
