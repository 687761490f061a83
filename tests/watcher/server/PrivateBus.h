#pragma once

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QVariant>

#include <memory>
#include <string>

#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"
#include "wire/BusNames.h"
#include "wire/dbus/BusId.h"

// A session bus of the test's own, with the project's configuration, so that the first call to the
// Watcher's name starts the Watcher as built, with this test's environment (private runtime and
// logging folders), and a population for the Watcher to watch. Every test gets a fresh bus and
// therefore a fresh Watcher.
class PrivateBusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;
  // Whether the Watcher serves its automation interface (off, as by default).
  virtual bool WithAutomation() const { return false; }

  // A client connection of its own (a distinct peer) on the private bus.
  QDBusConnection Connect(const QString& name);
  QDBusMessage Call(QDBusConnection& connection, const QString& path, const QString& interfaceName,
                    const QString& method, const QList<QVariant>& arguments = {}, int timeoutMs = 20000);
  // Creates a WatcherManager (or LogObject) and returns its path; fails the test otherwise.
  QString Create(QDBusConnection& connection, const char* what);
  QDBusMessage SetProperty(QDBusConnection& connection, const QString& path, const QString& name,
                           const QVariant& value);
  QVariant GetProperty(QDBusConnection& connection, const QString& path, const QString& name);
  // The reply of an automation call made by `peer`.
  QDBusMessage Automation(QDBusConnection& peer, const char* method, const QList<QVariant>& args = {});
  // Creates a WatcherManager for `peer` with the inputs of a run on the test's population, and
  // initializes it (and its forms when asked); the path, empty when that failed.
  QString StartRun(QDBusConnection& peer, bool withForms);
  // The Watcher's process id, from the bus.
  qint64 WatcherPid(QDBusConnection& connection);
  // Waits up to `ms` for the process to be gone, serving this process's bus objects meanwhile;
  // returns the milliseconds it took, or -1.
  static qint64 WaitForExit(qint64 pid, int ms);
  // The survival mutex an add-in on this bus holds.
  std::string AddinMutexName() const {
    return corvana::wire::AddinSurvivalMutexName(corvana::wire::BusId(client));
  }

  QString busAddress;
  // What the bus, and so the Watcher it starts, runs with.
  QProcessEnvironment environment;
  std::string runtimeDir;
  std::unique_ptr<TempDir> folders;
  corvana::test::PrivateBus bus;
  QDBusConnection client{QString()};
  std::int32_t popHandle = 0;
};
