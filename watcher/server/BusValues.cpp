#include "watcher/server/BusValues.h"

#include <QDBusMetaType>
#include <QStringList>
#include <cmath>
#include <limits>

#include "wire/ErrorNames.h"

namespace corvana::bus {

QDBusArgument& operator<<(QDBusArgument& argument, const TaggedValue& value) {
  argument.beginStructure();
  argument << value.Kind << value.Value;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, TaggedValue& value) {
  argument.beginStructure();
  argument >> value.Kind >> value.Value;
  argument.endStructure();
  return argument;
}

void RegisterBusTypes() {
  static const bool registered = [] {
    wire::BusObjectRef::Register();
    qDBusRegisterMetaType<TaggedValue>();
    return true;
  }();
  (void)registered;
}

QString ToQ(const std::string& text) {
  return QString::fromStdString(text);
}

std::string FromQ(const QString& text) {
  return text.toStdString();
}

namespace {

[[noreturn]] void Mismatch(const std::string& what, const std::string& expected, const QVariant& got) {
  RaiseError(kErrTypeMismatch, "Type mismatch",
             "Type mismatch: " + what + " expects D-Bus type '" + expected + "', got '" +
                 FromQ(SignatureOf(got)) + "'.");
}

QVariant Unwrap(const QVariant& value) {
  if (value.metaType() == QMetaType::fromType<QDBusVariant>()) return value.value<QDBusVariant>().variant();
  return value;
}

bool IsArgument(const QVariant& value) {
  return value.metaType() == QMetaType::fromType<QDBusArgument>();
}

}  // namespace

QString SignatureOf(const QVariant& raw) {
  const QVariant value = Unwrap(raw);
  if (IsArgument(value)) return value.value<QDBusArgument>().currentSignature();
  switch (value.metaType().id()) {
    case QMetaType::Bool: return "b";
    case QMetaType::Short: return "n";
    case QMetaType::UShort: return "q";
    case QMetaType::Int: return "i";
    case QMetaType::UInt: return "u";
    case QMetaType::LongLong: return "x";
    case QMetaType::ULongLong: return "t";
    case QMetaType::Double: return "d";
    case QMetaType::QString: return "s";
    case QMetaType::QByteArray: return "ay";
    case QMetaType::QStringList: return "as";
    case QMetaType::QVariantList: return "av";
    default: break;
  }
  if (value.metaType() == QMetaType::fromType<QDBusObjectPath>()) return "o";
  if (value.metaType() == QMetaType::fromType<wire::BusObjectRef>()) return "(so)";
  if (value.metaType() == QMetaType::fromType<QList<double>>()) return "ad";
  if (value.metaType() == QMetaType::fromType<QList<bool>>()) return "ab";
  return QString::fromLatin1(value.metaType().name() ? value.metaType().name() : "?");
}

bool BoolFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  if (value.metaType().id() != QMetaType::Bool) Mismatch(what, "b", value);
  return value.toBool();
}

std::int32_t LongFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  if (value.metaType().id() != QMetaType::Int) Mismatch(what, "i", value);
  return value.toInt();
}

std::int16_t IntegerFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  if (value.metaType().id() != QMetaType::Short) Mismatch(what, "n", value);
  return value.value<short>();
}

double DoubleFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  if (value.metaType().id() != QMetaType::Double) Mismatch(what, "d", value);
  return value.toDouble();
}

std::string StringFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  if (value.metaType().id() != QMetaType::QString) Mismatch(what, "s", value);
  return FromQ(value.toString());
}

std::vector<double> DoublesFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  if (value.metaType() == QMetaType::fromType<QList<double>>()) {
    const auto list = value.value<QList<double>>();
    return {list.begin(), list.end()};
  }
  if (!IsArgument(value) || value.value<QDBusArgument>().currentSignature() != "ad")
    Mismatch(what, "ad", value);
  QList<double> list;
  value.value<QDBusArgument>() >> list;
  return {list.begin(), list.end()};
}

std::vector<bool> BooleansFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  QList<bool> list;
  if (value.metaType() == QMetaType::fromType<QList<bool>>())
    list = value.value<QList<bool>>();
  else if (IsArgument(value) && value.value<QDBusArgument>().currentSignature() == "ab")
    value.value<QDBusArgument>() >> list;
  else
    Mismatch(what, "ab", value);
  return std::vector<bool>(list.cbegin(), list.cend());
}

std::vector<std::string> StringsFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  if (value.metaType().id() != QMetaType::QStringList) Mismatch(what, "as", value);
  std::vector<std::string> result;
  for (const QString& s : value.toStringList()) result.push_back(FromQ(s));
  return result;
}

QVariant ToBus(const Variant& value) {
  const auto tagged = [](const char* kind, const QVariant& inner) {
    return QVariant::fromValue(TaggedValue{QString::fromLatin1(kind), QDBusVariant(inner)});
  };
  switch (value.Kind()) {
    case VarKind::Empty: return tagged("Empty", QString());
    case VarKind::Boolean: return QVariant(value.ToBoolean());
    case VarKind::Integer: return QVariant::fromValue<short>(value.ToInteger());
    case VarKind::Long: return QVariant(static_cast<int>(value.ToLong()));
    case VarKind::Double: return QVariant(value.ToDouble());
    case VarKind::String: return QVariant(ToQ(value.ToString()));
    case VarKind::Date: return tagged("Date", std::get<OleDate>(value.Raw()).Value);
    case VarKind::Error: return tagged("Error", static_cast<int>(std::get<ErrorValue>(value.Raw()).Code));
  }
  return tagged("Empty", QString());
}

