#pragma once

#include "watcher/log/LogObject.h"
#include "watcher/server/BusObject.h"

namespace corvana::bus {

// A LogObject on the bus; by-reference out-values of its operations are the reply's values.
class LogObjectBusObject : public BusObject {
 public:
  LogObjectBusObject(QDBusConnection connection, QString path, QString owner);

  LogObject& Log() noexcept { return m_Log; }

 private:
  LogObject m_Log;
};

}  // namespace corvana::bus
