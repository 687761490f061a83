#include "addin/WatcherDriver.h"

#include "addin/BusCall.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>

#include "addin/AddinApplicationObject.h"
#include "addin/EngineCall.h"
#include "addin/FrontierChart.h"
#include "addin/HelpObject.h"
#include "addin/HostApplicationObject.h"
#include "addin/UserScript.h"
#include "addin/WatcherChannels.h"
#include "common/ErrorTrap.h"
#include "suite/gdlib/gdlib8.h"
#include "suite/objectlib/SuiteFolders.h"
#include "suite/objectlib/SurvivalMutex.h"
#include "wire/BusNames.h"
#include "wire/ErrorNames.h"
#include "wire/dbus/BusErrors.h"
#include "wire/dbus/BusId.h"
#include "wire/dbus/BusObjectRef.h"

namespace corvana::addin {

namespace {

using Clock = std::chrono::steady_clock;

// How long the end of the run waits for the Watcher's request to show it modally. Its update
// cycle ticks once a second, so a live Watcher asks within a few seconds.
constexpr auto kShowModallyWait = std::chrono::seconds(20);

QVariantList ToBusCollection(const QVariantList& items) {
  QVariantList out;
  for (const QVariant& item : items) out << QVariant::fromValue(QDBusVariant(item));
  return out;
}

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

// The add-in's survival mutex stands for its process: taken by the first watched run on a bus and
// held until the process ends, so that a host running one optimization after another never looks
// gone to the Watcher between two runs.
void TakeProcessSurvivalMutex(const std::string& name) {
  static std::mutex guard;
  static std::map<std::string, std::unique_ptr<SurvivalMutex>> held;
  const std::lock_guard lock(guard);
  auto& mutex = held[SuiteFolders::RuntimeDirectory() + "/" + name];
  if (!mutex) mutex = std::make_unique<SurvivalMutex>(name);
  mutex->Take();
}

}  // namespace

WatcherDriver::WatcherDriver(const Model& model, const RunSettings& settings, QDBusConnection bus,
                             const std::atomic<bool>& interrupt, QObject* parent)
    : QObject(parent), m_Model(model), m_Settings(settings), m_Bus(std::move(bus)), m_Interrupt(interrupt) {}

WatcherDriver::~WatcherDriver() {
  if (m_Bus.isConnected()) {
    m_Bus.unregisterObject(QString::fromLatin1(wire::kHostApplicationPath));
    m_Bus.unregisterObject(QString::fromLatin1(wire::kAddinApplicationPath));
    m_Bus.unregisterObject(QString::fromLatin1(wire::kHelpPath));
  }
}

bool WatcherDriver::Start() {
  ErrorInfo err;
  if (!ResumeNext(err, [&] { TakeProcessSurvivalMutex(wire::AddinSurvivalMutexName(wire::BusId(m_Bus))); })) {
    m_Error = "Cannot take the add-in's survival mutex: " + err.Description;
    return false;
  }
  if (!m_Bus.isConnected()) {
    m_Error = "No session bus: " + m_Bus.lastError().message().toStdString();
    return false;
  }
  wire::BusObjectRef::Register();
  m_HostApplication = std::make_unique<HostApplicationObject>();
  m_AddinApplication = std::make_unique<AddinApplicationObject>();
  m_Help = std::make_unique<HelpObject>();
  const auto options = QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportAllSlots;
  if (!m_Bus.registerObject(QString::fromLatin1(wire::kHostApplicationPath), m_HostApplication.get(),
                            options) ||
      !m_Bus.registerObject(QString::fromLatin1(wire::kAddinApplicationPath), m_AddinApplication.get(),
                            options) ||
      !m_Bus.registerObject(QString::fromLatin1(wire::kHelpPath), m_Help.get(), options)) {
    m_Error = "Cannot serve the host objects on the session bus.";
    return false;
  }
  return true;
}

QDBusMessage WatcherDriver::Call(const QString& method, const QVariantList& args, bool modal) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      m_WatcherName, m_ManagerPath, QString::fromLatin1(wire::kWatcherManagerInterface), method);
  call.setArguments(args);
  // Always serve our own objects while waiting: the Watcher calls back into them.
  QDBusMessage reply = CallServingEvents(m_Bus, call, modal ? INT_MAX : -1);
  if (reply.type() == QDBusMessage::ErrorMessage) throw wire::ErrorFromReply(reply, method.toStdString());
  return reply;
}

