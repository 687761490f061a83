#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QMetaType>
#include <QString>

namespace corvana::addin {

// A reference to an object served on the bus, "(so)": bus name and object path. An empty path
// is the reference to nothing (the bus has no null).
struct BusObjectRef {
  QString Service;
  QDBusObjectPath Path;

  static void Register();
};

QDBusArgument& operator<<(QDBusArgument& argument, const BusObjectRef& ref);
const QDBusArgument& operator>>(const QDBusArgument& argument, BusObjectRef& ref);

}  // namespace corvana::addin

Q_DECLARE_METATYPE(corvana::addin::BusObjectRef)
