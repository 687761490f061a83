#include "PrivateBus.h"
#include "StandAloneWatcher.h"
#include "tests/support/QtTestSupport.h"
#include "wire/BusNames.h"

using namespace corvana::wire;

namespace {

class SurvivalTest : public PrivateBusTest {};

// Another add-in, on another bus, shares the runtime directory and outlives ours: the Watcher
// follows only the one on its own bus.
TEST_F(SurvivalTest, WatcherEndsSoonAfterItsAddinDies) {
  corvana::test::AddinSurvivalMutex other;
  ASSERT_TRUE(other.Take(runtimeDir, AddinSurvivalMutexName("another-bus")));
  ASSERT_NE(AddinMutexName(), AddinSurvivalMutexName("another-bus"));
  corvana::test::AddinSurvivalMutex addin;
  ASSERT_TRUE(addin.Take(runtimeDir, AddinMutexName()));

  ASSERT_FALSE(StartRun(client, false).isEmpty());
  const qint64 pid = WatcherPid(client);
  ASSERT_GT(pid, 0);
  // A few survival checks find the add-in alive.
  ASSERT_EQ(WaitForExit(pid, 1500), -1) << "the Watcher ended while its add-in lived";

  addin.Kill();
  EXPECT_GE(WaitForExit(pid, 2000), 0) << "the Watcher outlived its add-in by more than 2 s";
}

TEST_F(SurvivalTest, WatcherEndsWhenItsBusGoesAway) {
  Create(client, "LogObject");
  const qint64 pid = WatcherPid(client);
  ASSERT_GT(pid, 0);
  bus.Kill();
  EXPECT_GE(WaitForExit(pid, 3000), 0) << "the Watcher outlived its bus";
}

// Started by hand (not by the bus), the Watcher does not look for the add-in at all.
TEST_F(StandAloneWatcherTest, RunsNoSurvivalCheck) {
  ASSERT_FALSE(StartRun(client, false).isEmpty());
  EXPECT_FALSE(watcher.waitForFinished(2500)) << "no add-in mutex exists, yet it must keep running";
}

}  // namespace
