#pragma once

#include <QProcess>

#include "PrivateBus.h"

// A Watcher started by the test itself, without "--activated", on the test's private bus: no
// survival check ends it, so it lives exactly as long as the test wants. Automation is on.
class StandAloneWatcherTest : public PrivateBusTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  QProcess watcher;
  qint64 watcherPid = 0;
};
