#include "PrivateBus.h"

#include <stdlib.h>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <filesystem>

#include "suite/gdlib/gdlib8.h"
#include "tests/support/TwoGenePopulation.h"
#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"

namespace {
int g_BusCount = 0;
}  // namespace

void PrivateBusTest::SetUpTestSuite() {
  corvana::test::StartCoreApplication("test_watcher_server");
  corvana::bus::RegisterBusTypes();
}

void PrivateBusTest::SetUp() {
  folders = std::make_unique<TempDir>();
  runtimeDir = *folders / "run";
  std::filesystem::create_directory(runtimeDir);
  std::filesystem::create_directory(*folders / "log");
  ASSERT_TRUE(corvana::test::CreateTwoGenePopulation(1, 3, &popHandle));
  environment = QProcessEnvironment::systemEnvironment();
  environment.insert("ORRENDEL_RUNTIME_DIR", QString::fromStdString(runtimeDir));
  environment.insert("ORRENDEL_LOG_DIR", QString::fromStdString(*folders / "log"));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.remove("DBUS_SESSION_BUS_ADDRESS");
  environment.remove("CORVANA_AUTOMATION");
  if (WithAutomation()) environment.insert("CORVANA_AUTOMATION", "1");
  ::setenv("ORRENDEL_RUNTIME_DIR", runtimeDir.c_str(), 1);
  // The Watcher inherits the bus's streams: its diagnostics (sanitizer reports too) show here.
  const QString error = bus.Start(CORVANA_BUS_CONFIG, environment, QString::fromStdString(*folders / "bus"));
  ASSERT_TRUE(error.isEmpty()) << error.toStdString();
  busAddress = bus.Address();
  client = Connect("client");
  ASSERT_TRUE(client.isConnected()) << client.lastError().message().toStdString();
}

void PrivateBusTest::TearDown() {
  bus.Kill();
  if (popHandle) GdPopFree(popHandle);
  folders.reset();
}

QDBusConnection PrivateBusTest::Connect(const QString& name) {
  return QDBusConnection::connectToBus(busAddress, name + QString::number(++g_BusCount));
}

QDBusMessage PrivateBusTest::Call(QDBusConnection& connection, const QString& path,
                                  const QString& interfaceName, const QString& method,
                                  const QList<QVariant>& arguments, int timeoutMs) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(corvana::wire::kServiceName, path, interfaceName, method);
  call.setArguments(arguments);
  return connection.call(call, QDBus::Block, timeoutMs);
}

QString PrivateBusTest::Create(QDBusConnection& connection, const char* what) {
  const QDBusMessage reply = Call(connection, corvana::wire::kFactoryPath, corvana::wire::kFactoryInterface,
                                  QString("Create") + what);
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  if (reply.arguments().isEmpty()) return {};
  return reply.arguments().at(0).value<QDBusObjectPath>().path();
}

QDBusMessage PrivateBusTest::SetProperty(QDBusConnection& connection, const QString& path,
                                         const QString& name, const QVariant& value) {
  const QString iface = path.contains("LogObject") ? corvana::wire::kLogObjectInterface
                                                   : corvana::wire::kWatcherManagerInterface;
  return Call(connection, path, "org.freedesktop.DBus.Properties", "Set",
              {iface, name, QVariant::fromValue(QDBusVariant(value))});
}

QVariant PrivateBusTest::GetProperty(QDBusConnection& connection, const QString& path, const QString& name) {
  const QString iface = path.contains("LogObject") ? corvana::wire::kLogObjectInterface
                                                   : corvana::wire::kWatcherManagerInterface;
  const QDBusMessage reply = Call(connection, path, "org.freedesktop.DBus.Properties", "Get", {iface, name});
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
      << name.toStdString() << ": " << reply.errorMessage().toStdString();
  if (reply.arguments().isEmpty()) return {};
  return reply.arguments().at(0).value<QDBusVariant>().variant();
}

QDBusMessage PrivateBusTest::Automation(QDBusConnection& peer, const char* method,
                                        const QList<QVariant>& args) {
  return Call(peer, corvana::wire::kAutomationPath, corvana::wire::kAutomationInterface, method, args);
}

QString PrivateBusTest::StartRun(QDBusConnection& peer, bool withForms) {
  const QString path = Create(peer, "WatcherManager");
  SetProperty(peer, path, "Input_PopHandle", popHandle);
  SetProperty(peer, path, "Input_LogPath", QString::fromStdString(runtimeDir + "/none.log"));
  const QString iface = corvana::wire::kWatcherManagerInterface;
  if (Call(peer, path, iface, "Initialize").type() != QDBusMessage::ReplyMessage) return {};
  if (withForms && Call(peer, path, iface, "InitializeForms").type() != QDBusMessage::ReplyMessage) return {};
  return path;
}

qint64 PrivateBusTest::WatcherPid(QDBusConnection& connection) {
  const auto reply = connection.interface()->servicePid(corvana::wire::kServiceName);
  return reply.isValid() ? static_cast<qint64>(reply.value()) : -1;
}

qint64 PrivateBusTest::WaitForExit(qint64 pid, int ms) {
  QElapsedTimer timer;
  timer.start();
  // Meanwhile the test's own objects keep serving, as a live host's do.
  if (!corvana::test::WaitServingEvents([pid] { return corvana::test::ProcessEnded(pid); },
                                        std::chrono::milliseconds(ms)))
    return -1;
  return timer.elapsed();
}
