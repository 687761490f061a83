#include "watcher/server/BusObject.h"

#include <QDBusVariant>
#include <exception>

#include "common/ComError.h"
#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"
#include "wire/ErrorNames.h"
#include "wire/dbus/BusErrors.h"

namespace corvana::bus {

namespace {
constexpr const char* kIntrospectableInterface = "org.freedesktop.DBus.Introspectable";
constexpr const char* kPeerInterface = "org.freedesktop.DBus.Peer";

QString Signature(const std::vector<BusObject::Argument>& arguments) {
  QString signature;
  for (const auto& argument : arguments) signature += argument.Signature;
  return signature;
}

QString Escape(const QString& text) {
  return text.toHtmlEscaped();
}
}  // namespace

BusObject::BusObject(QDBusConnection connection, QString path, QString interfaceName, QString owner)
    : m_Connection(std::move(connection)),
      m_Path(std::move(path)),
      m_Interface(std::move(interfaceName)),
      m_Owner(std::move(owner)) {}

QString BusObject::introspect(const QString& /*path*/) const {
  QString xml = "  <interface name=\"" + m_Interface + "\">\n";
  for (const auto& method : m_Methods) {
    xml += "    <method name=\"" + method.Name + "\">\n";
    for (const auto& in : method.In)
      xml += "      <arg name=\"" + Escape(in.Name) + "\" type=\"" + in.Signature + "\" direction=\"in\"/>\n";
    for (const auto& out : method.Out)
      xml +=
          "      <arg name=\"" + Escape(out.Name) + "\" type=\"" + out.Signature + "\" direction=\"out\"/>\n";
    xml += "    </method>\n";
  }
  for (const auto& property : m_Properties)
    xml += "    <property name=\"" + property.Name + "\" type=\"" + property.Signature + "\" access=\"" +
           (property.Set ? "readwrite" : "read") + "\"/>\n";
  xml += "  </interface>\n";
  // The bus library adds the standard Properties, Introspectable and Peer interfaces.
  return xml;
}

bool BusObject::handleMessage(const QDBusMessage& message, const QDBusConnection& /*connection*/) {
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  // Introspection and Peer are answered by the bus library itself.
  if (message.interface() == kIntrospectableInterface || message.interface() == kPeerInterface) return false;
  QDBusMessage reply;
  try {
    if (!MayCall(message.service()))
      RaiseError(wire::kErrAccessDenied, "Access denied",
                 m_Owner.isEmpty()
                     ? "Access denied: only the peer that created the active WatcherManager may "
                       "call " +
                           FromQ(m_Path) + "."
                     : "Access denied: only the peer that created " + FromQ(m_Path) + " may call it.");
    reply = message.interface() == wire::kPropertiesInterface ? PropertiesCall(message) : Dispatch(message);
  } catch (const ComError& e) {
    reply = wire::ErrorReply(message, e);
  } catch (const std::exception& e) {
    reply = wire::ErrorReply(message, ComError(kErrUnexpected, "", e.what()));
  }
  // An invalid reply means the method answers later; a caller that wants no reply gets none.
  if (reply.type() != QDBusMessage::InvalidMessage && message.isReplyRequired()) m_Connection.send(reply);
  return true;
}

void BusObject::AddReleaseMethod() {
  AddMethod({"Release", {}, {}, [this](const QDBusMessage&, const QList<QVariant>&) {
               QMetaObject::invokeMethod(
                   this,
                   [this] {
                     if (OnRelease) OnRelease(*this);
                   },
                   Qt::QueuedConnection);
               return std::optional<QList<QVariant>>(QList<QVariant>{});
             }});
}

const BusObject::Property* BusObject::FindProperty(const QString& name) const {
  for (const auto& property : m_Properties)
    if (property.Name == name) return &property;
  return nullptr;
}

QDBusMessage BusObject::PropertiesCall(const QDBusMessage& message) {
  const QList<QVariant> args = message.arguments();
  const QString member = message.member();
  auto checkInterface = [&](const QString& name) {
    if (!name.isEmpty() && name != m_Interface)
      return message.createErrorReply("org.freedesktop.DBus.Error.UnknownInterface",
                                      "No interface " + name + " at " + m_Path + ".");
    return QDBusMessage();
  };
  if (member == "Get" && message.signature() == "ss") {
    if (auto error = checkInterface(args.at(0).toString()); error.type() != QDBusMessage::InvalidMessage)
      return error;
    const Property* property = FindProperty(args.at(1).toString());
    if (!property)
      return message.createErrorReply("org.freedesktop.DBus.Error.UnknownProperty",
                                      "No property " + args.at(1).toString() + " in " + m_Interface + ".");
    return message.createReply(QVariant::fromValue(QDBusVariant(property->Get())));
  }
  if (member == "Set" && message.signature() == "ssv") {
    if (auto error = checkInterface(args.at(0).toString()); error.type() != QDBusMessage::InvalidMessage)
      return error;
    const Property* property = FindProperty(args.at(1).toString());
    if (!property)
      return message.createErrorReply("org.freedesktop.DBus.Error.UnknownProperty",
                                      "No property " + args.at(1).toString() + " in " + m_Interface + ".");
    if (!property->Set)
      return message.createErrorReply("org.freedesktop.DBus.Error.PropertyReadOnly",
                                      "The property " + property->Name + " is read-only.");
    property->Set(args.at(2));
    return message.createReply();
  }
  if (member == "GetAll" && message.signature() == "s") {
    if (auto error = checkInterface(args.at(0).toString()); error.type() != QDBusMessage::InvalidMessage)
      return error;
    QVariantMap values;
    for (const auto& property : m_Properties) values.insert(property.Name, property.Get());
    return message.createReply(QVariant(values));
  }
  return message.createErrorReply("org.freedesktop.DBus.Error.UnknownMethod",
                                  "No method " + member + " with signature '" + message.signature() +
                                      "' in " + wire::kPropertiesInterface + ".");
}

QDBusMessage BusObject::Dispatch(const QDBusMessage& message) {
  if (!message.interface().isEmpty() && message.interface() != m_Interface)
    return message.createErrorReply("org.freedesktop.DBus.Error.UnknownInterface",
                                    "No interface " + message.interface() + " at " + m_Path + ".");
  for (const auto& method : m_Methods) {
    if (method.Name != message.member()) continue;
    const QString expected = Signature(method.In);
    if (message.signature() != expected)
      RaiseError(kErrTypeMismatch, FromQ(method.Name),
                 "Type mismatch: " + FromQ(method.Name) + " takes '" + FromQ(expected) + "', got '" +
                     FromQ(message.signature()) + "'.");
    const auto out = method.Run(message, message.arguments());
    if (!out) return {};
    return message.createReply(*out);
  }
  return message.createErrorReply("org.freedesktop.DBus.Error.UnknownMethod",
                                  "No method " + message.member() + " in " + m_Interface + ".");
}

}  // namespace corvana::bus
