#include "addin/BusObjectRef.h"

#include <QDBusMetaType>

namespace corvana::addin {

void BusObjectRef::Register() {
  qDBusRegisterMetaType<BusObjectRef>();
}

QDBusArgument& operator<<(QDBusArgument& argument, const BusObjectRef& ref) {
  argument.beginStructure();
  // An empty object path is not valid on the wire; "/" stands for nothing.
  argument << ref.Service << (ref.Path.path().isEmpty() ? QDBusObjectPath(QStringLiteral("/")) : ref.Path);
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, BusObjectRef& ref) {
  argument.beginStructure();
  argument >> ref.Service >> ref.Path;
  argument.endStructure();
  return argument;
}

}  // namespace corvana::addin