Variant VariantFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  switch (value.metaType().id()) {
    case QMetaType::Bool: return Variant(value.toBool());
    case QMetaType::Short: return Variant(static_cast<std::int16_t>(value.value<short>()));
    case QMetaType::Int: return Variant(static_cast<std::int32_t>(value.toInt()));
    case QMetaType::Double: return Variant(value.toDouble());
    case QMetaType::QString: return Variant(FromQ(value.toString()));
    default: break;
  }
  if (IsArgument(value) && value.value<QDBusArgument>().currentSignature() == "(sv)") {
    TaggedValue tagged;
    value.value<QDBusArgument>() >> tagged;
    const QVariant inner = tagged.Value.variant();
    if (tagged.Kind == "Empty") return Variant();
    if (tagged.Kind == "Date" && inner.metaType().id() == QMetaType::Double)
      return Variant(OleDate{inner.toDouble()});
    if (tagged.Kind == "Error" && inner.metaType().id() == QMetaType::Int)
      return Variant(ErrorValue{inner.toInt()});
    RaiseError(kErrTypeMismatch, "Type mismatch",
               "Type mismatch: " + what + " holds an unknown tagged value '" + FromQ(tagged.Kind) + "'.");
  }
  Mismatch(what, "b, n, i, d, s or (sv)", value);
}

QVariant ToBus(const Collection& collection) {
  QVariantList list;
  list.reserve(static_cast<qsizetype>(collection.Count()));
  for (const Variant& item : collection.Items())
    list.push_back(QVariant::fromValue(QDBusVariant(ToBus(item))));
  return list;
}

namespace {

[[noreturn]] void TooManyItems(const std::string& what) {
  RaiseError(kErrInvalidArgument, what,
             "Invalid argument: " + what + " holds more than " + std::to_string(kMaxCollectionItems) +
                 " items; at most " + std::to_string(kMaxCollectionItems) + " are accepted.");
}

// Counts the items of an "av" argument without converting them, stopping past the limit.
long CountUpToLimit(const QDBusArgument argument) {
  long count = 0;
  argument.beginArray();
  while (!argument.atEnd() && count <= kMaxCollectionItems) {
    QDBusVariant skipped;
    argument >> skipped;
    ++count;
  }
  // Ends the array even when the count stopped early: the reader opened for it is freed only here.
  argument.endArray();
  return count;
}

}  // namespace

Collection CollectionFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  std::vector<Variant> items;
  const auto add = [&](const QVariant& item) {
    items.push_back(VariantFromBus(item, what + " item " + std::to_string(items.size() + 1)));
  };
  if (value.metaType().id() == QMetaType::QVariantList) {
    const QVariantList list = value.toList();
    if (list.size() > kMaxCollectionItems) TooManyItems(what);
    items.reserve(static_cast<std::size_t>(list.size()));
    for (const QVariant& item : list) add(item);
    return Collection(std::move(items));
  }
  if (!IsArgument(value) || value.value<QDBusArgument>().currentSignature() != "av")
    Mismatch(what, "av", value);
  // Each copy reads on its own, so the count leaves the argument for the conversion below.
  const long count = CountUpToLimit(value.value<QDBusArgument>());
  if (count > kMaxCollectionItems) TooManyItems(what);
  items.reserve(static_cast<std::size_t>(count));
  const QDBusArgument argument = value.value<QDBusArgument>();
  argument.beginArray();
  while (!argument.atEnd()) {
    QDBusVariant item;
    argument >> item;
    add(item.variant());
  }
  argument.endArray();
  return Collection(std::move(items));
}

QVariant ToBus(const HostObjectRef& ref) {
  return QVariant::fromValue(wire::BusObjectRef{ToQ(ref.Service), QDBusObjectPath(ToQ(ref.Path))});
}

HostObjectRef RefFromBus(const QVariant& raw, const std::string& what) {
  const QVariant value = Unwrap(raw);
  wire::BusObjectRef ref;
  if (value.metaType() == QMetaType::fromType<wire::BusObjectRef>())
    ref = value.value<wire::BusObjectRef>();
  else if (IsArgument(value) && value.value<QDBusArgument>().currentSignature() == "(so)")
    value.value<QDBusArgument>() >> ref;
  else
    Mismatch(what, "(so)", value);
  // A reference built here (not read off the wire) may still say nothing with "/".
  if (ref.IsNothing() || ref.Path.path() == "/") return {};
  if (ref.Service.isEmpty())
    RaiseError(kErrInvalidArgument, "Invalid argument",
               "Invalid argument: " + what + " names an object without its bus name.");
  return {FromQ(ref.Service), FromQ(ref.Path.path())};
}

}  // namespace corvana::bus
