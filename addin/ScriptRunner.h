#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <QVariant>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "addin/UserScript.h"

namespace corvana::addin {

class WatcherDriver;

// Plays a user's script against the Watcher's automation interface, one step at a time from a
// timer, so it goes on while the run loop works, while it is paused and while the Watcher's
// window is modal.
class ScriptRunner : public QObject {
  Q_OBJECT

 public:
  ScriptRunner(std::vector<ScriptStep> steps, WatcherDriver& driver, QDBusConnection bus,
               QObject* parent = nullptr);

  void Start();
  bool Finished() const { return m_Next >= m_Steps.size() || !m_Error.empty(); }
  // "line N: ..." when a step failed; the script stops there.
  const std::string& Error() const { return m_Error; }
  // The line of the step not yet done; 0 when the script is finished.
  int PendingLine() const { return Finished() ? 0 : m_Steps[m_Next].Line; }
  // Called once when a step fails, so the owner can end the run instead of waiting for a user.
  std::function<void()> OnFailure;

 private:
  void Tick();
  // True when the step is done; false to try again on the next tick.
  bool Perform(const ScriptStep& step);
  QList<QVariant> Automation(const char* method, const QList<QVariant>& args = {});
  bool QuestionOnScreen();
  std::int16_t RunStatus() const;
  // Every group of the population uses the rate (mutation: as a fixed rate).
  bool EveryGroupHasRate(bool crossover, double rate) const;

  std::vector<ScriptStep> m_Steps;
  std::size_t m_Next = 0;
  WatcherDriver& m_Driver;
  QDBusConnection m_Bus;
  QTimer m_Timer;
  bool m_Busy = false;
  bool m_StepStarted = false;
  std::chrono::steady_clock::time_point m_StepStart;
  std::string m_Error;
};

}  // namespace corvana::addin
