#include "PrivateBus.h"

#include <signal.h>
#include <stdlib.h>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <filesystem>

#include "watcher/server/BusNames.h"
#include "watcher/server/BusValues.h"

namespace {
std::string MakeTempDir(const char* name) {
  std::string pattern = (std::filesystem::temp_directory_path() / name).string() + ".XXXXXX";
  return ::mkdtemp(pattern.data());
}
int g_BusCount = 0;
}  // namespace

void PrivateBusTest::SetUpTestSuite() {
  static int argc = 1;
  static char name[] = "test_watcher_server";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  corvana::bus::RegisterBusTypes();
}

void PrivateBusTest::SetUp() {
  runtimeDir = MakeTempDir("server-run");
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("ORRENDEL_RUNTIME_DIR", QString::fromStdString(runtimeDir));
  environment.insert("ORRENDEL_LOG_DIR", QString::fromStdString(MakeTempDir("server-log")));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.remove("DBUS_SESSION_BUS_ADDRESS");
  environment.remove("CORVANA_AUTOMATION");
  if (WithAutomation()) environment.insert("CORVANA_AUTOMATION", "1");
  ::setenv("ORRENDEL_RUNTIME_DIR", runtimeDir.c_str(), 1);
  bus.setProcessEnvironment(environment);
  // The Watcher inherits the bus's streams: its diagnostics (sanitizer reports too) show here.
  bus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  bus.start("dbus-daemon", {"--config-file=" CORVANA_BUS_CONFIG, "--nofork", "--print-address=1"});
  ASSERT_TRUE(bus.waitForStarted(5000)) << "dbus-daemon did not start";
  ASSERT_TRUE(bus.waitForReadyRead(5000)) << "dbus-daemon gave no address";
  busAddress = QString::fromUtf8(bus.readLine()).trimmed();
  client = Connect("client");
  ASSERT_TRUE(client.isConnected()) << client.lastError().message().toStdString();
}

void PrivateBusTest::TearDown() {
  bus.kill();
  bus.waitForFinished(5000);
}

QDBusConnection PrivateBusTest::Connect(const QString& name) {
  return QDBusConnection::connectToBus(busAddress, name + QString::number(++g_BusCount));
}

QDBusMessage PrivateBusTest::Call(QDBusConnection& connection, const QString& path,
                                  const QString& interfaceName, const QString& method,
                                  const QList<QVariant>& arguments, int timeoutMs) {
  QDBusMessage call = QDBusMessage::createMethodCall(corvana::bus::kServiceName, path, interfaceName, method);
  call.setArguments(arguments);
  return connection.call(call, QDBus::Block, timeoutMs);
}

QString PrivateBusTest::Create(QDBusConnection& connection, const char* what) {
  const QDBusMessage reply =
      Call(connection, corvana::bus::kFactoryPath, corvana::bus::kFactoryInterface, QString("Create") + what);
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  if (reply.arguments().isEmpty()) return {};
  return reply.arguments().at(0).value<QDBusObjectPath>().path();
}

QDBusMessage PrivateBusTest::SetProperty(QDBusConnection& connection, const QString& path,
                                         const QString& name, const QVariant& value) {
  const QString iface =
      path.contains("LogObject") ? corvana::bus::kLogObjectInterface : corvana::bus::kWatcherManagerInterface;
  return Call(connection, path, "org.freedesktop.DBus.Properties", "Set",
              {iface, name, QVariant::fromValue(QDBusVariant(value))});
}

QVariant PrivateBusTest::GetProperty(QDBusConnection& connection, const QString& path, const QString& name) {
  const QString iface =
      path.contains("LogObject") ? corvana::bus::kLogObjectInterface : corvana::bus::kWatcherManagerInterface;
  const QDBusMessage reply = Call(connection, path, "org.freedesktop.DBus.Properties", "Get", {iface, name});
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
      << name.toStdString() << ": " << reply.errorMessage().toStdString();
  if (reply.arguments().isEmpty()) return {};
  return reply.arguments().at(0).value<QDBusVariant>().variant();
}

qint64 PrivateBusTest::WatcherPid(QDBusConnection& connection) {
  const auto reply = connection.interface()->servicePid(corvana::bus::kServiceName);
  return reply.isValid() ? static_cast<qint64>(reply.value()) : -1;
}

qint64 PrivateBusTest::WaitForExit(qint64 pid, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0) return timer.elapsed();
    // A zombie has ended too; its parent may be slow to reap it.
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly) && stat.readAll().split(' ').value(2) == "Z") return timer.elapsed();
    // Meanwhile the test's own objects keep serving, as a live host's do.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return -1;
}
