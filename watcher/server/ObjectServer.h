#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "watcher/controller/WatcherManager.h"

class QDBusServiceWatcher;
class QTimer;

namespace corvana::ui {
class Platform;
}

namespace corvana::bus {

class BusObject;

// The Watcher's service on the bus: the factory object, the objects it creates (each callable
// only by the peer that created it, at most kMaxObjectsPerPeer of them, dropped when that peer
// leaves the bus), the automation interface and the bus name.
class ObjectServer : public QObject {
 public:
  // Objects one peer may hold at a time: a run needs one WatcherManager and a few log objects.
  static constexpr int kMaxObjectsPerPeer = 64;

  ObjectServer(QDBusConnection connection, ui::Platform& platform, WatcherManagerMaker makeManager);
  ~ObjectServer() override;

  // Registers the factory, then takes the bus name. False, with the reason, when it cannot.
  bool Start(QString& error);
  // Calls onLost once when the bus connection is gone (polled every second).
  void WatchConnection(std::function<void()> onLost);
  // Serves the automation interface, to the peer that created the active WatcherManager only.
  bool ServeAutomation();

  QDBusConnection& Connection() noexcept { return m_Connection; }
  int ObjectCount() const noexcept { return static_cast<int>(m_Objects.size()); }

 private:
  QString CreateWatcherManager(const QString& owner);
  QString CreateLogObject(const QString& owner);
  void CheckObjectCap(const QString& owner, const char* procedure) const;
  bool Register(BusObject* object);
  void Remove(BusObject& object);
  void RemoveObjectsOf(const QString& owner);
  // Deletes removed objects once no modal loop or message box is running: code of theirs may
  // be waiting below such a loop.
  void DeleteRemoved();

  QDBusConnection m_Connection;
  ui::Platform& m_Platform;
  WatcherManagerMaker m_MakeManager;
  BusObject* m_Factory = nullptr;
  std::map<QString, QPointer<BusObject>> m_Objects;  // by path
  std::vector<QPointer<BusObject>> m_Removed;
  QTimer* m_RemovedTimer = nullptr;
  QDBusServiceWatcher* m_PeerWatcher = nullptr;
  QTimer* m_ConnectionTimer = nullptr;
  QString m_Steerer;  // the creator of the WatcherManager last initialized
  QString m_SteererPath;
  int m_NextManager = 1;
  int m_NextLog = 1;
};

}  // namespace corvana::bus