void WatcherDriver::SetProperty(const char* name, const QVariant& value) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      m_WatcherName, m_ManagerPath, QString::fromLatin1(wire::kPropertiesInterface), QStringLiteral("Set"));
  call.setArguments({QString::fromLatin1(wire::kWatcherManagerInterface), QString::fromLatin1(name),
                     QVariant::fromValue(QDBusVariant(value))});
  const QDBusMessage reply = CallServingEvents(m_Bus, call);
  if (reply.type() == QDBusMessage::ErrorMessage) throw wire::ErrorFromReply(reply, name);
}

QVariant WatcherDriver::GetProperty(const char* name) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      m_WatcherName, m_ManagerPath, QString::fromLatin1(wire::kPropertiesInterface), QStringLiteral("Get"));
  call.setArguments({QString::fromLatin1(wire::kWatcherManagerInterface), QString::fromLatin1(name)});
  const QDBusMessage reply = CallServingEvents(m_Bus, call);
  if (reply.type() == QDBusMessage::ErrorMessage) throw wire::ErrorFromReply(reply, name);
  if (reply.arguments().isEmpty())
    RaiseError(kErrApplication, name, "Reading " + std::string(name) + ": the reply holds no value.");
  return reply.arguments().front().value<QDBusVariant>().variant();
}

QVariant WatcherDriver::HostRef(const char* path) const {
  return QVariant::fromValue(
      wire::BusObjectRef{m_Bus.baseService(), QDBusObjectPath(QString::fromLatin1(path))});
}

QVariant WatcherDriver::NothingRef() const {
  return QVariant::fromValue(wire::BusObjectRef{});
}

void WatcherDriver::OnRunCreated(std::int32_t popHandle, const char* logPath) {
  m_PopHandle = popHandle;
  m_LogPath = logPath;
  Attach(popHandle, logPath);
}

void WatcherDriver::Attach(std::int32_t popHandle, const std::string& logPath) {
  ErrorInfo err;
  // The factory call activates the Watcher on the bus when it is not running yet.
  const bool ok = ResumeNext(err, [&] {
    WatcherChannels::ResetForNewRun();
    WatcherChannels::WriteBool(ChannelStopGenerateOptimizationSummary, false);
    WatcherChannels::WriteBool(ChannelStopWriteLogOfAllTrials, false);
    WatcherChannels::WriteBool(ChannelStopWriteLogOfProgressSteps, false);
    WatcherChannels::WriteLong(ChannelStopSolutionToKeep, -1);

    QDBusMessage create = QDBusMessage::createMethodCall(
        QString::fromLatin1(wire::kServiceName), QString::fromLatin1(wire::kFactoryPath),
        QString::fromLatin1(wire::kFactoryInterface), QStringLiteral("CreateWatcherManager"));
    const QDBusMessage reply = CallServingEvents(m_Bus, create, 30000);
    if (reply.type() == QDBusMessage::ErrorMessage &&
        wire::CodeFromErrorName(reply.errorName().toStdString()))
      throw wire::ErrorFromReply(reply, "CreateWatcherManager");
    if (reply.type() == QDBusMessage::ErrorMessage || reply.arguments().isEmpty())
      RaiseError(kErrApplication, "CreateWatcherManager",
                 "Cannot start the Watcher: " + reply.errorMessage().toStdString());
    m_WatcherName = reply.service();
    m_ManagerPath = reply.arguments().front().value<QDBusObjectPath>().path();

    // Follow the very process that serves our manager: a restarted Watcher is not ours.
    m_ServiceWatcher =
        new QDBusServiceWatcher(m_WatcherName, m_Bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_ServiceWatcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { WatcherVanished(); });

    SetInputs(popHandle, logPath);
    Call(QStringLiteral("Initialize"));
    FillCollections();
    Call(QStringLiteral("InitializeForms"));
  });
  if (ok) {
    m_Attached = m_EverAttached = true;
  } else {
    Detach(err.Description);
  }
}

std::int32_t WatcherDriver::HostWindow() {
  // The terminal's window stands for the host's: the Watcher opens on its screen. Terminals that
  // do not say, and Wayland, leave it 0.
  const char* text = std::getenv("WINDOWID");
  if (!text || !*text) return 0;
  char* end = nullptr;
  errno = 0;
  const unsigned long id = std::strtoul(text, &end, 10);
  return errno == 0 && *end == '\0' && id <= INT32_MAX ? static_cast<std::int32_t>(id) : 0;
}

