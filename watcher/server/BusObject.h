#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace corvana::bus {

// One object on the bus, described by tables of properties and methods from which it answers
// calls, the standard Properties interface and introspection. Only its owner (the peer that
// created it) may call it; introspection is open to everyone. Every failure becomes an error
// reply; nothing a caller sends can take the object down.
class BusObject : public QDBusVirtualObject {
 public:
  struct Argument {
    QString Name;
    QString Signature;
  };
  struct Property {
    QString Name;
    QString Signature;
    std::function<QVariant()> Get;
    std::function<void(const QVariant&)> Set;  // empty: read-only
  };
  // A method returns its out-values, or nothing when it replies later itself.
  using Handler = std::function<std::optional<QList<QVariant>>(const QDBusMessage&, const QList<QVariant>&)>;
  struct Method {
    QString Name;
    std::vector<Argument> In;
    std::vector<Argument> Out;
    Handler Run;
  };

  // An empty owner lets every peer call the object.
  BusObject(QDBusConnection connection, QString path, QString interfaceName, QString owner);

  const QString& Path() const noexcept { return m_Path; }
  const QString& Owner() const noexcept { return m_Owner; }
  QDBusConnection& Connection() noexcept { return m_Connection; }

  // Called (after the reply has gone) when the owner releases the object; the server deletes it.
  std::function<void(BusObject&)> OnRelease;
  // While a call of the object waits in a modal loop the object is not deleted; the server deletes
  // it once the call has returned.
  bool Busy() const noexcept { return m_BusyDepth > 0; }
  // The owner has left the bus or released the object: nothing it started may keep waiting for it.
  virtual void OwnerGone() {}

  void AddProperty(Property property) { m_Properties.push_back(std::move(property)); }
  void AddMethod(Method method) { m_Methods.push_back(std::move(method)); }

  // Whether the peer may call the object (introspection is open to every peer).
  virtual bool MayCall(const QString& peer) const { return m_Owner.isEmpty() || peer == m_Owner; }

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 protected:
  // Sends a reply to a call whose method replied later.
  void SendLater(const QDBusMessage& reply) { m_Connection.send(reply); }
  // Release(): the owner is done with the object.
  void AddReleaseMethod();
  int m_BusyDepth = 0;

 private:
  QDBusMessage Dispatch(const QDBusMessage& message);
  QDBusMessage PropertiesCall(const QDBusMessage& message);
  const Property* FindProperty(const QString& name) const;

  QDBusConnection m_Connection;
  QString m_Path;
  QString m_Interface;
  QString m_Owner;
  std::vector<Property> m_Properties;
  std::vector<Method> m_Methods;
};

}  // namespace corvana::bus
