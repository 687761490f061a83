#include "tests/e2e/E2eSession.h"

#include <signal.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/support/WaitUntil.h"
#include "wire/BusNames.h"

namespace corvana::e2e {

namespace {
int g_Connections = 0;
}

E2eSession::E2eSession() {
  QDir(m_Dir.path()).mkpath("run");
  QDir(m_Dir.path()).mkpath("log");
  // The daemon's output, and so the activated Watcher's, goes to a file.
  m_Error = m_Bus.Start(CORVANA_BUS_CONFIG, Environment(), File("bus"), File("bus-output.txt"));
}

E2eSession::~E2eSession() {
  if (const qint64 pid = WatcherPid(); pid > 0) {
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    WaitForExit(pid, 5000);
  }
  m_Bus.Kill();
}

QProcessEnvironment E2eSession::Environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("ORRENDEL_RUNTIME_DIR", RuntimeDir());
  env.insert("ORRENDEL_LOG_DIR", LogDir());
  env.insert("ORRENDEL_SYSTEM_DIR", CORVANA_SYSTEM_DIR);
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("CORVANA_AUTOMATION", "1");
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  if (m_Bus.Running()) env.insert("DBUS_SESSION_BUS_ADDRESS", m_Bus.Address());
  return env;
}

QString E2eSession::WriteFile(const QString& name, const QString& text) const {
  QFile file(File(name));
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8());
  return file.fileName();
}

std::unique_ptr<QProcess> E2eSession::StartAddin(const QStringList& args) const {
  auto addin = std::make_unique<QProcess>();
  addin->setProcessEnvironment(Environment());
  addin->start(CORVANA_BIN_DIR "/corvana-addin", args);
  addin->waitForStarted(10000);
  return addin;
}

QJsonObject E2eSession::Finish(QProcess& addin, int timeoutMs) {
  addin.waitForFinished(timeoutMs);
  const QJsonObject result = QJsonDocument::fromJson(addin.readAllStandardOutput()).object();
  // What the add-in said goes into the test's output, to explain a failure.
  const QByteArray said = addin.readAllStandardError();
  if (!said.isEmpty()) std::fprintf(stderr, "[corvana-addin] %s\n", said.constData());
  return result;
}

qint64 E2eSession::WatcherPid() const {
  if (!m_Bus.Running()) return 0;
  const QString name = QStringLiteral("e2e-%1").arg(++g_Connections);
  qint64 pid = 0;
  {
    QDBusConnection bus = QDBusConnection::connectToBus(m_Bus.Address(), name);
    if (bus.isConnected()) {
      const QDBusReply<uint> reply = bus.interface()->servicePid(QString::fromLatin1(wire::kServiceName));
      if (reply.isValid()) pid = reply.value();
    }
  }
  QDBusConnection::disconnectFromBus(name);
  return pid;
}

bool E2eSession::WaitForExit(qint64 pid, int timeoutMs) {
  return test::WaitUntil([pid] { return test::ProcessEnded(pid); }, std::chrono::milliseconds(timeoutMs));
}

void E2eSession::CheckPicture(const QString& name) const {
  const QString path = File(name);
  const QImage image(path);
  EXPECT_FALSE(image.isNull()) << path.toStdString();
  EXPECT_GT(image.width(), 300);
  const QString keep = QProcessEnvironment::systemEnvironment().value("CORVANA_KEEP_SCREENSHOTS");
  if (!keep.isEmpty()) {
    QFile::remove(keep + "/" + name);
    QFile::copy(path, keep + "/" + name);
  }
}

}  // namespace corvana::e2e