void WatcherDriver::SetInputs(std::int32_t popHandle, const std::string& logPath) {
  const Model& m = m_Model;
  const bool series = !m_Settings.EfficientFrontier.empty();
  const auto statistic = static_cast<std::int32_t>(m.ObjectiveStatistic());
  SetProperty("ShowExcelRecalculations", 1);
  SetProperty("Input_DisplayAlerts", true);
  SetProperty("Input_PopHandle", popHandle);
  SetProperty("Input_OptimizationStartedFromGUI", true);
  SetProperty("Input_LogPath", Text(logPath));
  SetProperty("Input_MainHelpFilePath", Text(SuiteFolders::SystemDirectory() + "/help/index.html"));
  SetProperty("Input_PopulationSize", m_Settings.Population);
  SetProperty("Input_NumConstraints", static_cast<std::int32_t>(m.Constraints().size()));
  SetProperty("Input_Runtime_TrialCount", static_cast<double>(m_Settings.Trials.value_or(0)));
  SetProperty("Input_Runtime_NumIterations", m.Iterations());
  SetProperty("Input_Runtime_Milliseconds", m_Settings.Minutes.value_or(0) * 60000.0);
  SetProperty("Input_ExcelAppHwnd", HostWindow());
  SetProperty("Input_ExcelProcessID", static_cast<std::int32_t>(getpid()));
  SetProperty("Input_DisallowInteractionWithExcelWindow", true);
  SetProperty("Input_ExcelApplication", HostRef(wire::kHostApplicationPath));
  SetProperty("Input_Application", HostRef(wire::kAddinApplicationPath));
  SetProperty("Input_HalvardCallbacksObject", NothingRef());
  SetProperty("Input_NETApplication", HostRef(wire::kHelpPath));
  SetProperty("Input_TargetCellValuesTreatedAsDates", false);
  SetProperty("Input_StatisticToOptimize", statistic);
  SetProperty("Input_TargetCellNumberFormat", Text(m.NumberFormat()));
  SetProperty("Input_TargetCellNumberFormat_ShortIfDate", Text(m.NumberFormat()));
  SetProperty("Input_TargetCellNumberFormat_ShortIfDate_ForcedEnglish", Text(m.NumberFormat()));
  SetProperty("Input_TargetCellNumberFormatIsLocal", false);
  SetProperty("Input_GAMutationIsAuto", true);
  SetProperty("Input_ConstraintSolverMode", m_Settings.ConstraintSolver);
  SetProperty("Input_ConstraintSolver_FixedSeed", false);
  SetProperty("Input_OptimizationEngine", 1);
  // Several worker processes: the Watcher pauses by itself, asks about stopping at once and shows
  // the worker count in its caption.
  SetProperty("Input_MCoreOptimization", m_Settings.Workers > 1);
  SetProperty("Input_MCoreNumWorkerProcesses", std::max(1, m_Settings.Workers));
  SetProperty("Input_SuppressProgressWindow", false);
  SetProperty("Input_ProgressGraphPath", Text(m_Settings.ProgressGraphPath));
  SetProperty("Input_ExcelMajorVersion", 16);
  SetProperty("Input_EFPerformAnalysis", series);
  SetProperty("Input_EFNumConstrainingValues",
              static_cast<std::int32_t>(m_Settings.EfficientFrontier.size()));
  if (series) {
    const Constraint& c = m.Constraints().front();
    const std::string op = c.Compare == Comparison::AtMost ? "<=" : ">=";
    SetProperty("Input_EFConstrainedCellValuesTreatedAsDate", false);
    SetProperty("Input_EFConstrainedStatistic", static_cast<std::int32_t>(c.Stat));
    SetProperty("Input_EFConstrainedCellNumberFormat", QStringLiteral("General"));
    SetProperty("Input_EFConstrainedCellNumberFormat_ShortIfDate", QStringLiteral("General"));
    SetProperty("Input_EFConstrainedCellNumberFormatIsLocal", QStringLiteral("False"));
    SetProperty("Input_EFConstrainedCellNumberFormat_ShortIfDate_ForcedEnglish", QStringLiteral("General"));
    SetProperty("Input_EFConstraintDisplayFormula_LHSide", Text(c.Name));
    SetProperty("Input_EFConstraintOperatorAsString", Text(op));
    // The bound is what the series varies: the formula names it X, not its value of a single run.
    SetProperty("Input_EFConstraintFormula", Text(c.Name + " " + op + " X"));
    SetProperty("Input_EFConstraintOperator", c.Compare == Comparison::AtMost ? 1 : 2);
  }
  SetProperty("Input_RuntimeGoalType", 1);
  SetProperty("Input_RuntimeTargetValue", 0.0);
  SetProperty("Input_OptimizationObjectiveStr", Text(m.ObjectiveText()));
  SetProperty("Input_TarnLibHVars", 0);
  SetProperty("Stop_AtEndShowOptionsToUser", m_Settings.ShowEndOptions);
}

