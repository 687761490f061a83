#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Collection.h"
#include "watcher/controller/AddinApplication.h"
#include "watcher/controller/ControllerServices.h"
#include "watcher/controller/HelpHost.h"
#include "watcher/controller/HostApplication.h"
#include "watcher/controller/HostObjectRef.h"
#include "watcher/controller/SmallWindow.h"
#include "watcher/controller/WatcherWindow.h"
#include "watcher/controller/WindowFactory.h"

namespace corvana {

// The add-in's controller object: inputs, end-of-run outputs, the windows of one shape, run
// control, the channel protocol and the figures the windows show. Everything runs on the UI
// thread.
class WatcherManager {
 public:
  // The services reach the window system; the factory makes the windows of the shape asked for.
  WatcherManager(std::shared_ptr<ControllerServices> services, std::shared_ptr<WindowFactory> windowFactory);
  ~WatcherManager();
  WatcherManager(const WatcherManager&) = delete;
  WatcherManager& operator=(const WatcherManager&) = delete;

  // ---- Properties set by the add-in (plain values) ----
  std::int32_t ShowExcelRecalculations = 1;
  bool Input_DisplayAlerts = false;
  std::int32_t Input_PopHandle = 0;
  bool Input_OptimizationStartedFromGUI = false;
  std::string Input_LogPath;
  std::string Input_MainHelpFilePath;
  std::int32_t Input_PopulationSize = 0;
  std::int32_t Input_NumConstraints = 0;
  double Input_Runtime_TrialCount = 0;
  std::int32_t Input_Runtime_NumIterations = 0;
  double Input_Runtime_Milliseconds = 0;
  std::int32_t Input_ExcelAppHwnd = 0;
  std::int32_t Input_ExcelProcessID = 0;
  bool Input_DisallowInteractionWithExcelWindow = false;
  std::shared_ptr<HostApplication> Input_ExcelApplication;
  std::shared_ptr<AddinApplication> Input_Application;
  HostObjectRef Input_HalvardCallbacksObject;  // stored and released, never called
  Collection Input_AllGeneNamesCol;
  Collection Input_GroupNames;
  Collection Input_GroupSolvingMethods;
  bool Input_TargetCellValuesTreatedAsDates = false;
  std::int32_t Input_StatisticToOptimize = 0;
  std::string Input_TargetCellNumberFormat;
  std::string Input_TargetCellNumberFormat_ShortIfDate;
  std::string Input_TargetCellNumberFormat_ShortIfDate_ForcedEnglish;
  bool Input_TargetCellNumberFormatIsLocal = false;
  Collection Input_AdjustableCellsFormatAsDateCol;
  Collection Input_AtomicConstraintsFormatAsDateCol;
  Collection Input_AtomicConstraintsStatisticCol;
  bool Input_EFConstrainedCellValuesTreatedAsDate = false;
  std::int32_t Input_EFConstrainedStatistic = 0;
  std::string Input_EFConstrainedCellNumberFormat;
  std::string Input_EFConstrainedCellNumberFormat_ShortIfDate;
  std::string Input_EFConstrainedCellNumberFormatIsLocal;  // a String, as the add-in passes it
  std::string Input_EFConstrainedCellNumberFormat_ShortIfDate_ForcedEnglish;
  bool Input_GAMutationIsAuto = false;
  bool Input_ConstraintSolverMode = false;
  Collection Input_ConstraintSolver_HardConstraintDescriptions;
  Collection Input_ConstraintSolver_HardConstraintFormulas;
  bool Input_ConstraintSolver_FixedSeed = false;
  std::int32_t Input_OptimizationEngine = 0;
  bool Input_MCoreOptimization = false;
  std::int32_t Input_MCoreNumWorkerProcesses = 0;
  bool Input_SuppressProgressWindow = false;
  std::string Input_ProgressGraphPath;
  std::int32_t Input_ExcelMajorVersion = 0;
  bool Input_EFPerformAnalysis = false;
  std::int32_t Input_EFNumConstrainingValues = 0;
  std::string Input_EFConstraintDisplayFormula_LHSide;
  std::string Input_EFConstraintOperatorAsString;
  std::string Input_EFConstraintFormula;
  std::int32_t Input_EFConstraintOperator = 0;
  Collection Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final;
  Collection Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial;
  Collection Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final_Formatted;
  std::int32_t Input_RuntimeGoalType = 0;
  double Input_RuntimeTargetValue = 0;
  std::string Input_OptimizationObjectiveStr;
  std::int32_t Input_TarnLibHVars = 0;
  std::shared_ptr<HelpHost> Input_NETApplication;

  // ---- Outputs and state flags ----
  bool Stop_AtEndShowOptionsToUser = false;
  bool Stop_AtEndGenerateOptimizationSummary = false;
  bool Stop_AtEndWriteLogOfAllTrials = false;
  bool Stop_AtEndWriteLogOfProgressSteps = false;
  std::int32_t Stop_SolutionToKeep = -1;
  bool Stop_ConstraintSolver_FixSeed = false;
  std::int32_t ReportPlacement = 0;
  bool WatcherShown = false;
  bool GotInitializedAfterFirstTrial = false;
  bool WaitingAfterPauseClicked = false;
  bool WaitingAfterStopClicked = false;
  bool WaitingAfterEFNextOptimizationClicked = false;
  std::int32_t IDForGdLogReadRecordVB = 0;

