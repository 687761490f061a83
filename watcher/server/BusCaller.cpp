#include "watcher/server/BusCaller.h"

#include "common/ComError.h"
#include "watcher/server/BusValues.h"
#include "wire/ErrorNames.h"

namespace corvana::bus {

BusCaller::BusCaller(QDBusConnection connection, HostObjectRef ref, const char* interfaceName)
    : m_Connection(std::move(connection)), m_Ref(std::move(ref)), m_Interface(interfaceName) {}

QDBusMessage BusCaller::Message(const char* method, const QList<QVariant>& arguments) const {
  QDBusMessage call = QDBusMessage::createMethodCall(
      ToQ(m_Ref.Service), ToQ(m_Ref.Path), QString::fromLatin1(m_Interface), QString::fromLatin1(method));
  call.setArguments(arguments);
  return call;
}

void BusCaller::Post(const char* method, const QList<QVariant>& arguments) const {
  if (m_Ref.IsNothing())
    RaiseError(kErrApplication, std::string(m_Interface) + "." + method, "Object variable not set.");
  if (!m_Connection.send(Message(method, arguments)))
    RaiseError(kErrApplication, std::string(m_Interface) + "." + method,
               "Cannot send to " + m_Ref.Service + ": " + FromQ(m_Connection.lastError().message()));
}

QList<QVariant> BusCaller::Call(const char* method, const QList<QVariant>& arguments,
                                const char* replySignature) const {
  const std::string source = std::string(m_Interface) + "." + method;
  if (m_Ref.IsNothing()) RaiseError(kErrApplication, source, "Object variable not set.");
  const QDBusMessage reply = m_Connection.call(Message(method, arguments), QDBus::Block, kTimeoutMs);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    if (const auto code = wire::CodeFromErrorName(FromQ(reply.errorName())))
      RaiseError(*code, source, FromQ(reply.errorMessage()));
    RaiseError(kErrApplication, source, FromQ(reply.errorName() + ": " + reply.errorMessage()));
  }
  if (reply.type() != QDBusMessage::ReplyMessage)
    RaiseError(kErrApplication, source, "No reply from " + m_Ref.Service + ".");
  if (reply.signature() != QString::fromLatin1(replySignature))
    RaiseError(kErrTypeMismatch, source,
               "Type mismatch: the reply of " + source + " has the signature '" + FromQ(reply.signature()) +
                   "', expected '" + replySignature + "'.");
  return reply.arguments();
}

}  // namespace corvana::bus
