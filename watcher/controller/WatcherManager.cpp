#include "watcher/controller/WatcherManager.h"

#include <cmath>
#include <memory>

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/SurvivalMutex.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/ControllerServices.h"
#include "watcher/controller/EFGraph.h"
#include "watcher/controller/MainModule.h"
#include "watcher/controller/ModalDialogChanges.h"
#include "watcher/controller/SurvivalChecker.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WindowFactory.h"

namespace corvana {

namespace {

constexpr const char* kProductCode = "Corvana8";
constexpr long kProductIndex = 0;
constexpr const char* kTitle = "Corvana";

// The survival mutex that tells the suite a graphing process is alive; held until the process ends.
std::unique_ptr<SurvivalMutex>& WatcherMutex() {
  static std::unique_ptr<SurvivalMutex> mutex;
  return mutex;
}

std::string BoolText(bool value) {
  return value ? "True" : "False";
}

}  // namespace

WatcherManager::WatcherManager(std::shared_ptr<ControllerServices> services,
                               std::shared_ptr<WindowFactory> windowFactory)
    : m_Services(std::move(services)), m_WindowFactory(std::move(windowFactory)) {
  if (!m_Services) RaiseApplicationError("WatcherManager", "No window system was given.");
  if (!m_WindowFactory) RaiseApplicationError("WatcherManager", "No window factory was given.");
}

WatcherManager::~WatcherManager() {
  if (g_WatcherManager == this) g_WatcherManager = nullptr;
}

void WatcherManager::Log(const std::string& line) {
  ResumeNext([&] { DebugLogFile::WriteLine(line); });
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void WatcherManager::Initialize() {
  Log("Entering WatcherManager.Initialize");
  try {
    if (m_Disposed)
      RaiseApplicationError("WatcherManager.Initialize", "This Watcher manager has been disposed.");
    if (!g_ApplicationInitialized) InitializeApplication(m_Services);
    const long language = ResourceServer::ProductLanguage(kProductIndex);
    const std::string tag = ResourceServer::LanguageTag(language);
    auto server = ResourceServer::Open(kProductCode, tag);
    // The running optimization keeps its server when a second one is refused.
    if (g_OptimizationUnderWay)
      RaiseApplicationError("WatcherManager.Initialize",
                            "Cannot optimize, because optimization is under way in another copy of Excel.");
    // The survival mutex comes first: when it cannot be taken nothing has changed, and the process
    // stays free for the next optimization.
    if (!WatcherMutex()) WatcherMutex() = std::make_unique<SurvivalMutex>(kWatcherSurvivalMutex);
    WatcherMutex()->Take();
    g_ResourceServer = std::move(server);
    g_OptimizationUnderWay = true;
  } catch (const ComError& e) {
    Log("Error in WatcherManager.Initialize: " + e.Description() + " (" + ComError::CodeText(e.Code()) + ")");
    throw;
  }
  Input_AllGeneNamesCol = Collection();
  Input_GroupNames = Collection();
  Input_GroupSolvingMethods = Collection();
  Input_AdjustableCellsFormatAsDateCol = Collection();
  Input_AtomicConstraintsFormatAsDateCol = Collection();
  Input_AtomicConstraintsStatisticCol = Collection();
  Input_ConstraintSolver_HardConstraintDescriptions = Collection();
  Input_ConstraintSolver_HardConstraintFormulas = Collection();
  Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial = Collection();
  Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final = Collection();
  Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final_Formatted = Collection();
  IDForGdLogReadRecordVB = 0;
  m_Initialized = true;
  g_WatcherManager = this;
  Log("Exiting WatcherManager.Initialize");
}

void WatcherManager::InitializeForms() {
  Log("Entering WatcherManager.InitializeForms");
  try {
    if (!m_Initialized || m_Disposed)
      RaiseApplicationError("WatcherManager.InitializeForms",
                            "InitializeForms needs a successful Initialize first.");
    if (m_FormWatcher)
      RaiseApplicationError("WatcherManager.InitializeForms", "The Watcher windows are loaded already.");
    ResumeNext([&] { Services().SetApplicationHelpFile(Input_MainHelpFilePath); });
    m_FormsEF = Input_EFPerformAnalysis;
    m_FormProgressSmall = m_WindowFactory->CreateSmallWindow(m_FormsEF);
    if (!m_FormProgressSmall)
      RaiseApplicationError("WatcherManager.InitializeForms", "The small progress window is not available.");
    m_FormProgressSmall->Initialize(*this);
    m_FormWatcher = m_WindowFactory->CreateWatcherWindow(m_FormsEF);
    if (!m_FormWatcher)
      RaiseApplicationError("WatcherManager.InitializeForms", "The Watcher window is not available.");
    m_FormWatcher->Initialize(*this);
  } catch (const ComError& e) {
    Log("Error in WatcherManager.InitializeForms: " + e.Description() + " (" + ComError::CodeText(e.Code()) +
        ")");
    throw;
  }
  Log("Exiting WatcherManager.InitializeForms");
}

// A shape that was not loaded has no windows, whatever the other shape holds.
WatcherWindow& WatcherManager::Full() const {
  if (!m_FormWatcher || m_FormsEF != Input_EFPerformAnalysis)
    RaiseApplicationError("WatcherManager", "The Watcher window is not loaded.");
  return *m_FormWatcher;
}

SmallWindow& WatcherManager::Small() const {
  if (!m_FormProgressSmall || m_FormsEF != Input_EFPerformAnalysis)
    RaiseApplicationError("WatcherManager", "The small progress window is not loaded.");
  return *m_FormProgressSmall;
}

void WatcherManager::OnEachWindow(void (*step)(ProgressWindow&)) const {
  ResumeNext([&] { step(Small()); });
  ResumeNext([&] { step(Full()); });
}

void WatcherManager::StopTimer() {
  Log("WATCHER: entering WatcherManager.StopTimer");
  ErrorInfo err;
  ResumeNext(err, [&] {
    auto& full = Full();
    full.SetStopTimer(true);
    full.SetTimerUpdateEnabled(false);
  });
  Log("WATCHER: exiting WatcherManager.StopTimer");
}

void WatcherManager::ShowWatcherModally() {
  const bool ef = Input_EFPerformAnalysis;
  const std::string smallName = ef ? "m_FormProgressSmallEF" : "m_FormProgressSmall";
  // Every step runs whatever failed before it; failures are only logged.
  const auto step = [this](auto&& statement) {
    ErrorInfo err;
    if (!ResumeNext(err, statement))
      Log("ShowWatcherModally, error ignored: " + err.Description + " (" +
          std::to_string(static_cast<std::int32_t>(err.Number)) + ")");
  };
  step([&] {
    if (WatcherShown) return;
    auto& small = Small();
    if (g_LoggingEnabled) Log("ShowWatcherModally, " + smallName + ".Visible: " + BoolText(small.Visible()));
    Log("ShowWatcherModally, about to hide small progress form.");
    small.Hide();
    if (g_LoggingEnabled)
      Log("ShowWatcherModally, after hide command, " + smallName + ".Visible: " + BoolText(small.Visible()));
  });
  ModalDialogChanges changes(m_Services);
  step([&] {
    auto& full = Full();
    changes.Initialize(Input_ExcelApplication, Input_ExcelAppHwnd, full.WindowId());
  });
  ++m_ModalDepth;
  step([&] { Full().Show(true); });
  --m_ModalDepth;
  step([&] { changes.Restore(); });
  step([&] { Dispose(); });
  if (m_ModalDepth == 0) {
    m_RetiredWatcher.reset();
    m_RetiredSmall.reset();
  }
}

void WatcherManager::Dispose() {
  if (m_Disposed) return;
  Log("WATCHER: entering WatcherManager.Dispose");
  ResumeNext([&] {
    if (LogTrialCount() > 0) GenerateProgressGraphFile();
  });
  Log("WATCHER, WatcherManager: after GenerateProgressGraphFile");
  UnloadAndRelease();
  Log("WATCHER: exiting WatcherManager.Dispose");
}

void WatcherManager::UnloadAndRelease() {
  if (m_Disposed) return;
  ErrorInfo err;
  WatcherWindow* full = m_FormWatcher.get();
  {
    ErrorInfo unloadErr;
    ResumeNext(unloadErr, [&] {
      if (!full) RaiseApplicationError("WatcherManager.Dispose", "The Watcher window is not loaded.");
      full->Hide();
    });
    Log("WATCHER, WatcherManager: HideAndUnloadDialog, hid dialog");
    ResumeNext(unloadErr, [&] {
      if (full) full->Unload();
    });
    Log("WATCHER, WatcherManager: HideAndUnloadDialog, unloaded form, Err: " + unloadErr.Description);
  }
  if (g_WatcherManager == this) g_WatcherManager = nullptr;
  Input_ExcelApplication.reset();
  Log("WATCHER, WatcherManager.Dispose: Set Input_ExcelApplication = Nothing");
  Input_Application.reset();
  Log("WATCHER, WatcherManager.Dispose: Set Input_Application = Nothing");
  Input_HalvardCallbacksObject = HostObjectRef();
  Log("WATCHER, WatcherManager.Dispose: Set Input_HalvardCallbacksObject = Nothing");
  Input_AllGeneNamesCol.Clear();
  Input_GroupNames.Clear();
  Input_GroupSolvingMethods.Clear();
  Input_AdjustableCellsFormatAsDateCol.Clear();
  Input_AtomicConstraintsFormatAsDateCol.Clear();
  Input_AtomicConstraintsStatisticCol.Clear();
  Input_ConstraintSolver_HardConstraintDescriptions.Clear();
  Input_ConstraintSolver_HardConstraintFormulas.Clear();
  Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial.Clear();
  Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final.Clear();
  Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final_Formatted.Clear();
  Input_NETApplication.reset();
  ResumeNext(err, [&] {
    if (m_FormWatcher) m_FormWatcher->Dispose();
  });
  if (m_ModalDepth > 0)
    m_RetiredWatcher = std::move(m_FormWatcher);
  else
    m_FormWatcher.reset();
  Log("WATCHER, WatcherManager.Dispose: Set m_FormWatcher = Nothing");
  if (m_FormProgressSmall) {
    ResumeNext(err, [&] { m_FormProgressSmall->Hide(); });
    ResumeNext(err, [&] { m_FormProgressSmall->Unload(); });
    ResumeNext(err, [&] { m_FormProgressSmall->Dispose(); });
  }
  if (m_ModalDepth > 0)
    m_RetiredSmall = std::move(m_FormProgressSmall);
  else
    m_FormProgressSmall.reset();
  // A controller refused by Initialize never owned the optimization: the running one keeps its state.
  if (m_Initialized) {
    g_StopRequested = false;
    g_OptimizationUnderWay = false;
    g_ResourceServer.reset();
  }
  Log("WATCHER, WatcherManager.Dispose: Set g_ResourceServer = Nothing");
  m_Disposed = true;
}

void WatcherManager::GenerateProgressGraphFile() {
  ResumeNext([&] {
    if (Input_EFPerformAnalysis || !m_FormWatcher || m_FormsEF) return;
    const double trials = LogTrialCount();
    const double axisMaximum = std::max(10.0, Utilities::RoundUpToOneSignificantDigit(trials));
    std::int32_t width = 0, height = 0;
    if (!Input_Application)
      RaiseApplicationError("GenerateProgressGraphFile", "The add-in application is not set.");
    Input_Application->ProgressGraphPictureSize(width, height);
    m_FormWatcher->SaveAllTrialsGraphPicture(Utilities::GetResourceString(5200), axisMaximum,
                                             Input_ProgressGraphPath, width, height);
  });
}

bool WatcherManager::OrrGraphModalDialogBeingDisplayed() {
  bool shown = false;
  ResumeNext([&] { shown = Full().OrrGraphModalDialogBeingDisplayed(); });
  return shown;
}

// ---------------------------------------------------------------------------------------------
// Questions and messages

bool WatcherManager::DisplayYesNoQueryWithHelp(const std::string& messageText,
                                               const std::string& /*p_HelpFilePath*/,
                                               std::int32_t p_HelpContextID, bool suppressible,
                                               bool displayAlertsOffResult) {
  if (!Input_DisplayAlerts && suppressible) return displayAlertsOffResult;
  const std::string help = WatcherOLShared::GetCommonString(5);
  const std::string yes = WatcherOLShared::GetCommonString(16);
  const std::string no = WatcherOLShared::GetCommonString(17);
  for (;;) {
    g_MessageBoxShown = true;
    int answer = 0;
    ++m_ModalDepth;
    const bool shown =
        ResumeNext([&] { answer = Services().MessageDialog(messageText, kTitle, help, yes, no); });
    --m_ModalDepth;
    g_MessageBoxShown = false;
    if (!shown) RaiseApplicationError("DisplayYesNoQueryWithHelp", "The question could not be shown.");
    if (answer != 1) return answer == 2;
    ShowHelp(p_HelpContextID);
  }
}

bool WatcherManager::DisplayYesNoQuery(const std::string& messageText, bool suppressible,
                                       bool displayAlertsOffResult) {
  if (!Input_DisplayAlerts && suppressible) return displayAlertsOffResult;
  g_MessageBoxShown = true;
  int answer = 0;
  ErrorInfo err;
  ++m_ModalDepth;
  ResumeNext(err, [&] { answer = Services().MessageBox(messageText, kTitle, 4); });
  --m_ModalDepth;
  g_MessageBoxShown = false;
  if (err) RaiseError(err.Number, err.Source, err.Description);
  return answer == 6;
}

void WatcherManager::DisplayMessage(const std::string& messageText, bool suppressible) {
  if (!Input_DisplayAlerts && suppressible) return;
  ++m_ModalDepth;
  ErrorInfo err;
  ResumeNext(err, [&] { Services().MessageBox(messageText, kTitle, 4096); });
  --m_ModalDepth;
  if (err) RaiseError(err.Number, err.Source, err.Description);
}

// ---------------------------------------------------------------------------------------------
// Switching windows

void WatcherManager::SwitchToWatcherWindow() {
  ResumeNext([&] {
    if (Input_ExcelApplication) Input_ExcelApplication->SetForeground();
  });
  ResumeNext([&] { Small().Hide(); });
  ResumeNext([&] { Small().SetTopMost(false); });
  ResumeNext([&] { Full().SetTopMost(true); });
  ResumeNext([&] { Full().Show(false); });
  ResumeNext([&] { Full().Activate(); });
  ResumeNext([&] {
    if (!Input_EFPerformAnalysis && Full().ColorGraphTabSelected()) Full().EnableColorGraphTimer();
  });
  WatcherShown = true;
}

void WatcherManager::SwitchToSmallWindow() {
  ResumeNext([&] {
    if (Input_ExcelApplication) Input_ExcelApplication->SetForeground();
  });
  ResumeNext([&] { Full().Hide(); });
  ResumeNext([&] { Full().SetTopMost(false); });
  ResumeNext([&] { Small().SetTopMost(true); });
  ResumeNext([&] { Small().Show(false); });
  ResumeNext([&] { Small().Activate(); });
  WatcherShown = false;
  TellXLWatcherWindowChanged();
}

void WatcherManager::SetWatcherExcelUpdateButtonState(bool value) {
  ResumeNext([&] { Full().SetExcelUpdateButtonState(value); });
}

void WatcherManager::SetSmallWindowExcelUpdateButtonState(bool value) {
  ResumeNext([&] {
    if (!Input_EFPerformAnalysis) Small().SetExcelUpdateButtonState(value);
  });
}

std::int32_t WatcherManager::GetTopPropertyOfVisibleForm() {
  const double top = WatcherShown ? Full().Top() : Small().Top();
  return static_cast<std::int32_t>(std::nearbyint(top));
}

std::int32_t WatcherManager::WatcherProcessID() {
  return g_WatcherProcessID;
}

HostObjectRef WatcherManager::EFGraphChartInExcel(const std::shared_ptr<HostApplication>& p_ExcelApplication,
                                                  const HostObjectRef& p_GraphPlacementRange,
                                                  const HostObjectRef& p_GraphDataRange) {
  HostObjectRef chart;
  ErrorInfo err;
  ResumeNext(err, [&] {
    if (!g_EFGraph)
      RaiseApplicationError("EFGraphChartInExcel", "The efficient-frontier graph is not loaded.");
    if (!p_ExcelApplication)
      RaiseApplicationError("EFGraphChartInExcel", "The Excel application is not set.");
    constexpr std::int32_t kBlue = 16711680;
    g_EFGraph->SetSeriesColor(1, kBlue);
    chart = p_ExcelApplication->CreateChart(p_GraphDataRange, p_GraphPlacementRange, 2,
                                            g_EFGraph->SeriesColor(1));
  });
  if (err) {
    ResumeNext([&] { Services().MessageBox(err.Description, kTitle, 0); });
    return {};
  }
  return chart;
}

}  // namespace corvana
