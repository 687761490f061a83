#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "watcher/controller/WatcherManager.h"

class QDBusServiceWatcher;
class QTimer;

namespace corvana::bus {

class BusObject;

// The Watcher's service on the bus: the factory object, the objects it creates (each callable
// only by the peer that created it, dropped when that peer leaves the bus), and the bus name.
class ObjectServer : public QObject {
 public:
  ObjectServer(QDBusConnection connection, WatcherManagerMaker makeManager);
  ~ObjectServer() override;

  // Registers the factory, then takes the bus name. False, with the reason, when it cannot.
  bool Start(QString& error);
  // Calls onLost once when the bus connection is gone (polled every second).
  void WatchConnection(std::function<void()> onLost);
  // Registers an object that every peer may call (the automation interface).
  bool AddSharedObject(BusObject* object);

  QDBusConnection& Connection() noexcept { return m_Connection; }
  int ObjectCount() const noexcept { return static_cast<int>(m_Objects.size()); }

 private:
  QString CreateWatcherManager(const QString& owner);
  QString CreateLogObject(const QString& owner);
  bool Register(BusObject* object);
  void Remove(BusObject& object);
  void RemoveObjectsOf(const QString& owner);

  QDBusConnection m_Connection;
  WatcherManagerMaker m_MakeManager;
  BusObject* m_Factory = nullptr;
  std::map<QString, QPointer<BusObject>> m_Objects;  // by path
  QDBusServiceWatcher* m_PeerWatcher = nullptr;
  QTimer* m_ConnectionTimer = nullptr;
  int m_NextManager = 1;
  int m_NextLog = 1;
};

}  // namespace corvana::bus
