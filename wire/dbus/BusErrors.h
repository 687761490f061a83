#pragma once

#include <QDBusMessage>
#include <QString>
#include <cstdint>
#include <string>

#include "common/ComError.h"

namespace corvana::wire {

// "com.orrendel.CorvanaWatcher8.Error.E8004000A" for 0x8004000A.
QString BusErrorName(std::uint32_t code);

// The error reply to `call` that carries the error's code in its name and its description as text.
QDBusMessage ErrorReply(const QDBusMessage& call, const ComError& error);

// The error an error reply carries: the code its name holds and its text. A reply from outside the
// contract (the bus itself, a timeout) becomes the application error 0x8004000A with its text.
ComError ErrorFromReply(const QDBusMessage& reply, const std::string& source);

}  // namespace corvana::wire