  // ---- Public operations of the add-in's interface ----
  // Raises 0x8004000A when another optimization is under way in this process.
  void Initialize();
  void InitializeForms();
  void StopTimer();
  // Returns when the user has closed the full window; ends with Dispose.
  void ShowWatcherModally();
  void Dispose();
  // Dispose without the progress graph picture: no engine read and no call to the add-in, for a
  // process that ends because the add-in is gone.
  void UnloadAndRelease();
  bool OrrGraphModalDialogBeingDisplayed();
  bool DisplayYesNoQueryWithHelp(const std::string& messageText, const std::string& p_HelpFilePath,
                                 std::int32_t p_HelpContextID, bool suppressible,
                                 bool displayAlertsOffResult);
  bool TellOLWatcherStoppedTimer();
  bool OLToldWatcherToStopTimer();
  void BothDialogs_Update(bool forceUpdateOfEverything, bool& updateLastResult);
  void BothDialogs_GoToPausingConfig();
  std::int32_t GetTopPropertyOfVisibleForm();
  std::int32_t WatcherProcessID();
  HostObjectRef EFGraphChartInExcel(const std::shared_ptr<HostApplication>& p_ExcelApplication,
                                    const HostObjectRef& p_GraphPlacementRange,
                                    const HostObjectRef& p_GraphDataRange);

  // ---- For the windows ----
  bool DisplayYesNoQuery(const std::string& messageText, bool suppressible, bool displayAlertsOffResult);
  void DisplayMessage(const std::string& messageText, bool suppressible);
  void SwitchToWatcherWindow();
  void SwitchToSmallWindow();
  void GenerateProgressGraphFile();
  void SetWatcherExcelUpdateButtonState(bool value);
  void SetSmallWindowExcelUpdateButtonState(bool value);

  // Run control.
  void CommandPauseOptimization_ProcessClick();
  void CommandStopOptimization_ProcessClick();
  void CommandResumeOptimization_ProcessClick();
  void ProcessPausedMessageFromExcel();

  // Channel protocol.
  void ReadStoppingOptionsFromWatcher();
  bool GetFirstTrialInfoSentByXL(std::int32_t& p_GraphAllTrialsInitialNumTrialsShown,
                                 std::int32_t& p_NumLastTrialsToShow);
  void InitializeAfterFirstTrialIfReady();
  void TellXLInitializedAfterFirstTrial();
  void CheckForXLRequestToAskUserAboutSolverAndProcess();
  void SendAnswerToXLAboutConstraintSolver(std::int32_t answer);
  void CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest();
  void SendAnswerToXLAboutInconsistentConstraints(std::int32_t answer);
  void ChannelWatcherSentCommandToShowItModally();
  void SendShowExcelRecalculationsToXL(std::int32_t value);
  void TellXLWatcherWindowChanged();

  // Progress figures: a figure that cannot be read is 0, False or empty.
  double NumIterations();
  double NumIterationsInCompletedSimulation();
  double NumTrialUnderWay();
  std::int32_t ElapsedTicks();
  double getGendaraResult(std::int32_t organism);
  double LogTrialCount();
  double LogValidTrialCount();
  bool LogHasProgressSteps();
  double BestObjectiveValue();
  double OriginalObjectiveValue();
  double ObjectiveValueForSolution(std::int32_t which);
  double BestTrialNumber();
  bool AdjustableCellValuesForSolution(std::int32_t which, std::vector<double>& values);
  double EFFrontierObjective(std::int32_t index);
  std::int32_t EFFrontierTrialNumber(std::int32_t index);
  std::string FormatTargetValue(double value);
  std::string FormatEFConstrainedValue(double value);
  std::string GetProgressStatusText();
  void ShowHelp(std::int32_t helpContextID);
  template <class Form>
  void ShowHelpForForm(const Form& form) {
    ShowHelp(form.HelpContextID());
  }

  // The windows of the active shape (null before InitializeForms and after Dispose).
  WatcherWindow* FullWindow() const noexcept { return m_FormWatcher.get(); }
  SmallWindow* SmallProgressWindow() const noexcept { return m_FormProgressSmall.get(); }
  ControllerServices& Services() const noexcept { return *m_Services; }
  bool Disposed() const noexcept { return m_Disposed; }
  bool Initialized() const noexcept { return m_Initialized; }
  // A modal window or a question of this controller is open.
  bool InModalLoop() const noexcept { return m_ModalDepth > 0; }

 private:
  void Log(const std::string& line);
  std::string MoveOnQuestionText();
  std::string StopQuestionText();
  // The window of the shape Input_EFPerformAnalysis names; raises when that shape is not loaded.
  WatcherWindow& Full() const;
  SmallWindow& Small() const;
  // Each window on its own, so one that fails does not keep the other in the wrong state.
  void OnEachWindow(void (*step)(ProgressWindow&)) const;

  std::shared_ptr<ControllerServices> m_Services;
  std::shared_ptr<WindowFactory> m_WindowFactory;
  // One slot per kind, holding the window of the shape chosen by InitializeForms.
  std::unique_ptr<WatcherWindow> m_FormWatcher;
  std::unique_ptr<SmallWindow> m_FormProgressSmall;
  bool m_FormsEF = false;
  // Windows disposed while one of them runs its modal loop, or while a question of this controller
  // is open over them (its window's handler waits below it), live on until the loop has returned.
  std::unique_ptr<WatcherWindow> m_RetiredWatcher;
  std::unique_ptr<SmallWindow> m_RetiredSmall;
  int m_ModalDepth = 0;
  bool m_AskedUserAboutSolver = false;
  bool m_Initialized = false;
  bool m_Disposed = false;
};

// Makes a controller with the program's services and window factory; the object server calls it
// for each manager the add-in creates.
using WatcherManagerMaker = std::function<std::unique_ptr<WatcherManager>()>;

}  // namespace corvana
