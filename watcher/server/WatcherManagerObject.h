#pragma once

#include <memory>

#include "watcher/controller/WatcherManager.h"
#include "watcher/server/BusObject.h"

namespace corvana::bus {

// A WatcherManager on the bus: every property and public operation under its own name.
class WatcherManagerObject : public BusObject {
 public:
  WatcherManagerObject(QDBusConnection connection, QString path, QString owner,
                       std::unique_ptr<WatcherManager> manager);
  ~WatcherManagerObject() override;

  WatcherManager& Manager() noexcept { return *m_Manager; }

 private:
  void AddProperties();
  void AddMethods();

  std::unique_ptr<WatcherManager> m_Manager;
};

}  // namespace corvana::bus
