#include "addin/BusCall.h"

#include <climits>

#include <QDBusError>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace corvana::addin {

QDBusMessage CallServingEvents(const QDBusConnection& bus, const QDBusMessage& call, int timeoutMs) {
  QDBusPendingCall pending = bus.asyncCall(call, timeoutMs);
  // Our own limit a little past the bus's, in case the bus never reports the call as ended.
  const qint64 limit = timeoutMs < 0 ? 26000 : timeoutMs == INT_MAX ? -1 : qint64{timeoutMs} + 1000;
  QElapsedTimer elapsed;
  elapsed.start();
  if (!pending.isFinished()) {
    QEventLoop loop;
    QDBusPendingCallWatcher watcher(pending);
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
      if (pending.isFinished() || (limit >= 0 && elapsed.elapsed() > limit)) loop.quit();
    });
    check.start(20);
    if (!pending.isFinished()) loop.exec();
  }
  if (!pending.isFinished())
    return call.createErrorReply(
        QDBusError::NoReply,
        QStringLiteral("No reply to %1 within %2 ms.").arg(call.member()).arg(elapsed.elapsed()));
  return pending.reply();
}

}  // namespace corvana::addin
