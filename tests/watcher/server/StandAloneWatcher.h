#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QVariant>

#include "PrivateBus.h"

// A Watcher started by the test itself, without "--activated", on the test's private bus: no
// survival check ends it, so it lives exactly as long as the test wants. Automation is on.
class StandAloneWatcherTest : public PrivateBusTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Waits until the process has gone or the deadline; true when it has.
  bool WaitForWatcherExit(int ms);
  // The reply of an automation call made by `peer`.
  QDBusMessage Automation(QDBusConnection& peer, const char* method, const QList<QVariant>& args = {});
  // Creates a WatcherManager for `peer` with the inputs of a run on the test's population, and
  // initializes it; the path, empty when that failed.
  QString StartRun(QDBusConnection& peer, bool withForms);

  QProcess watcher;
  qint64 watcherPid = 0;
  std::int32_t popHandle = 0;
};
