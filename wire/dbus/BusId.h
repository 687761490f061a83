#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <string>

namespace corvana::wire {

// The id the bus daemon gives itself: the same for every peer on one bus, whatever address it
// was reached by. Empty when the bus does not answer.
inline std::string BusId(const QDBusConnection& bus) {
  if (!bus.isConnected() || !bus.interface()) return {};
  const QDBusReply<QString> id = bus.interface()->call(QStringLiteral("GetId"));
  return id.isValid() ? id.value().toStdString() : std::string();
}

}  // namespace corvana::wire
