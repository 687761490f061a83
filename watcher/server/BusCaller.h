#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QVariant>

#include "watcher/controller/HostObjectRef.h"

namespace corvana::bus {

// Calls one method of an object another peer serves, and turns an error reply into a ComError
// with the code the error name carries (0x8004000A for foreign errors).
class BusCaller {
 public:
  static constexpr int kTimeoutMs = 15000;

  BusCaller(QDBusConnection connection, HostObjectRef ref, const char* interfaceName);

  const HostObjectRef& Reference() const noexcept { return m_Ref; }
  // The reply's arguments; raises on an error reply or a reply of the wrong signature.
  QList<QVariant> Call(const char* method, const QList<QVariant>& arguments = {},
                       const char* replySignature = "") const;
  // Sends the call without waiting for its reply: for requests whose failure changes nothing here,
  // so a busy host never holds the Watcher's window up.
  void Post(const char* method, const QList<QVariant>& arguments = {}) const;

 private:
  QDBusMessage Message(const char* method, const QList<QVariant>& arguments) const;

  QDBusConnection m_Connection;
  HostObjectRef m_Ref;
  const char* m_Interface;
};

}  // namespace corvana::bus
