#include "tests/support/QtTestSupport.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <cstring>

#include "suite/objectlib/SurvivalMutex.h"
#include "tests/support/WaitUntil.h"

namespace corvana::test {

namespace {

// The socket file appears at bind(), a moment before the daemon listens: only a connection
// that is accepted proves the bus is ready.
bool Accepts(const QString& socketPath) {
  const QByteArray path = QFile::encodeName(socketPath);
  sockaddr_un address{};
  if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
  const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  const bool accepted = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(probe);
  return accepted;
}

}  // namespace

bool ProcessEnded(qint64 pid) {
  if (::kill(static_cast<pid_t>(pid), 0) != 0) return true;
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return true;
  // The state follows the command name, which may itself hold blanks and parentheses.
  const QByteArray text = stat.readAll();
  const qsizetype close = text.lastIndexOf(')');
  return close >= 0 && text.size() > close + 2 && text[close + 2] == 'Z';
}

PrivateBus::~PrivateBus() {
  Kill();
}

void PrivateBus::Kill() {
  if (m_Daemon.state() == QProcess::NotRunning) return;
  m_Daemon.kill();
  m_Daemon.waitForFinished(5000);
}

QString PrivateBus::Start(const QString& configFile, const QProcessEnvironment& environment,
                          const QString& socketPath, const QString& outputFile) {
  if (!QFile::exists(configFile)) return "no bus configuration at " + configFile;
  // Activated Watchers inherit the daemon's environment (that is how they find the test's suite
  // folders) and its output: a pipe nobody reads would stall them once full.
  m_Daemon.setProcessEnvironment(environment);
  if (outputFile.isEmpty()) {
    m_Daemon.setProcessChannelMode(QProcess::ForwardedChannels);
  } else {
    m_Daemon.setStandardOutputFile(outputFile);
    m_Daemon.setProcessChannelMode(QProcess::MergedChannels);
  }
  m_Daemon.start("dbus-daemon",
                 {"--config-file=" + configFile, "--nofork", "--address=unix:path=" + socketPath});
  if (!m_Daemon.waitForStarted(10000)) return "dbus-daemon did not start: " + m_Daemon.errorString();
  if (!WaitUntil([&] { return Accepts(socketPath) || m_Daemon.state() == QProcess::NotRunning; },
                 std::chrono::seconds(10)) ||
      !Accepts(socketPath))
    return "dbus-daemon did not listen on " + socketPath;
  m_Address = "unix:path=" + socketPath;
  return {};
}

bool AddinSurvivalMutex::Take(const std::string& runtimeDir, const std::string& name) {
  const QString lock = QString::fromStdString(SurvivalMutex::LockFilePath(runtimeDir, name));
  // --no-fork: the lock belongs to the one process a test kills.
  m_Holder.start("flock", {"--shared", "--no-fork", lock, "sleep", "600"});
  if (!m_Holder.waitForStarted(5000)) return false;
  return WaitUntil([&] { return SurvivalMutex::ExistsIn(runtimeDir, name); }, std::chrono::seconds(10));
}

void AddinSurvivalMutex::Kill() {
  if (m_Holder.state() == QProcess::NotRunning) return;
  m_Holder.kill();
  m_Holder.waitForFinished(5000);
}

}  // namespace corvana::test
