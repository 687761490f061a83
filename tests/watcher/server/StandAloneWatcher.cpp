#include "StandAloneWatcher.h"

#include <QDBusConnectionInterface>
#include <QTest>
#include <filesystem>

#include "suite/gdlib/gdlib8.h"
#include "tests/support/TwoGenePopulation.h"
#include "wire/BusNames.h"
#include "wire/ErrorNames.h"

using namespace corvana::wire;

void StandAloneWatcherTest::SetUp() {
  PrivateBusTest::SetUp();
  if (HasFatalFailure()) return;
  ASSERT_TRUE(corvana::test::CreateTwoGenePopulation(1, 3, &popHandle));

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
  environment.insert("ORRENDEL_RUNTIME_DIR", QString::fromStdString(runtimeDir));
  const std::string logDir = runtimeDir + "/log";
  std::filesystem::create_directories(logDir);
  environment.insert("ORRENDEL_LOG_DIR", QString::fromStdString(logDir));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("CORVANA_AUTOMATION", "1");
  watcher.setProcessEnvironment(environment);
  watcher.setProcessChannelMode(QProcess::ForwardedChannels);
  watcher.start(CORVANA_WATCHER_EXE, {});
  ASSERT_TRUE(watcher.waitForStarted(5000)) << "the Watcher did not start";
  watcherPid = watcher.processId();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return client.interface()->isServiceRegistered(kServiceName).value(); }, 10000))
      << "the Watcher did not take its bus name";
  ASSERT_EQ(WatcherPid(client), watcherPid);
}

void StandAloneWatcherTest::TearDown() {
  if (watcher.state() != QProcess::NotRunning) {
    watcher.kill();
    watcher.waitForFinished(5000);
  }
  if (popHandle) GdPopFree(popHandle);
  PrivateBusTest::TearDown();
}

bool StandAloneWatcherTest::WaitForWatcherExit(int ms) {
  return QTest::qWaitFor([&] { return watcher.state() == QProcess::NotRunning; }, ms);
}

QDBusMessage StandAloneWatcherTest::Automation(QDBusConnection& peer, const char* method,
                                               const QList<QVariant>& args) {
  return Call(peer, kAutomationPath, kAutomationInterface, method, args);
}

QString StandAloneWatcherTest::StartRun(QDBusConnection& peer, bool withForms) {
  const QString path = Create(peer, "WatcherManager");
  SetProperty(peer, path, "Input_PopHandle", popHandle);
  SetProperty(peer, path, "Input_LogPath", QString::fromStdString(runtimeDir + "/none.log"));
  if (Call(peer, path, kWatcherManagerInterface, "Initialize").type() != QDBusMessage::ReplyMessage)
    return {};
  if (withForms &&
      Call(peer, path, kWatcherManagerInterface, "InitializeForms").type() != QDBusMessage::ReplyMessage)
    return {};
  return path;
}
