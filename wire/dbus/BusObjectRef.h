#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QMetaType>
#include <QString>

namespace corvana::wire {

// A reference to an object served by a peer on the bus, "(so)": its bus name and object path. An
// empty path is the reference to nothing; on the wire it is "/", as D-Bus has no null path.
struct BusObjectRef {
  QString Service;
  QDBusObjectPath Path;

  bool IsNothing() const { return Path.path().isEmpty(); }
  // Makes the type known to the bus library; once per process is enough, more is harmless.
  static void Register();
};

QDBusArgument& operator<<(QDBusArgument& argument, const BusObjectRef& ref);
const QDBusArgument& operator>>(const QDBusArgument& argument, BusObjectRef& ref);

}  // namespace corvana::wire

Q_DECLARE_METATYPE(corvana::wire::BusObjectRef)
