#include "watcher/server/BusHelpHost.h"

#include "wire/BusNames.h"

namespace corvana::bus {

BusHelpHost::BusHelpHost(QDBusConnection connection, HostObjectRef ref)
    : m_Caller(std::move(connection), std::move(ref), wire::kHelpInterface) {}

void BusHelpHost::ShowHelp(std::int32_t helpContextID) {
  m_Caller.Call("ShowHelp", {static_cast<int>(helpContextID)});
}

}  // namespace corvana::bus
