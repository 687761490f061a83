#include <QProcess>
#include <QThread>

#include "PrivateBus.h"
#include "suite/objectlib/SurvivalMutex.h"
#include "watcher/server/BusNames.h"

using namespace corvana::bus;

namespace {

class SurvivalTest : public PrivateBusTest {};

TEST_F(SurvivalTest, WatcherEndsSoonAfterTheAddinProcessDies) {
  // The add-in: a process that holds its survival mutex while it lives.
  QProcess addin;
  const QString lock = QString::fromStdString(
      corvana::SurvivalMutex::LockFilePath(runtimeDir, "OrrendelSurvivalMutex_OLProcessVersion8"));
  // --no-fork: the lock belongs to the one process the test kills.
  addin.start("flock", {"--shared", "--no-fork", lock, "sleep", "600"});
  ASSERT_TRUE(addin.waitForStarted(5000));
  for (int i = 0;
       i < 100 && !corvana::SurvivalMutex::ExistsIn(runtimeDir, "OrrendelSurvivalMutex_OLProcessVersion8");
       ++i)
    QThread::msleep(20);

  const QString path = Create(client, "WatcherManager");
  ASSERT_EQ(Call(client, path, kWatcherManagerInterface, "Initialize").type(), QDBusMessage::ReplyMessage);
  const qint64 pid = WatcherPid(client);
  ASSERT_GT(pid, 0);
  QThread::msleep(1500);  // a few survival checks find the add-in alive
  ASSERT_EQ(WaitForExit(pid, 0), -1) << "the Watcher ended while the add-in lived";

  addin.kill();
  addin.waitForFinished(5000);
  const qint64 took = WaitForExit(pid, 2000);
  EXPECT_GE(took, 0) << "the Watcher outlived the add-in by more than 2 s";
}

TEST_F(SurvivalTest, WatcherEndsWhenItsBusGoesAway) {
  Create(client, "LogObject");
  const qint64 pid = WatcherPid(client);
  ASSERT_GT(pid, 0);
  bus.kill();
  bus.waitForFinished(5000);
  EXPECT_GE(WaitForExit(pid, 3000), 0) << "the Watcher outlived its bus";
}

TEST_F(SurvivalTest, StandAloneWatcherRunsNoSurvivalCheck) {
  // Started by hand (not by the bus), the Watcher does not look for the add-in at all.
  QProcess watcher;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
  environment.insert("ORRENDEL_RUNTIME_DIR", QString::fromStdString(runtimeDir));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  watcher.setProcessEnvironment(environment);
  watcher.start(CORVANA_WATCHER_EXE, {});
  ASSERT_TRUE(watcher.waitForStarted(5000));
  QString path;
  for (int i = 0; i < 100 && path.isEmpty(); ++i) {
    if (WatcherPid(client) == watcher.processId())
      path = Create(client, "WatcherManager");
    else
      QThread::msleep(50);
  }
  ASSERT_FALSE(path.isEmpty()) << "the stand-alone Watcher did not take its bus name";
  ASSERT_EQ(Call(client, path, kWatcherManagerInterface, "Initialize").type(), QDBusMessage::ReplyMessage);
  EXPECT_FALSE(watcher.waitForFinished(2500)) << "no add-in mutex exists, yet it must keep running";
  watcher.kill();
  watcher.waitForFinished(5000);
}

}  // namespace
