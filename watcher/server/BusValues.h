#pragma once

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Collection.h"
#include "common/ComError.h"
#include "common/Variant.h"
#include "watcher/controller/HostObjectRef.h"

namespace corvana::bus {

// The reference to an object served by another peer: D-Bus "(so)".
struct ObjectRef {
  QString Service;
  QDBusObjectPath Path;
};

// A collection item of a kind D-Bus lacks: "(sv)" with the kind "Empty", "Date" or "Error".
struct TaggedValue {
  QString Kind;
  QDBusVariant Value;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ObjectRef& ref);
const QDBusArgument& operator>>(const QDBusArgument& argument, ObjectRef& ref);
QDBusArgument& operator<<(QDBusArgument& argument, const TaggedValue& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, TaggedValue& value);
void RegisterBusTypes();

// Conversions between bus values and the Watcher's own. The From... ones raise a type-mismatch
// ComError naming `what` when the value is not of the D-Bus type expected.
QString ToQ(const std::string& text);
std::string FromQ(const QString& text);

QVariant ToBus(const Variant& value);
Variant VariantFromBus(const QVariant& value, const std::string& what);
// "av", 1-based on the Watcher side.
QVariant ToBus(const Collection& collection);
Collection CollectionFromBus(const QVariant& value, const std::string& what);
QVariant ToBus(const HostObjectRef& ref);
HostObjectRef RefFromBus(const QVariant& value, const std::string& what);

bool BoolFromBus(const QVariant& value, const std::string& what);
std::int32_t LongFromBus(const QVariant& value, const std::string& what);
std::int16_t IntegerFromBus(const QVariant& value, const std::string& what);
double DoubleFromBus(const QVariant& value, const std::string& what);
std::string StringFromBus(const QVariant& value, const std::string& what);
std::vector<double> DoublesFromBus(const QVariant& value, const std::string& what);
std::vector<bool> BooleansFromBus(const QVariant& value, const std::string& what);
std::vector<std::string> StringsFromBus(const QVariant& value, const std::string& what);

// The D-Bus signature a QVariant will be sent with ("i", "av", "(so)", ...).
QString SignatureOf(const QVariant& value);

// The error name of a code: "com.orrendel.CorvanaWatcher8.Error.E8004000A".
QString ErrorName(std::uint32_t code);
// The code an error name carries, 0 when it is not one of ours.
std::uint32_t CodeFromErrorName(const QString& name);
QDBusMessage ErrorReply(const QDBusMessage& call, const ComError& error);

}  // namespace corvana::bus

Q_DECLARE_METATYPE(corvana::bus::ObjectRef)
Q_DECLARE_METATYPE(corvana::bus::TaggedValue)