void WatcherDriver::FillCollections() {
  const Model& m = m_Model;
  QVariantList genes, groups, methods, cellDates, constraintDates, constraintStats, hardTexts, hardFormulas;
  for (const GeneGroup& g : m.Groups()) {
    groups << Text(g.Name);
    methods << static_cast<std::int32_t>(g.Method);
    for (const Gene& gene : g.Genes) {
      genes << Text(gene.Name);
      cellDates << false;
    }
  }
  for (const Constraint& c : m.Constraints()) {
    constraintDates << false;
    constraintStats << static_cast<std::int32_t>(c.Stat);
    if (!c.Hard) continue;
    hardTexts << Text(c.Name);
    hardFormulas << Text(c.Formula);
  }
  SetProperty("Input_AllGeneNamesCol", ToBusCollection(genes));
  SetProperty("Input_GroupNames", ToBusCollection(groups));
  SetProperty("Input_GroupSolvingMethods", ToBusCollection(methods));
  SetProperty("Input_AdjustableCellsFormatAsDateCol", ToBusCollection(cellDates));
  SetProperty("Input_AtomicConstraintsFormatAsDateCol", ToBusCollection(constraintDates));
  SetProperty("Input_AtomicConstraintsStatisticCol", ToBusCollection(constraintStats));
  SetProperty("Input_ConstraintSolver_HardConstraintDescriptions", ToBusCollection(hardTexts));
  SetProperty("Input_ConstraintSolver_HardConstraintFormulas", ToBusCollection(hardFormulas));
  if (m_Settings.EfficientFrontier.empty()) return;
  QVariantList values, formatted;
  for (double v : m_Settings.EfficientFrontier) {
    values << v;
    formatted << QString::number(v, 'g', 15);
  }
  SetProperty("Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial", ToBusCollection(values));
  SetProperty("Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final", ToBusCollection(values));
  SetProperty("Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final_Formatted",
              ToBusCollection(formatted));
}

void WatcherDriver::Detach(const std::string& why) {
  if (m_Error.empty()) m_Error = why;
  m_Attached = false;
}

void WatcherDriver::WatcherVanished() {
  if (!m_Attached) return;
  Detach("The Watcher ended during the run.");
  ResumeIfPaused();  // nobody is left to resume it
}

void WatcherDriver::GiveUpUserInteraction() {
  m_NoUser = true;
  // Without a user the run would wait for clicks that never come: end it.
  ResumeNext([&] {
    GdPopLock(m_PopHandle);
    GdPopSetRunStatus(m_PopHandle, GdRunStatusMarkToStop);
    GdPopUnlock(m_PopHandle);
  });
  CancelModalIfNeeded();
}

void WatcherDriver::CancelModalIfNeeded() {
  if (!m_Modal || m_ModalCancelled || !NobodyToAsk()) return;
  m_ModalCancelled = true;
  // Dispose closes the modal window, which ends the pending ShowWatcherModally.
  QDBusMessage dispose = QDBusMessage::createMethodCall(m_WatcherName, m_ManagerPath,
                                                        QString::fromLatin1(wire::kWatcherManagerInterface),
                                                        QStringLiteral("Dispose"));
  m_Bus.asyncCall(dispose);
}

void WatcherDriver::ResumeIfPaused() {
  ResumeNext([&] {
    const std::int16_t status = GdPopGetRunStatus(m_PopHandle);
    if (status == GdRunStatusPaused || status == GdRunStatusMarkToPause) {
      GdPopLock(m_PopHandle);
      GdPopSetRunStatus(m_PopHandle, GdRunStatusOptimizing);
      GdPopUnlock(m_PopHandle);
    }
  });
}

void WatcherDriver::Pump(bool force) {
  const auto now = Clock::now();
  if (!force && now - m_LastPump < std::chrono::milliseconds(20)) return;
  m_LastPump = now;
  QCoreApplication::processEvents();
  if (!m_Attached) return;
  WriteTrialUnderWay();
  ResumeNext([&] {
    const std::int32_t mode = WatcherChannels::ReadLong(ChannelShowExcelRecalculations);
    if (mode >= 1 && mode <= 3) m_ShowExcelRecalculations = mode;
  });
}

