#pragma once

#include <functional>

#include "watcher/server/BusObject.h"
#include "watcher/ui/Platform.h"

namespace corvana::bus {

// Acts as a user on the Watcher's forms by form and control name, for end-to-end tests and the
// headless demo. Present only when asked for at start-up, and open only to the peer that created
// the active WatcherManager (`steerer` names it; empty when there is none), so no other local
// process can steer the run. Actions that run the forms' handlers are queued to the event loop and
// the call returns at once, so a handler that opens a question or a modal window never holds the
// caller or the bus.
class AutomationObject : public BusObject {
 public:
  AutomationObject(QDBusConnection connection, ui::Platform& platform, std::function<QString()> steerer);

  bool MayCall(const QString& peer) const override;

 private:
  ui::Form& FindForm(const QString& name) const;
  ui::Control& FindControl(const QString& form, const QString& control) const;
  // Runs the action later on the named control, if the form and control still exist then.
  void Later(const QString& form, const QString& control, std::function<void(ui::Control&)> action);

  ui::Platform& m_Platform;
  std::function<QString()> m_Steerer;
};

}  // namespace corvana::bus
