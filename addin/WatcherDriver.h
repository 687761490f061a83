#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariant>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "addin/Model.h"
#include "addin/RunObserver.h"
#include "addin/RunResult.h"
#include "addin/RunSettings.h"

class QDBusServiceWatcher;

namespace corvana::addin {

class AddinApplicationObject;
class HelpObject;
class HostApplicationObject;

// Drives the Watcher over the session bus the way the add-in does: one WatcherManager, every
// input set, the channel protocol followed during the run and the end-of-run hand-over. When the
// Watcher cannot be reached or goes away, the run goes on without it and Error() says why.
class WatcherDriver : public QObject, public RunObserver {
  Q_OBJECT

 public:
  WatcherDriver(const Model& model, const RunSettings& settings, QDBusConnection bus,
                const std::atomic<bool>& interrupt, QObject* parent = nullptr);
  ~WatcherDriver() override;

  // Takes the survival mutex (held for the rest of the process) and serves the host objects.
  // False when there is no session bus.
  bool Start();

  bool Attached() const { return m_Attached; }
  // While the call showing the Watcher modally at the end of the run waits for the user.
  bool ShowingModally() const { return m_Modal; }
  // The Watcher watched this run, even if it went away later.
  bool EverAttached() const { return m_EverAttached; }
  const std::string& Error() const { return m_Error; }
  // Why the frontier chart asked for was not made; empty when it was (or none was asked for).
  const std::string& ChartError() const { return m_ChartError; }
  long TrialCount() const { return m_Trials; }
  std::int32_t PopHandle() const { return m_PopHandle; }
  int ShowExcelRecalculations() const { return m_ShowExcelRecalculations; }
  // Nobody will click any more (the scripted user gave up): the run is stopped, its end asks
  // nothing and an open modal window is closed.
  void GiveUpUserInteraction();
  // The user's end-of-run choices, once the Watcher has handed them back.
  const std::optional<StopChoices>& Choices() const { return m_Choices; }

  // The user asks to move on to the next optimization of the series: the run pauses and the
  // Watcher asks whether to move on. Raises ScriptError when no series is watched.
  void RequestNextOptimization();

  // The add-in asks the Watcher to stop its update timer; true once the Watcher has answered.
  void RequestStopTimer();
  bool TimerStopAcknowledged();

  void OnRunCreated(std::int32_t popHandle, const char* logPath) override;
  void OnOptimizationStarted(int number) override;
  void OnTrialUnderWay(long trialNumber) override;
  void OnTrial(long trialNumber, const Evaluation& evaluation, bool isNewBest) override;
  void OnIdle(bool paused) override;
  void OnRunStopped() override;
  bool AskUseConstraintSolver(int violated) override;

 private:
  void Attach(std::int32_t popHandle, const std::string& logPath);
  static std::int32_t HostWindow();
  void SetInputs(std::int32_t popHandle, const std::string& logPath);
  void FillCollections();
  void FinishRun();
  // Has the Watcher chart the frontier through the host object, into --frontier-chart.
  void ChartFrontier();
  void ReadChoices(bool shownToUser);
  void Detach(const std::string& why);
  // Serves incoming calls and timers; at most every 20 ms unless forced.
  void Pump(bool force);
  void WatcherVanished();
  void WriteTrialUnderWay();
  void ResumeIfPaused();
  bool NobodyToAsk() const { return m_Interrupt || m_NoUser; }
  // While the window is modal: ends it when nobody is left to close it.
  void CancelModalIfNeeded();

  QDBusMessage Call(const QString& method, const QVariantList& args = {}, bool modal = false);
  void SetProperty(const char* name, const QVariant& value);
  QVariant GetProperty(const char* name);
  QVariant HostRef(const char* path) const;
  QVariant NothingRef() const;

  const Model& m_Model;
  const RunSettings& m_Settings;
  QDBusConnection m_Bus;
  std::unique_ptr<HostApplicationObject> m_HostApplication;
  std::unique_ptr<AddinApplicationObject> m_AddinApplication;
  std::unique_ptr<HelpObject> m_Help;
  QDBusServiceWatcher* m_ServiceWatcher = nullptr;

  QString m_WatcherName;  // the unique bus name of the Watcher that serves our manager
  QString m_ManagerPath;
  bool m_Attached = false;
  bool m_EverAttached = false;
  const std::atomic<bool>& m_Interrupt;
  bool m_NoUser = false;
  bool m_Modal = false;
  bool m_ModalCancelled = false;
  std::string m_Error;
  std::string m_ChartError;
  std::string m_LogPath;
  std::int32_t m_PopHandle = 0;
  long m_Trials = 0;
  bool m_FirstTrialSent = false;
  long m_TrialWritten = 0;
  long m_TrialUnderWay = 0;  // the latest trial handed to a worker process
  int m_IterationsWritten = -1;
  int m_ShowExcelRecalculations = 1;
  std::optional<StopChoices> m_Choices;
  std::chrono::steady_clock::time_point m_LastPump{};
};

}  // namespace corvana::addin
