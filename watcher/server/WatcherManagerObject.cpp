#include "watcher/server/WatcherManagerObject.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <set>

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "watcher/server/BusAddinApplication.h"
#include "watcher/server/BusHelpHost.h"
#include "watcher/server/BusHostApplication.h"
#include "watcher/server/BusValues.h"
#include "watcher/ui/Platform.h"
#include "wire/BusNames.h"

namespace corvana::bus {

namespace {

using Validator32 = std::function<void(std::int32_t)>;

Validator32 InRange(std::int32_t low, std::int32_t high, const char* name) {
  return [=](std::int32_t value) {
    if (value < low || value > high)
      RaiseError(kErrInvalidArgument, name,
                 std::string("Invalid argument: ") + name + " must be " + std::to_string(low) + " to " +
                     std::to_string(high) + ", got " + std::to_string(value) + ".");
  };
}

Validator32 OneOf(std::set<std::int32_t> values, const char* name) {
  return [values = std::move(values), name](std::int32_t value) {
    if (!values.count(value))
      RaiseError(kErrInvalidArgument, name,
                 std::string("Invalid argument: ") + name + " cannot be " + std::to_string(value) + ".");
  };
}

std::optional<QList<QVariant>> None() {
  return QList<QVariant>{};
}

// The answer that leaves a box without consequence: Cancel, else No, else the only button; a box
// with captions by its last one (the question with help offers Help, Yes, No).
int DeclineAnswer(const ui::MessageBoxInfo& box) {
  if (!box.Captions.empty()) return static_cast<int>(box.Captions.size());
  const auto offered = ui::MsgBox::Answers(box.Buttons);
  for (int answer : {ui::MsgBox::kCancel, ui::MsgBox::kNo})
    if (std::find(offered.begin(), offered.end(), answer) != offered.end()) return answer;
  return offered.empty() ? ui::MsgBox::kOK : offered.front();
}

}  // namespace

WatcherManagerObject::WatcherManagerObject(QDBusConnection connection, QString path, QString owner,
                                           ui::Platform& platform, std::unique_ptr<WatcherManager> manager)
    : BusObject(std::move(connection), std::move(path), wire::kWatcherManagerInterface, std::move(owner)),
      m_Platform(platform),
      m_Manager(std::move(manager)) {
  AddMethods();
  AddProperties();
  AddReleaseMethod();
}

WatcherManagerObject::~WatcherManagerObject() {
  // The owner is gone or released it: its windows and inputs go with it.
  if (m_Manager->Initialized()) ResumeNext([&] { m_Manager->Dispose(); });
}

void WatcherManagerObject::OwnerGone() {
  if (!m_Manager->Initialized() || m_Manager->Disposed()) return;
  // No one is left to answer: the open questions are declined, then Dispose hides the windows,
  // which ends a modal window's loop; the calls waiting below return before the object goes.
  if (m_Manager->InModalLoop())
    for (const auto& box : m_Platform.OpenMessageBoxes())
      ResumeNext([&] { m_Platform.AnswerMessageBox(box.Id, DeclineAnswer(box)); });
  ResumeNext([&] { m_Manager->Dispose(); });
}

void WatcherManagerObject::AddProperties() {
  WatcherManager& m = *m_Manager;
  auto boolean = [&](const char* name, bool WatcherManager::*field) {
    AddProperty({name, "b", [&m, field] { return QVariant(m.*field); },
                 [&m, field, name](const QVariant& v) { m.*field = BoolFromBus(v, name); }});
  };
  auto long32 = [&](const char* name, std::int32_t WatcherManager::*field, Validator32 check = {}) {
    AddProperty({name, "i", [&m, field] { return QVariant(static_cast<int>(m.*field)); },
                 [&m, field, name, check](const QVariant& v) {
                   const std::int32_t value = LongFromBus(v, name);
                   if (check) check(value);
                   m.*field = value;
                 }});
  };
  auto real = [&](const char* name, double WatcherManager::*field) {
    AddProperty({name, "d", [&m, field] { return QVariant(m.*field); },
                 [&m, field, name](const QVariant& v) { m.*field = DoubleFromBus(v, name); }});
  };
  auto text = [&](const char* name, std::string WatcherManager::*field) {
    AddProperty({name, "s", [&m, field] { return QVariant(ToQ(m.*field)); },
                 [&m, field, name](const QVariant& v) { m.*field = StringFromBus(v, name); }});
  };
  auto collection = [&](const char* name, Collection WatcherManager::*field) {
    AddProperty({name, "av", [&m, field] { return ToBus(m.*field); },
                 [&m, field, name](const QVariant& v) { m.*field = CollectionFromBus(v, name); }});
  };
  auto reference = [&](const char* name, auto getRef, auto setRef) {
    AddProperty({name, "(so)", [getRef] { return ToBus(getRef()); },
                 [setRef, name](const QVariant& v) { setRef(RefFromBus(v, name)); }});
  };
  QDBusConnection connection = Connection();

  long32("ShowExcelRecalculations", &WatcherManager::ShowExcelRecalculations,
         InRange(1, 3, "ShowExcelRecalculations"));
  boolean("Input_DisplayAlerts", &WatcherManager::Input_DisplayAlerts);
  long32("Input_PopHandle", &WatcherManager::Input_PopHandle);
  boolean("Input_OptimizationStartedFromGUI", &WatcherManager::Input_OptimizationStartedFromGUI);
  text("Input_LogPath", &WatcherManager::Input_LogPath);
  text("Input_MainHelpFilePath", &WatcherManager::Input_MainHelpFilePath);
  long32("Input_PopulationSize", &WatcherManager::Input_PopulationSize);
  long32("Input_NumConstraints", &WatcherManager::Input_NumConstraints);
  real("Input_Runtime_TrialCount", &WatcherManager::Input_Runtime_TrialCount);
  long32("Input_Runtime_NumIterations", &WatcherManager::Input_Runtime_NumIterations);
  real("Input_Runtime_Milliseconds", &WatcherManager::Input_Runtime_Milliseconds);
  long32("Input_ExcelAppHwnd", &WatcherManager::Input_ExcelAppHwnd);
  long32("Input_ExcelProcessID", &WatcherManager::Input_ExcelProcessID);
  boolean("Input_DisallowInteractionWithExcelWindow",
          &WatcherManager::Input_DisallowInteractionWithExcelWindow);
  reference(
      "Input_ExcelApplication",
      [&m] { return m.Input_ExcelApplication ? m.Input_ExcelApplication->Reference() : HostObjectRef(); },
      [&m, connection](const HostObjectRef& ref) {
        m.Input_ExcelApplication =
            ref.IsNothing() ? nullptr : std::make_shared<BusHostApplication>(connection, ref);
      });
  reference(
      "Input_Application",
      [&m] { return m.Input_Application ? m.Input_Application->Reference() : HostObjectRef(); },
      [&m, connection](const HostObjectRef& ref) {
        m.Input_Application =
            ref.IsNothing() ? nullptr : std::make_shared<BusAddinApplication>(connection, ref);
      });
  reference(
      "Input_HalvardCallbacksObject", [&m] { return m.Input_HalvardCallbacksObject; },
      [&m](const HostObjectRef& ref) { m.Input_HalvardCallbacksObject = ref; });
  collection("Input_AllGeneNamesCol", &WatcherManager::Input_AllGeneNamesCol);
  collection("Input_GroupNames", &WatcherManager::Input_GroupNames);
  collection("Input_GroupSolvingMethods", &WatcherManager::Input_GroupSolvingMethods);
  boolean("Input_TargetCellValuesTreatedAsDates", &WatcherManager::Input_TargetCellValuesTreatedAsDates);
  long32("Input_StatisticToOptimize", &WatcherManager::Input_StatisticToOptimize,
         InRange(1, 12, "Input_StatisticToOptimize"));
  text("Input_TargetCellNumberFormat", &WatcherManager::Input_TargetCellNumberFormat);
  text("Input_TargetCellNumberFormat_ShortIfDate", &WatcherManager::Input_TargetCellNumberFormat_ShortIfDate);
  text("Input_TargetCellNumberFormat_ShortIfDate_ForcedEnglish",
       &WatcherManager::Input_TargetCellNumberFormat_ShortIfDate_ForcedEnglish);
  boolean("Input_TargetCellNumberFormatIsLocal", &WatcherManager::Input_TargetCellNumberFormatIsLocal);
  collection("Input_AdjustableCellsFormatAsDateCol", &WatcherManager::Input_AdjustableCellsFormatAsDateCol);
  collection("Input_AtomicConstraintsFormatAsDateCol",
             &WatcherManager::Input_AtomicConstraintsFormatAsDateCol);
  collection("Input_AtomicConstraintsStatisticCol", &WatcherManager::Input_AtomicConstraintsStatisticCol);
  boolean("Input_EFConstrainedCellValuesTreatedAsDate",
          &WatcherManager::Input_EFConstrainedCellValuesTreatedAsDate);
  long32("Input_EFConstrainedStatistic", &WatcherManager::Input_EFConstrainedStatistic,
         InRange(1, 12, "Input_EFConstrainedStatistic"));
  text("Input_EFConstrainedCellNumberFormat", &WatcherManager::Input_EFConstrainedCellNumberFormat);
  text("Input_EFConstrainedCellNumberFormat_ShortIfDate",
       &WatcherManager::Input_EFConstrainedCellNumberFormat_ShortIfDate);
  text("Input_EFConstrainedCellNumberFormatIsLocal",
       &WatcherManager::Input_EFConstrainedCellNumberFormatIsLocal);
  text("Input_EFConstrainedCellNumberFormat_ShortIfDate_ForcedEnglish",
       &WatcherManager::Input_EFConstrainedCellNumberFormat_ShortIfDate_ForcedEnglish);
  boolean("Input_GAMutationIsAuto", &WatcherManager::Input_GAMutationIsAuto);
  boolean("Input_ConstraintSolverMode", &WatcherManager::Input_ConstraintSolverMode);
  collection("Input_ConstraintSolver_HardConstraintDescriptions",
             &WatcherManager::Input_ConstraintSolver_HardConstraintDescriptions);
  collection("Input_ConstraintSolver_HardConstraintFormulas",
             &WatcherManager::Input_ConstraintSolver_HardConstraintFormulas);
  boolean("Input_ConstraintSolver_FixedSeed", &WatcherManager::Input_ConstraintSolver_FixedSeed);
  long32("Input_OptimizationEngine", &WatcherManager::Input_OptimizationEngine);
  boolean("Input_MCoreOptimization", &WatcherManager::Input_MCoreOptimization);
  long32("Input_MCoreNumWorkerProcesses", &WatcherManager::Input_MCoreNumWorkerProcesses);
  boolean("Stop_AtEndShowOptionsToUser", &WatcherManager::Stop_AtEndShowOptionsToUser);
  boolean("Stop_AtEndGenerateOptimizationSummary", &WatcherManager::Stop_AtEndGenerateOptimizationSummary);
  boolean("Stop_AtEndWriteLogOfAllTrials", &WatcherManager::Stop_AtEndWriteLogOfAllTrials);
  boolean("Stop_AtEndWriteLogOfProgressSteps", &WatcherManager::Stop_AtEndWriteLogOfProgressSteps);
  long32("Stop_SolutionToKeep", &WatcherManager::Stop_SolutionToKeep,
         OneOf({-1, -2, -5}, "Stop_SolutionToKeep"));
  boolean("Stop_ConstraintSolver_FixSeed", &WatcherManager::Stop_ConstraintSolver_FixSeed);
  boolean("Input_SuppressProgressWindow", &WatcherManager::Input_SuppressProgressWindow);
  boolean("WatcherShown", &WatcherManager::WatcherShown);
  boolean("GotInitializedAfterFirstTrial", &WatcherManager::GotInitializedAfterFirstTrial);
  boolean("WaitingAfterPauseClicked", &WatcherManager::WaitingAfterPauseClicked);
  boolean("WaitingAfterStopClicked", &WatcherManager::WaitingAfterStopClicked);
  boolean("WaitingAfterEFNextOptimizationClicked", &WatcherManager::WaitingAfterEFNextOptimizationClicked);
  long32("IDForGdLogReadRecordVB", &WatcherManager::IDForGdLogReadRecordVB);
  text("Input_ProgressGraphPath", &WatcherManager::Input_ProgressGraphPath);
  long32("Input_ExcelMajorVersion", &WatcherManager::Input_ExcelMajorVersion);
  boolean("Input_EFPerformAnalysis", &WatcherManager::Input_EFPerformAnalysis);
  long32("Input_EFNumConstrainingValues", &WatcherManager::Input_EFNumConstrainingValues);
  text("Input_EFConstraintDisplayFormula_LHSide", &WatcherManager::Input_EFConstraintDisplayFormula_LHSide);
  text("Input_EFConstraintOperatorAsString", &WatcherManager::Input_EFConstraintOperatorAsString);
  text("Input_EFConstraintFormula", &WatcherManager::Input_EFConstraintFormula);
  long32("Input_EFConstraintOperator", &WatcherManager::Input_EFConstraintOperator);
  collection("Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final",
             &WatcherManager::Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final);
  collection("Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial",
             &WatcherManager::Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial);
  collection("Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final_Formatted",
             &WatcherManager::Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final_Formatted);
  long32("Input_RuntimeGoalType", &WatcherManager::Input_RuntimeGoalType);
  real("Input_RuntimeTargetValue", &WatcherManager::Input_RuntimeTargetValue);
  text("Input_OptimizationObjectiveStr", &WatcherManager::Input_OptimizationObjectiveStr);
  long32("Input_TarnLibHVars", &WatcherManager::Input_TarnLibHVars);
  reference(
      "Input_NETApplication",
      [&m] { return m.Input_NETApplication ? m.Input_NETApplication->Reference() : HostObjectRef(); },
      [&m, connection](const HostObjectRef& ref) {
        m.Input_NETApplication = ref.IsNothing() ? nullptr : std::make_shared<BusHelpHost>(connection, ref);
      });
  long32("ReportPlacement", &WatcherManager::ReportPlacement);
  AddProperty({"OrrGraphModalDialogBeingDisplayed",
               "b",
               [&m] { return QVariant(m.OrrGraphModalDialogBeingDisplayed()); },
               {}});
}

void WatcherManagerObject::AddMethods() {
  WatcherManager& m = *m_Manager;
  auto simple = [&](const char* name, void (WatcherManager::*operation)()) {
    AddMethod({name, {}, {}, [&m, operation](const QDBusMessage&, const QList<QVariant>&) {
                 (m.*operation)();
                 return None();
               }});
  };
  AddMethod({"Initialize", {}, {}, [this](const QDBusMessage&, const QList<QVariant>&) {
               m_Manager->Initialize();
               if (OnInitialized) OnInitialized();
               return None();
             }});
  simple("InitializeForms", &WatcherManager::InitializeForms);
  simple("StopTimer", &WatcherManager::StopTimer);
  // Answers only when the user has closed the window. The modal loop runs from the event loop, not
  // inside this call, so other calls (and the survival check) go on meanwhile. It always completes:
  // the manager traps and logs what fails, on an uninitialized or disposed manager too.
  AddMethod({"ShowWatcherModally", {}, {}, [this](const QDBusMessage& call, const QList<QVariant>&) {
               QPointer<WatcherManagerObject> self(this);
               QTimer::singleShot(0, this, [self, call] {
                 if (!self) return;
                 ++self->m_BusyDepth;
                 self->m_Manager->ShowWatcherModally();
                 --self->m_BusyDepth;
                 self->SendLater(call.createReply());
               });
               return std::optional<QList<QVariant>>();
             }});
  simple("Dispose", &WatcherManager::Dispose);
  AddMethod({"DisplayYesNoQueryWithHelp",
             {{"messageText", "s"},
              {"p_HelpFilePath", "s"},
              {"p_HelpContextID", "i"},
              {"suppressible", "b"},
              {"displayAlertsOffResult", "b"}},
             {{"result", "b"}},
             [&m](const QDBusMessage&, const QList<QVariant>& a) {
               return std::optional<QList<QVariant>>(
                   QList<QVariant>{m.DisplayYesNoQueryWithHelp(FromQ(a[0].toString()), FromQ(a[1].toString()),
                                                               a[2].toInt(), a[3].toBool(), a[4].toBool())});
             }});
  AddMethod(
      {"TellOLWatcherStoppedTimer", {}, {{"result", "b"}}, [&m](const QDBusMessage&, const QList<QVariant>&) {
         return std::optional<QList<QVariant>>(QList<QVariant>{m.TellOLWatcherStoppedTimer()});
       }});
  AddMethod(
      {"OLToldWatcherToStopTimer", {}, {{"result", "b"}}, [&m](const QDBusMessage&, const QList<QVariant>&) {
         return std::optional<QList<QVariant>>(QList<QVariant>{m.OLToldWatcherToStopTimer()});
       }});
  AddMethod({"BothDialogs_Update",
             {{"forceUpdateOfEverything", "b"}, {"updateLastResult", "b"}},
             {{"updateLastResult", "b"}},
             [&m](const QDBusMessage&, const QList<QVariant>& a) {
               bool updateLastResult = a[1].toBool();
               m.BothDialogs_Update(a[0].toBool(), updateLastResult);
               return std::optional<QList<QVariant>>(QList<QVariant>{updateLastResult});
             }});
  simple("BothDialogs_GoToPausingConfig", &WatcherManager::BothDialogs_GoToPausingConfig);
  AddMethod(
      {"GetTopPropertyOfVisibleForm", {}, {{"top", "i"}}, [&m](const QDBusMessage&, const QList<QVariant>&) {
         return std::optional<QList<QVariant>>(
             QList<QVariant>{static_cast<int>(m.GetTopPropertyOfVisibleForm())});
       }});
  AddMethod({"WatcherProcessID", {}, {{"processId", "i"}}, [&m](const QDBusMessage&, const QList<QVariant>&) {
               return std::optional<QList<QVariant>>(QList<QVariant>{static_cast<int>(m.WatcherProcessID())});
             }});
  AddMethod(
      {"EFGraphChartInExcel",
       {{"p_ExcelApplication", "(so)"}, {"p_GraphPlacementRange", "(so)"}, {"p_GraphDataRange", "(so)"}},
       {{"chart", "(so)"}},
       [this](const QDBusMessage&, const QList<QVariant>& a) {
         const HostObjectRef excel = RefFromBus(a[0], "p_ExcelApplication");
         const auto application =
             excel.IsNothing() ? nullptr : std::make_shared<BusHostApplication>(Connection(), excel);
         const HostObjectRef chart = m_Manager->EFGraphChartInExcel(
             application, RefFromBus(a[1], "p_GraphPlacementRange"), RefFromBus(a[2], "p_GraphDataRange"));
         return std::optional<QList<QVariant>>(QList<QVariant>{ToBus(chart)});
       }});
}

}  // namespace corvana::bus
