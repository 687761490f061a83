#include <QProcess>

#include "PrivateBus.h"
#include "tests/support/QtTestSupport.h"
#include "wire/BusNames.h"

using namespace corvana::wire;

namespace {

class SurvivalTest : public PrivateBusTest {};

TEST_F(SurvivalTest, WatcherEndsSoonAfterTheAddinProcessDies) {
  // The add-in: a process that holds its survival mutex while it lives.
  corvana::test::AddinSurvivalMutex addin;
  ASSERT_TRUE(addin.Take(runtimeDir, AddinMutexName()));

  const QString path = Create(client, "WatcherManager");
  ASSERT_EQ(Call(client, path, kWatcherManagerInterface, "Initialize").type(), QDBusMessage::ReplyMessage);
  const qint64 pid = WatcherPid(client);
  ASSERT_GT(pid, 0);
  // A few survival checks find the add-in alive.
  ASSERT_EQ(WaitForExit(pid, 1500), -1) << "the Watcher ended while the add-in lived";

  addin.Kill();
  const qint64 took = WaitForExit(pid, 2000);
  EXPECT_GE(took, 0) << "the Watcher outlived the add-in by more than 2 s";
}

TEST_F(SurvivalTest, WatcherFollowsOnlyTheAddinOnItsOwnBus) {
  // Another add-in, on another bus, shares the runtime directory and outlives ours.
  corvana::test::AddinSurvivalMutex other;
  ASSERT_TRUE(other.Take(runtimeDir, corvana::wire::AddinSurvivalMutexName("another-bus")));
  ASSERT_NE(AddinMutexName(), corvana::wire::AddinSurvivalMutexName("another-bus"));
  corvana::test::AddinSurvivalMutex addin;
  ASSERT_TRUE(addin.Take(runtimeDir, AddinMutexName()));

  const QString path = Create(client, "WatcherManager");
  ASSERT_EQ(Call(client, path, kWatcherManagerInterface, "Initialize").type(), QDBusMessage::ReplyMessage);
  const qint64 pid = WatcherPid(client);
  ASSERT_GT(pid, 0);
  ASSERT_EQ(WaitForExit(pid, 1500), -1) << "the Watcher ended while its add-in lived";

  addin.Kill();
  EXPECT_GE(WaitForExit(pid, 2000), 0) << "the Watcher outlived its add-in while another one lived";
}

TEST_F(SurvivalTest, WatcherEndsWhenItsBusGoesAway) {
  Create(client, "LogObject");
  const qint64 pid = WatcherPid(client);
  ASSERT_GT(pid, 0);
  bus.Kill();
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
  ASSERT_TRUE(corvana::test::WaitServingEvents([&] { return WatcherPid(client) == watcher.processId(); }))
      << "the stand-alone Watcher did not take its bus name";
  const QString path = Create(client, "WatcherManager");
  ASSERT_EQ(Call(client, path, kWatcherManagerInterface, "Initialize").type(), QDBusMessage::ReplyMessage);
  EXPECT_FALSE(watcher.waitForFinished(2500)) << "no add-in mutex exists, yet it must keep running";
  watcher.kill();
  watcher.waitForFinished(5000);
}

}  // namespace
