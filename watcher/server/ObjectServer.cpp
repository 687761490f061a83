#include "watcher/server/ObjectServer.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QTimer>

#include "watcher/server/BusObject.h"
#include "watcher/server/BusValues.h"
#include "watcher/server/LogObjectBusObject.h"
#include "watcher/server/WatcherManagerObject.h"
#include "wire/BusNames.h"

namespace corvana::bus {

ObjectServer::ObjectServer(QDBusConnection connection, WatcherManagerMaker makeManager)
    : m_Connection(std::move(connection)), m_MakeManager(std::move(makeManager)) {
  RegisterBusTypes();
  m_PeerWatcher = new QDBusServiceWatcher(this);
  m_PeerWatcher->setConnection(m_Connection);
  m_PeerWatcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
  connect(m_PeerWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
          [this](const QString& peer) { RemoveObjectsOf(peer); });

  m_Factory = new BusObject(m_Connection, wire::kFactoryPath, wire::kFactoryInterface, QString());
  m_Factory->setParent(this);
  BusObject* factory = m_Factory;
  factory->AddMethod({"CreateWatcherManager",
                      {},
                      {{"object", "o"}},
                      [this](const QDBusMessage& call, const QList<QVariant>&) {
                        return std::optional<QList<QVariant>>(QList<QVariant>{
                            QVariant::fromValue(QDBusObjectPath(CreateWatcherManager(call.service())))});
                      }});
  factory->AddMethod(
      {"CreateLogObject", {}, {{"object", "o"}}, [this](const QDBusMessage& call, const QList<QVariant>&) {
         return std::optional<QList<QVariant>>(
             QList<QVariant>{QVariant::fromValue(QDBusObjectPath(CreateLogObject(call.service())))});
       }});
}

ObjectServer::~ObjectServer() {
  for (auto& [path, object] : m_Objects) {
    m_Connection.unregisterObject(path);
    delete object.data();
  }
  m_Connection.unregisterObject(wire::kFactoryPath);
  m_Connection.unregisterService(wire::kServiceName);
}

bool ObjectServer::Start(QString& error) {
  if (!m_Connection.isConnected()) {
    error = "No connection to the session bus: " + m_Connection.lastError().message();
    return false;
  }
  if (!m_Connection.registerVirtualObject(wire::kFactoryPath, m_Factory, QDBusConnection::SingleNode)) {
    error = QString("Cannot register ") + wire::kFactoryPath + ": " + m_Connection.lastError().message();
    return false;
  }
  const auto reply = m_Connection.interface()->registerService(
      wire::kServiceName, QDBusConnectionInterface::DontQueueService,
      QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
    error = QString("Cannot own the bus name ") + wire::kServiceName + ": " +
            (reply.isValid() ? QString("another process owns it") : reply.error().message());
    return false;
  }
  return true;
}

void ObjectServer::WatchConnection(std::function<void()> onLost) {
  delete m_ConnectionTimer;
  m_ConnectionTimer = new QTimer(this);
  connect(m_ConnectionTimer, &QTimer::timeout, this, [this, onLost = std::move(onLost)] {
    if (m_Connection.isConnected()) return;
    m_ConnectionTimer->stop();
    onLost();
  });
  m_ConnectionTimer->start(1000);
}

bool ObjectServer::Register(BusObject* object) {
  if (!m_Connection.registerVirtualObject(object->Path(), object, QDBusConnection::SingleNode)) {
    delete object;
    return false;
  }
  object->setParent(this);
  object->OnRelease = [this](BusObject& released) { Remove(released); };
  m_Objects[object->Path()] = object;
  if (!object->Owner().isEmpty()) m_PeerWatcher->addWatchedService(object->Owner());
  return true;
}

bool ObjectServer::AddSharedObject(BusObject* object) {
  return Register(object);
}

QString ObjectServer::CreateWatcherManager(const QString& owner) {
  const QString path = wire::kWatcherManagerPathPrefix + QString::number(m_NextManager++);
  if (!Register(new WatcherManagerObject(m_Connection, path, owner, m_MakeManager())))
    RaiseError(kErrApplication, "CreateWatcherManager", "Cannot register " + FromQ(path) + " on the bus.");
  return path;
}

QString ObjectServer::CreateLogObject(const QString& owner) {
  const QString path = wire::kLogObjectPathPrefix + QString::number(m_NextLog++);
  if (!Register(new LogObjectBusObject(m_Connection, path, owner)))
    RaiseError(kErrApplication, "CreateLogObject", "Cannot register " + FromQ(path) + " on the bus.");
  return path;
}

void ObjectServer::Remove(BusObject& object) {
  const QString path = object.Path();
  m_Connection.unregisterObject(path);
  m_Objects.erase(path);
  if (object.Busy())
    object.DeletePending = true;
  else
    object.deleteLater();
}

void ObjectServer::RemoveObjectsOf(const QString& owner) {
  std::vector<BusObject*> gone;
  for (auto& [path, object] : m_Objects)
    if (object && object->Owner() == owner) gone.push_back(object.data());
  for (BusObject* object : gone) Remove(*object);
  m_PeerWatcher->removeWatchedService(owner);
}

}  // namespace corvana::bus
