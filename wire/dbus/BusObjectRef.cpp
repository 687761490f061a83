#include "wire/dbus/BusObjectRef.h"

#include <QDBusMetaType>

namespace corvana::wire {

namespace {
const QString kNothing = QStringLiteral("/");
}

void BusObjectRef::Register() {
  qDBusRegisterMetaType<BusObjectRef>();
}

QDBusArgument& operator<<(QDBusArgument& argument, const BusObjectRef& ref) {
  argument.beginStructure();
  argument << ref.Service << (ref.IsNothing() ? QDBusObjectPath(kNothing) : ref.Path);
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, BusObjectRef& ref) {
  argument.beginStructure();
  argument >> ref.Service >> ref.Path;
  argument.endStructure();
  if (ref.Path.path() == kNothing) ref.Path = QDBusObjectPath();
  return argument;
}

}  // namespace corvana::wire
