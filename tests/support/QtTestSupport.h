#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <chrono>
#include <string>

namespace corvana::test {

// The process's application object, made on first use: a QCoreApplication for the bus library,
// a QGuiApplication or QApplication for what draws.
template <class App = QCoreApplication>
void StartApplication(const char* name) {
  static int argc = 1;
  static std::string program;
  static char* argv[] = {nullptr, nullptr};
  if (QCoreApplication::instance()) return;
  program = name;
  argv[0] = program.data();
  new App(argc, argv);
}
inline void StartCoreApplication(const char* name) {
  StartApplication(name);
}

// Like WaitUntil, but serves this process's events meanwhile (its bus objects, its timers).
template <class Condition>
bool WaitServingEvents(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(20));

// Whether the process has ended (a zombie whose parent has not reaped it yet has, too).
bool ProcessEnded(qint64 pid);

// A session bus of the test's own, started from the project's configuration so that the first
// call to the Watcher's name starts the Watcher as built, with `environment`.
class PrivateBus {
 public:
  PrivateBus() = default;
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  // Listens on the socket `socketPath`. The daemon's output (and so the activated Watcher's) goes
  // to `outputFile`, or to this process's own streams when it is empty. Empty on success, else why
  // it failed.
  QString Start(const QString& configFile, const QProcessEnvironment& environment, const QString& socketPath,
                const QString& outputFile = {});
  const QString& Address() const { return m_Address; }
  bool Running() const { return m_Daemon.state() == QProcess::Running && !m_Address.isEmpty(); }
  // Ends the daemon at once, as a crash would.
  void Kill();

 private:
  QProcess m_Daemon;
  QString m_Address;
};

// Holds the survival mutex `name` in `runtimeDir` from another process, as a live add-in does,
// until killed or destroyed.
class AddinSurvivalMutex {
 public:
  // False when the holder did not take the mutex within the deadline.
  bool Take(const std::string& runtimeDir, const std::string& name);
  void Kill();
  qint64 Pid() const { return m_Holder.processId(); }
  ~AddinSurvivalMutex() { Kill(); }

 private:
  QProcess m_Holder;
};

template <class Condition>
bool WaitServingEvents(Condition condition, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return condition();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

}  // namespace corvana::test
