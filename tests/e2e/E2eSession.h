#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "tests/support/QtTestSupport.h"

namespace corvana::e2e {

// One end-to-end session: a private session bus that activates the Watcher as built, with a
// suite runtime and logging folder of its own, and the add-in processes run on it.
class E2eSession {
 public:
  E2eSession();
  ~E2eSession();

  bool Ready() const { return m_Bus.Running(); }
  const QString& Error() const { return m_Error; }
  const QString& BusAddress() const { return m_Bus.Address(); }
  QString RuntimeDir() const { return m_Dir.filePath("run"); }
  QString LogDir() const { return m_Dir.filePath("log"); }
  QString File(const QString& name) const { return m_Dir.filePath(name); }
  QString WriteFile(const QString& name, const QString& text) const;

  // Starts corvana-addin with these arguments on the private bus.
  std::unique_ptr<QProcess> StartAddin(const QStringList& args) const;
  // Waits for the add-in to end; its JSON result (empty when stdout held none).
  static QJsonObject Finish(QProcess& addin, int timeoutMs = 120000);

  // Checks that the Watcher wrote picture `name` in the session folder, and keeps a copy in
  // CORVANA_KEEP_SCREENSHOTS when that names a folder.
  void CheckPicture(const QString& name) const;

  // The process id of the Watcher on this bus; 0 when none is running.
  qint64 WatcherPid() const;
  // Waits until `pid` has exited, up to `timeoutMs`; true when it did.
  static bool WaitForExit(qint64 pid, int timeoutMs);

 private:
  QProcessEnvironment Environment() const;

  QTemporaryDir m_Dir;
  test::PrivateBus m_Bus;
  QString m_Error;
};

}  // namespace corvana::e2e
