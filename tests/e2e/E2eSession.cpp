#include "tests/e2e/E2eSession.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QThread>
#include <cstdio>

namespace corvana::e2e {

namespace {
int g_Connections = 0;
}

E2eSession::E2eSession() {
  QDir(m_Dir.path()).mkpath("run");
  QDir(m_Dir.path()).mkpath("log");
  if (!QFile::exists(CORVANA_BUS_CONFIG)) {
    m_Error = "no bus configuration at " CORVANA_BUS_CONFIG;
    return;
  }
  m_BusProcess = std::make_unique<QProcess>();
  // Activated Watchers inherit the bus daemon's environment (that is how they find this suite) and
  // its output, which goes to a file: a pipe nobody reads would stall them once full.
  m_BusProcess->setProcessEnvironment(Environment());
  m_BusProcess->setStandardOutputFile(File("bus-output.txt"));
  m_BusProcess->setProcessChannelMode(QProcess::MergedChannels);
  const QString socket = File("bus");
  m_BusProcess->start("dbus-daemon",
                      {"--config-file=" CORVANA_BUS_CONFIG, "--nofork", "--address=unix:path=" + socket});
  m_BusProcess->waitForStarted(10000);
  QElapsedTimer timer;
  timer.start();
  while (!QFile::exists(socket) && m_BusProcess->state() != QProcess::NotRunning && timer.elapsed() < 10000)
    QThread::msleep(10);
  if (!QFile::exists(socket)) {
    m_Error = "dbus-daemon did not start: " + m_BusProcess->errorString();
    return;
  }
  m_Address = "unix:path=" + socket;
}

E2eSession::~E2eSession() {
  if (const qint64 pid = WatcherPid(); pid > 0) {
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    WaitForExit(pid, 5000);
  }
  if (m_BusProcess) {
    m_BusProcess->terminate();
    m_BusProcess->waitForFinished(5000);
  }
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
  if (!m_Address.isEmpty()) env.insert("DBUS_SESSION_BUS_ADDRESS", m_Address);
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
  if (m_Address.isEmpty()) return 0;
  const QString name = QStringLiteral("e2e-%1").arg(++g_Connections);
  qint64 pid = 0;
  {
    QDBusConnection bus = QDBusConnection::connectToBus(m_Address, name);
    if (bus.isConnected()) {
      const QDBusReply<uint> reply =
          bus.interface()->servicePid(QStringLiteral("com.orrendel.CorvanaWatcher8"));
      if (reply.isValid()) pid = reply.value();
    }
  }
  QDBusConnection::disconnectFromBus(name);
  return pid;
}

namespace {
// An ended process may linger as a zombie until its parent (the bus daemon) reaps it.
bool HasEnded(qint64 pid) {
  if (::kill(static_cast<pid_t>(pid), 0) != 0) return true;
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return true;
  const QByteArray text = stat.readAll();
  const qsizetype close = text.lastIndexOf(')');
  return close >= 0 && text.size() > close + 2 && text[close + 2] == 'Z';
}
}  // namespace

bool E2eSession::WaitForExit(qint64 pid, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < timeoutMs) {
    if (HasEnded(pid)) return true;
    QThread::msleep(20);
  }
  return HasEnded(pid);
}

}  // namespace corvana::e2e