void WatcherDriver::OnOptimizationStarted(int number) {
  if (m_Settings.EfficientFrontier.empty()) return;
  const double value = m_Settings.EfficientFrontier.at(static_cast<std::size_t>(number - 1));
  ResumeNext([&] { WatcherChannels::WriteDouble(ChannelEFCurrentConstrainingValue, value); });
  ResumeNext([&] { WatcherChannels::WriteDouble(ChannelEFNumOptimizationUnderWay, number); });
}

void WatcherDriver::RequestNextOptimization() {
  if (!m_Attached || !m_PopHandle) throw ScriptError("there is no series under way to move on in");
  // As the add-in's own button: the run pauses and the Watcher asks whether to move on.
  SetProperty("WaitingAfterEFNextOptimizationClicked", true);
  CheckEngine(GdPopLock(m_PopHandle), "GdPopLock");
  const std::int16_t status = GdPopGetRunStatus(m_PopHandle);
  if (status == GdRunStatusOptimizing) GdPopSetRunStatus(m_PopHandle, GdRunStatusMarkToPause);
  GdPopUnlock(m_PopHandle);
}

void WatcherDriver::WriteTrialUnderWay() {
  const long trial = std::max(m_Trials, m_TrialUnderWay);
  if (m_TrialWritten == trial) return;
  ResumeNext([&] { WatcherChannels::WriteDouble(ChannelNumTrialUnderWay, static_cast<double>(trial)); });
  m_TrialWritten = trial;
}

void WatcherDriver::OnTrialUnderWay(long trialNumber) {
  // In a multi-process run the first organism out ends the Watcher's start-up animation.
  m_TrialUnderWay = trialNumber;
  Pump(m_TrialWritten == 0);
}

void WatcherDriver::OnTrial(long trialNumber, const Evaluation& evaluation, bool) {
  m_Trials = trialNumber;
  // The Watcher reads the channels once a second: the trial number goes out with each pump, and
  // the iteration counts only when they change.
  if (evaluation.Iterations != m_IterationsWritten) {
    ResumeNext([&] {
      WatcherChannels::WriteDouble(ChannelNumIterations, evaluation.Iterations);
      WatcherChannels::WriteDouble(ChannelNumIterationsInCompletedSimulation, evaluation.Iterations);
    });
    m_IterationsWritten = evaluation.Iterations;
  }
  ResumeNext([&] {
    if (m_FirstTrialSent) return;
    WriteTrialUnderWay();
    // The first-trial hand-shake: the two graph extents, then the flag that they are there.
    const long goal = m_Settings.Trials.value_or(0);
    WatcherChannels::WriteLong(ChannelGraphAllTrialsInitialNumTrialsShown,
                               static_cast<std::int32_t>(goal > 0 && goal <= 1000 ? goal : 100));
    WatcherChannels::WriteLong(ChannelNumLastTrialsToShow, 100);
    WatcherChannels::WriteBool(ChannelFirstTrialInfoAvailable, true);
    m_FirstTrialSent = true;
  });
  Pump(false);
}

void WatcherDriver::OnIdle(bool paused) {
  Pump(paused);
}

bool WatcherDriver::AskUseConstraintSolver(int violated) {
  if (!m_Attached) return false;
  std::int32_t answer = 0;
  ResumeNext([&] {
    WatcherChannels::WriteLong(ChannelAskUserAboutSolver, violated);
    // The user may take their time; the question ends with an answer or with the Watcher.
    while (m_Attached && !NobodyToAsk()) {
      Pump(true);
      answer = WatcherChannels::ReadLong(ChannelAskUserAboutSolver);
      if (answer < 0) break;
      QThread::msleep(20);
    }
  });
  return answer == -1;
}

void WatcherDriver::RequestStopTimer() {
  if (m_Attached) ResumeNext([&] { WatcherChannels::WriteBool(ChannelOLToldWatcherToStopTimer, true); });
}

bool WatcherDriver::TimerStopAcknowledged() {
  bool acknowledged = false;
  ResumeNext([&] { acknowledged = WatcherChannels::ReadBool(ChannelWatcherStoppedTimer); });
  return acknowledged;
}

void WatcherDriver::OnRunStopped() {
  if (m_Attached) WriteTrialUnderWay();
  FinishRun();
}

