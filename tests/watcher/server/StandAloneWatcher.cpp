#include "StandAloneWatcher.h"

#include <QDBusConnectionInterface>
#include <QTest>

#include "wire/BusNames.h"

void StandAloneWatcherTest::SetUp() {
  PrivateBusTest::SetUp();
  if (HasFatalFailure()) return;
  QProcessEnvironment standAlone = environment;
  standAlone.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
  standAlone.insert("CORVANA_AUTOMATION", "1");
  watcher.setProcessEnvironment(standAlone);
  watcher.setProcessChannelMode(QProcess::ForwardedChannels);
  watcher.start(CORVANA_WATCHER_EXE, {});
  ASSERT_TRUE(watcher.waitForStarted(5000)) << "the Watcher did not start";
  watcherPid = watcher.processId();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return client.interface()->isServiceRegistered(corvana::wire::kServiceName).value(); }, 10000))
      << "the Watcher did not take its bus name";
  ASSERT_EQ(WatcherPid(client), watcherPid);
}

void StandAloneWatcherTest::TearDown() {
  if (watcher.state() != QProcess::NotRunning) {
    watcher.kill();
    watcher.waitForFinished(5000);
  }
  PrivateBusTest::TearDown();
}
