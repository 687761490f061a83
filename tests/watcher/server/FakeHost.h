#pragma once

#include <QObject>
#include <QStringList>

// The host application as the add-in serves it, recording what the Watcher asks of it.
class FakeHost : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.orrendel.CorvanaWatcher8.HostApplication")

 public:
  QStringList Calls;
  bool Property = true;
  bool Enabled = true;

 public Q_SLOTS:
  void Run(const QString& macro) { Calls << "Run " + macro; }
  bool GetBooleanProperty(int locale) {
    Calls << QString("GetBooleanProperty %1").arg(locale);
    return Property;
  }
  void SetBooleanProperty(int, bool value) {
    Calls << QString("SetBooleanProperty %1").arg(value);
    Property = value;
  }
  bool GetWindowEnabled() { return Enabled; }
  void EnableWindow(bool enabled) {
    Calls << QString("EnableWindow %1").arg(enabled);
    Enabled = enabled;
  }
  void SetForeground() { Calls << "SetForeground"; }
};
