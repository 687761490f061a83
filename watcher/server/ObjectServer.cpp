#include "watcher/server/ObjectServer.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "common/ErrorTrap.h"
#include "watcher/server/AutomationObject.h"
#include "watcher/server/BusObject.h"
#include "watcher/server/BusValues.h"
#include "watcher/server/LogObjectBusObject.h"
#include "watcher/server/WatcherManagerObject.h"
#include "wire/BusNames.h"

namespace corvana::bus {

ObjectServer::ObjectServer(QDBusConnection connection, ui::Platform& platform,
                           WatcherManagerMaker makeManager)
    : m_Connection(std::move(connection)), m_Platform(platform), m_MakeManager(std::move(makeManager)) {
  RegisterBusTypes();
  m_RemovedTimer = new QTimer(this);
  m_RemovedTimer->setInterval(50);
  connect(m_RemovedTimer, &QTimer::timeout, this, [this] { DeleteRemoved(); });
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
  for (auto& object : m_Removed) delete object.data();
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

bool ObjectServer::ServeAutomation() {
  return Register(new AutomationObject(m_Connection, m_Platform, [this] { return m_Steerer; }));
}

void ObjectServer::CheckObjectCap(const QString& owner, const char* procedure) const {
  const auto held = std::count_if(m_Objects.begin(), m_Objects.end(), [&](const auto& entry) {
    return entry.second && entry.second->Owner() == owner;
  });
  if (held >= kMaxObjectsPerPeer)
    RaiseError(kErrApplication, procedure,
               std::string(procedure) + ": a peer may hold at most " + std::to_string(kMaxObjectsPerPeer) +
                   " objects at a time; release some first.");
}

QString ObjectServer::CreateWatcherManager(const QString& owner) {
  CheckObjectCap(owner, "CreateWatcherManager");
  const QString path = wire::kWatcherManagerPathPrefix + QString::number(m_NextManager++);
  auto* object = new WatcherManagerObject(m_Connection, path, owner, m_Platform, m_MakeManager());
  object->OnInitialized = [this, owner, path] {
    m_Steerer = owner;
    m_SteererPath = path;
  };
  if (!Register(object))
    RaiseError(kErrApplication, "CreateWatcherManager", "Cannot register " + FromQ(path) + " on the bus.");
  return path;
}

QString ObjectServer::CreateLogObject(const QString& owner) {
  CheckObjectCap(owner, "CreateLogObject");
  const QString path = wire::kLogObjectPathPrefix + QString::number(m_NextLog++);
  if (!Register(new LogObjectBusObject(m_Connection, path, owner)))
    RaiseError(kErrApplication, "CreateLogObject", "Cannot register " + FromQ(path) + " on the bus.");
  return path;
}

void ObjectServer::Remove(BusObject& object) {
  const QString path = object.Path();
  m_Connection.unregisterObject(path);
  m_Objects.erase(path);
  if (path == m_SteererPath) {
    m_Steerer.clear();
    m_SteererPath.clear();
  }
  ResumeNext([&] { object.OwnerGone(); });
  m_Removed.emplace_back(&object);
  DeleteRemoved();
}

void ObjectServer::DeleteRemoved() {
  // Level 1 is the application's own loop; anything deeper is a modal loop or box on the stack.
  const bool nested = QThread::currentThread()->loopLevel() > 1;
  std::vector<BusObject*> ready;
  for (auto it = m_Removed.begin(); it != m_Removed.end();) {
    if (!*it) {
      it = m_Removed.erase(it);
    } else if (!nested && !(*it)->Busy()) {
      ready.push_back(it->data());
      it = m_Removed.erase(it);
    } else {
      ++it;
    }
  }
  if (m_Removed.empty())
    m_RemovedTimer->stop();
  else if (!m_RemovedTimer->isActive())
    m_RemovedTimer->start();
  // Later, not here: Remove may run inside a call of the object itself.
  for (BusObject* object : ready) object->deleteLater();
}

void ObjectServer::RemoveObjectsOf(const QString& owner) {
  std::vector<BusObject*> gone;
  for (auto& [path, object] : m_Objects)
    if (object && object->Owner() == owner) gone.push_back(object.data());
  for (BusObject* object : gone) Remove(*object);
  m_PeerWatcher->removeWatchedService(owner);
}

}  // namespace corvana::bus
