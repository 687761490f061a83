#pragma once

#include <QDBusArgument>
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
#include "wire/dbus/BusObjectRef.h"

namespace corvana::bus {

// A collection item of a kind D-Bus lacks: "(sv)" with the kind "Empty", "Date" or "Error".
struct TaggedValue {
  QString Kind;
  QDBusVariant Value;
};

QDBusArgument& operator<<(QDBusArgument& argument, const TaggedValue& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, TaggedValue& value);
void RegisterBusTypes();

// Conversions between bus values and the Watcher's own. The From... ones raise a type-mismatch
// ComError naming `what` when the value is not of the D-Bus type expected.
QString ToQ(const std::string& text);
std::string FromQ(const QString& text);

QVariant ToBus(const Variant& value);
Variant VariantFromBus(const QVariant& value, const std::string& what);
// "av", 1-based on the Watcher side. A collection of more than kMaxCollectionItems raises
// "Invalid argument" before any item is converted: no run of the add-in comes near it, and the
// copy stays bounded.
inline constexpr long kMaxCollectionItems = 100000;
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

}  // namespace corvana::bus

Q_DECLARE_METATYPE(corvana::bus::TaggedValue)
