// A host that runs several watched optimizations in its own process, one after another, as a
// spreadsheet does: each finds the Watcher, is watched to its end, and leaves the next one free.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QFile>
#include <atomic>

#include "addin/ModelCatalog.h"
#include "addin/RunLoop.h"
#include "addin/WatcherDriver.h"
#include "suite/objectlib/SurvivalMutex.h"
#include "tests/e2e/E2eSession.h"
#include "tests/support/QtTestSupport.h"
#include "wire/BusNames.h"
#include "wire/dbus/BusId.h"

namespace corvana::e2e {
namespace {

using namespace corvana::addin;

TEST(InProcessRunsTest, SecondWatchedOptimizationInOneProcess) {
  test::StartCoreApplication("e2e-inprocess");
  if (!QFile::exists(CORVANA_BIN_DIR "/corvana-watcher")) GTEST_SKIP() << "the Watcher is not built";
  E2eSession session;
  ASSERT_TRUE(session.Ready()) << session.Error().toStdString();
  qputenv("ORRENDEL_RUNTIME_DIR", session.RuntimeDir().toUtf8());
  qputenv("ORRENDEL_LOG_DIR", session.LogDir().toUtf8());
  qputenv("ORRENDEL_SYSTEM_DIR", CORVANA_SYSTEM_DIR);
  QDBusConnection bus = QDBusConnection::connectToBus(session.BusAddress(), "host");
  ASSERT_TRUE(bus.isConnected());

  std::atomic<bool> interrupt{false};
  RunSettings settings;
  settings.Trials = 1500;
  settings.ShowEndOptions = false;
  qint64 firstWatcher = 0;
  for (int run = 1; run <= 3; ++run) {
    SCOPED_TRACE(run);
    auto model = ModelCatalog::Create("portfolio");
    settings.TrialLogPath = session.File(QStringLiteral("trials-%1.gdlog").arg(run)).toStdString();
    WatcherDriver driver(*model, settings, bus, interrupt);
    ASSERT_TRUE(driver.Start()) << driver.Error();
    RunLoop loop(*model, settings, driver, interrupt);
    loop.Create();
    const RunResult result = loop.Run();
    EXPECT_TRUE(driver.EverAttached()) << driver.Error();
    EXPECT_EQ(driver.Error(), "");
    EXPECT_EQ(driver.TrialCount(), 1500);
    // One Watcher process serves the host for as long as the host lives.
    if (run == 1) firstWatcher = session.WatcherPid();
    EXPECT_EQ(session.WatcherPid(), firstWatcher);
    EXPECT_TRUE(SurvivalMutex::Exists(wire::AddinSurvivalMutexName(wire::BusId(bus))));
  }
  // Between two runs, and after the last, the host is still there for the Watcher's survival check.
  EXPECT_TRUE(SurvivalMutex::Exists(wire::AddinSurvivalMutexName(wire::BusId(bus))));
  QDBusConnection::disconnectFromBus("host");
}

}  // namespace
}  // namespace corvana::e2e