void WatcherDriver::FinishRun() {
  if (!m_Attached) return;
  bool shown = false;
  ErrorInfo err;
  ResumeNext(err, [&] {
    if (m_Settings.ShowEndOptions && !NobodyToAsk() && !TimerStopAcknowledged()) {
      const auto deadline = Clock::now() + kShowModallyWait;
      bool asked = false;
      while (m_Attached && !NobodyToAsk() && Clock::now() < deadline) {
        Pump(true);
        asked = WatcherChannels::ReadBool(ChannelWatcherSentCommandToShowItModally);
        if (asked || TimerStopAcknowledged()) break;
        QThread::msleep(20);
      }
      if (asked && m_Attached && !NobodyToAsk()) {
        // Returns when the user has closed the window; the Watcher disposes of the manager itself.
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [this] { CancelModalIfNeeded(); });
        watch.start(100);
        m_Modal = true;
        Call(QStringLiteral("ShowWatcherModally"), {}, true);
        m_Modal = false;
        shown = !m_ModalCancelled;
      }
    }
  });
  if (err) Detach(err.Description);
  if (!m_Attached) return;
  ReadChoices(shown);
  if (!m_Settings.FrontierChartPath.empty() && !m_Settings.EfficientFrontier.empty()) ChartFrontier();
  if (!shown && !m_ModalCancelled) ResumeNext([&] { Call(QStringLiteral("Dispose")); });
}

void WatcherDriver::ChartFrontier() {
  // The points as the trial log holds them: the last progress step of each optimization.
  FrontierChart chart;
  const Constraint& c = m_Model.Constraints().front();
  chart.XTitle = c.Name + (c.Compare == Comparison::AtMost ? " <= X" : " >= X");
  chart.YTitle = m_Model.ObjectiveText();
  for (std::size_t i = 0; i < m_Settings.EfficientFrontier.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i + 1);
    std::int32_t trials = 0, steps = 0;
    if (GdLogGetRecordCounts2WVB(m_LogPath.c_str(), &trials, index, &steps) != 0 || steps < 1) continue;
    std::int32_t elapsed = 0, trial = 0;
    double without = 0, with = 0;
    GdLogRecordInfo info{};
    if (GdLogReadRecordWVB(m_LogPath.c_str(), steps, index, &elapsed, &without, &with, &trial, nullptr,
                           nullptr, nullptr, 0, nullptr, 0, &info) == 0)
      chart.Points.emplace_back(m_Settings.EfficientFrontier[i], without);
  }
  const QString data = QStringLiteral("/com/orrendel/CorvanaAddin8/Ranges/FrontierPoints");
  const QString placement = QStringLiteral("/com/orrendel/CorvanaAddin8/Ranges/FrontierChart");
  m_HostApplication->SetFrontierRanges(data, std::move(chart), placement, m_Settings.FrontierChartPath);
  ErrorInfo err;
  ResumeNext(err, [&] {
    Call(QStringLiteral("EFGraphChartInExcel"),
         {HostRef(wire::kHostApplicationPath),
          QVariant::fromValue(wire::BusObjectRef{m_Bus.baseService(), QDBusObjectPath(placement)}),
          QVariant::fromValue(wire::BusObjectRef{m_Bus.baseService(), QDBusObjectPath(data)})});
  });
  if (m_HostApplication->ChartWritten().empty())
    m_ChartError = err ? err.Description : "The Watcher made no chart of the frontier.";
}

void WatcherDriver::ReadChoices(bool shownToUser) {
  ErrorInfo err;
  StopChoices c;
  if (ResumeNext(err, [&] {
        c.ShownToUser = shownToUser;
        c.GenerateOptimizationSummary = GetProperty("Stop_AtEndGenerateOptimizationSummary").toBool();
        c.WriteLogOfAllTrials = GetProperty("Stop_AtEndWriteLogOfAllTrials").toBool();
        c.WriteLogOfProgressSteps = GetProperty("Stop_AtEndWriteLogOfProgressSteps").toBool();
        c.SolutionToKeep = GetProperty("Stop_SolutionToKeep").toInt();
        c.ReportPlacement = GetProperty("ReportPlacement").toInt();
        c.FixSeed = GetProperty("Stop_ConstraintSolver_FixSeed").toBool();
      })) {
    m_Choices = c;
  } else if (m_AddinApplication && m_AddinApplication->Choices()) {
    // The manager is gone; the choices the window handed to our application object remain.
    m_Choices = m_AddinApplication->Choices();
  } else {
    Detach(err.Description);
  }
}

}  // namespace corvana::addin
