#pragma once

#include <functional>
#include <memory>

#include "watcher/controller/WatcherManager.h"
#include "watcher/server/BusObject.h"

namespace corvana::ui {
class Platform;
}

namespace corvana::bus {

// A WatcherManager on the bus: every property and public operation under its own name.
class WatcherManagerObject : public BusObject {
 public:
  WatcherManagerObject(QDBusConnection connection, QString path, QString owner, ui::Platform& platform,
                       std::unique_ptr<WatcherManager> manager);
  ~WatcherManagerObject() override;

  WatcherManager& Manager() noexcept { return *m_Manager; }
  // Called when Initialize has succeeded: this object now holds the optimization under way.
  std::function<void()> OnInitialized;

  // Ends the questions and the modal window waiting for the owner, and disposes the manager.
  void OwnerGone() override;

 private:
  void AddProperties();
  void AddMethods();

  ui::Platform& m_Platform;
  std::unique_ptr<WatcherManager> m_Manager;
};

}  // namespace corvana::bus
