#pragma once

#include <QDBusConnection>
#include <QDBusMessage>

namespace corvana::addin {

// A blocking call that keeps serving this process's events (its own exported objects, timers)
// until the reply is there or the timeout (ms; -1 = the bus default) runs out. It watches the
// pending call itself as well as its signal, so a reply that lands before the wait begins is
// never missed.
QDBusMessage CallServingEvents(const QDBusConnection& bus, const QDBusMessage& call, int timeoutMs = -1);

}  // namespace corvana::addin
