#include "wire/dbus/BusErrors.h"

#include "wire/ErrorNames.h"

namespace corvana::wire {

QString BusErrorName(std::uint32_t code) {
  return QString::fromStdString(ErrorName(code));
}

QDBusMessage ErrorReply(const QDBusMessage& call, const ComError& error) {
  return call.createErrorReply(BusErrorName(error.Code()), QString::fromStdString(error.Description()));
}

ComError ErrorFromReply(const QDBusMessage& reply, const std::string& source) {
  const auto code = CodeFromErrorName(reply.errorName().toStdString());
  return ComError(code.value_or(kErrApplication), source, reply.errorMessage().toStdString());
}

}  // namespace corvana::wire
