#include "watcher/controller/WatcherManager.h"

#include <cmath>
#include <memory>

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/MarkerValues.h"
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
#include "watcher/controller/XLWatcherChannels.h"
#include "watcher/engine/GdLib.h"

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

ControllerServices& Services() {
  if (!g_Services) RaiseApplicationError("WatcherManager", "No window system is installed.");
  return *g_Services;
}

std::string BoolText(bool value) {
  return value ? "True" : "False";
}

void CheckEngine(std::int32_t result, const std::string& method, const std::string& engineCall) {
  if (result < 0) GdLib::RaiseGdLibError(method, engineCall, result, false);
}

bool ReadBooleanChannel(int channel, const std::string& method) {
  Variant value(false);
  CheckEngine(GdLib::GdReadTempData(static_cast<std::int16_t>(channel), value, 2), method, "GdReadTempData");
  return value.ToBoolean();
}

std::int32_t ReadLongChannel(int channel, const std::string& method) {
  Variant value(std::int32_t{0});
  CheckEngine(GdLib::GdReadTempData(static_cast<std::int16_t>(channel), value, 4), method, "GdReadTempData");
  return value.ToLong();
}

double ReadDoubleChannel(int channel, const std::string& method) {
  Variant value(0.0);
  CheckEngine(GdLib::GdReadTempData(static_cast<std::int16_t>(channel), value, 8), method, "GdReadTempData");
  return value.ToDouble();
}

void WriteBooleanChannel(int channel, bool value, const std::string& method) {
  CheckEngine(GdLib::GdWriteTempData(static_cast<std::int16_t>(channel), Variant(value), 2), method,
              "GdWriteTempData");
}

void WriteLongChannel(int channel, std::int32_t value, const std::string& method) {
  CheckEngine(GdLib::GdWriteTempData(static_cast<std::int16_t>(channel), Variant(value), 4), method,
              "GdWriteTempData");
}

}  // namespace

WatcherManager::WatcherManager() = default;

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
    if (!g_ApplicationInitialized) InitializeApplication();
    const long language = ResourceServer::ProductLanguage(kProductIndex);
    const std::string tag = ResourceServer::LanguageTag(language);
    auto server = ResourceServer::Open(kProductCode, tag);
    // The running optimization keeps its server when a second one is refused.
    if (g_OptimizationUnderWay)
      RaiseApplicationError("WatcherManager.Initialize",
                            "Cannot optimize, because optimization is under way in another copy of Excel.");
    g_ResourceServer = std::move(server);
    g_OptimizationUnderWay = true;
    if (!WatcherMutex()) WatcherMutex() = std::make_unique<SurvivalMutex>(kWatcherSurvivalMutex);
    WatcherMutex()->Take();
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
    if (m_FormWatcher || m_FormWatcherEF)
      RaiseApplicationError("WatcherManager.InitializeForms", "The Watcher windows are loaded already.");
    if (!g_WindowFactory)
      RaiseApplicationError("WatcherManager.InitializeForms", "No window factory is installed.");
    ResumeNext([&] { Services().SetApplicationHelpFile(Input_MainHelpFilePath); });
    const bool ef = Input_EFPerformAnalysis;
    auto& small = ef ? m_FormProgressSmallEF : m_FormProgressSmall;
    auto& full = ef ? m_FormWatcherEF : m_FormWatcher;
    small = g_WindowFactory->CreateSmallWindow(ef);
    if (!small)
      RaiseApplicationError("WatcherManager.InitializeForms", "The small progress window is not available.");
    small->Initialize(*this);
    full = g_WindowFactory->CreateWatcherWindow(ef);
    if (!full)
      RaiseApplicationError("WatcherManager.InitializeForms", "The Watcher window is not available.");
    full->Initialize(*this);
  } catch (const ComError& e) {
    Log("Error in WatcherManager.InitializeForms: " + e.Description() + " (" + ComError::CodeText(e.Code()) +
        ")");
    throw;
  }
  Log("Exiting WatcherManager.InitializeForms");
}

// The windows of the shape Input_EFPerformAnalysis names; the other pair is never touched.
namespace {
template <class W>
W& Active(const std::unique_ptr<W>& single, const std::unique_ptr<W>& ef, bool efShape, const char* what) {
  const auto& window = efShape ? ef : single;
  if (!window) RaiseApplicationError("WatcherManager", std::string(what) + " is not loaded.");
  return *window;
}
}  // namespace

void WatcherManager::StopTimer() {
  Log("WATCHER: entering WatcherManager.StopTimer");
  ErrorInfo err;
  ResumeNext(err, [&] {
    auto& full = Active(m_FormWatcher, m_FormWatcherEF, Input_EFPerformAnalysis, "The Watcher window");
    full.SetStopTimer(true);
    full.SetTimerUpdateEnabled(false);
  });
  Log("WATCHER: exiting WatcherManager.StopTimer");
}

void WatcherManager::ShowWatcherModally() {
  const bool ef = Input_EFPerformAnalysis;
  const std::string smallName = ef ? "m_FormProgressSmallEF" : "m_FormProgressSmall";
  ResumeNext([&] {
    if (WatcherShown) return;
    auto& small = Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window");
    if (g_LoggingEnabled) Log("ShowWatcherModally, " + smallName + ".Visible: " + BoolText(small.Visible()));
    Log("ShowWatcherModally, about to hide small progress form.");
    small.Hide();
    if (g_LoggingEnabled)
      Log("ShowWatcherModally, after hide command, " + smallName + ".Visible: " + BoolText(small.Visible()));
  });
  ModalDialogChanges changes;
  ResumeNext([&] {
    auto& full = Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window");
    changes.Initialize(Input_ExcelApplication, Input_ExcelAppHwnd, full.WindowId());
  });
  ++m_ModalDepth;
  ResumeNext([&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").Show(true); });
  --m_ModalDepth;
  ResumeNext([&] { changes.Restore(); });
  Dispose();
  if (m_ModalDepth == 0) {
    m_RetiredWatcher.reset();
    m_RetiredSmall.reset();
  }
}

void WatcherManager::Dispose() {
  if (m_Disposed) return;
  ErrorInfo err;
  const bool ef = Input_EFPerformAnalysis;
  Log("WATCHER: entering WatcherManager.Dispose");
  ResumeNext(err, [&] {
    if (LogTrialCount() > 0) GenerateProgressGraphFile();
  });
  Log("WATCHER, WatcherManager: after GenerateProgressGraphFile");
  WatcherWindow* full = ef ? m_FormWatcherEF.get() : m_FormWatcher.get();
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
  auto& fullOwner = ef ? m_FormWatcherEF : m_FormWatcher;
  ResumeNext(err, [&] {
    if (fullOwner) fullOwner->Dispose();
  });
  if (m_ModalDepth > 0)
    m_RetiredWatcher = std::move(fullOwner);
  else
    fullOwner.reset();
  Log("WATCHER, WatcherManager.Dispose: Set m_FormWatcher = Nothing");
  auto& smallOwner = ef ? m_FormProgressSmallEF : m_FormProgressSmall;
  if (smallOwner) {
    ResumeNext(err, [&] { smallOwner->Hide(); });
    ResumeNext(err, [&] { smallOwner->Unload(); });
    ResumeNext(err, [&] { smallOwner->Dispose(); });
  }
  if (m_ModalDepth > 0)
    m_RetiredSmall = std::move(smallOwner);
  else
    smallOwner.reset();
  // A controller refused by Initialize never owned the optimization: the running one keeps its state.
  if (m_Initialized) {
    g_StopRequested = false;
    g_OptimizationUnderWay = false;
    g_ResourceServer.reset();
  }
  Log("WATCHER, WatcherManager.Dispose: Set g_ResourceServer = Nothing");
  m_Disposed = true;
  Log("WATCHER: exiting WatcherManager.Dispose");
}

void WatcherManager::GenerateProgressGraphFile() {
  ResumeNext([&] {
    if (Input_EFPerformAnalysis || !m_FormWatcher) return;
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
  ResumeNext([&] {
    shown = Active(m_FormWatcher, m_FormWatcherEF, Input_EFPerformAnalysis, "The Watcher window")
                .OrrGraphModalDialogBeingDisplayed();
  });
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
  const bool ef = Input_EFPerformAnalysis;
  ResumeNext([&] {
    if (Input_ExcelApplication) Input_ExcelApplication->SetForeground();
  });
  ResumeNext(
      [&] { Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").Hide(); });
  ResumeNext([&] {
    Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").SetTopMost(false);
  });
  ResumeNext([&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").SetTopMost(true); });
  ResumeNext([&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").Show(false); });
  ResumeNext([&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").Activate(); });
  ResumeNext([&] {
    if (!ef && m_FormWatcher && m_FormWatcher->ColorGraphTabSelected())
      m_FormWatcher->EnableColorGraphTimer();
  });
  WatcherShown = true;
}

void WatcherManager::SwitchToSmallWindow() {
  const bool ef = Input_EFPerformAnalysis;
  ResumeNext([&] {
    if (Input_ExcelApplication) Input_ExcelApplication->SetForeground();
  });
  ResumeNext([&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").Hide(); });
  ResumeNext([&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").SetTopMost(false); });
  ResumeNext([&] {
    Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").SetTopMost(true);
  });
  ResumeNext([&] {
    Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").Show(false);
  });
  ResumeNext([&] {
    Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").Activate();
  });
  WatcherShown = false;
  TellXLWatcherWindowChanged();
}

void WatcherManager::SetWatcherExcelUpdateButtonState(bool value) {
  ResumeNext([&] {
    Active(m_FormWatcher, m_FormWatcherEF, Input_EFPerformAnalysis, "The Watcher window")
        .SetExcelUpdateButtonState(value);
  });
}

void WatcherManager::SetSmallWindowExcelUpdateButtonState(bool value) {
  ResumeNext([&] {
    if (Input_EFPerformAnalysis) return;
    Active(m_FormProgressSmall, m_FormProgressSmallEF, false, "The small progress window")
        .SetExcelUpdateButtonState(value);
  });
}

std::int32_t WatcherManager::GetTopPropertyOfVisibleForm() {
  const bool ef = Input_EFPerformAnalysis;
  const double top =
      WatcherShown
          ? Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").Top()
          : Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").Top();
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

// ---------------------------------------------------------------------------------------------
// Run control

void WatcherManager::BothDialogs_Update(bool forceUpdateOfEverything, bool& updateLastResult) {
  if (g_StopRequested) return;
  const bool ef = Input_EFPerformAnalysis;
  const std::string handle = std::to_string(Input_PopHandle);
  Log("WatcherManager.BothDialogs_Update: about to call GdPopLock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopLock(Input_PopHandle); });
  Log("WatcherManager.BothDialogs_Update: GdPopLock returned");
  ResumeNext(
      [&] { Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").Update(); });
  ResumeNext([&] {
    Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window")
        .Update(forceUpdateOfEverything, updateLastResult);
  });
  Log("WatcherManager.BothDialogs_Update: about to call GdPopUnlock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopUnlock(Input_PopHandle); });
  Log("WatcherManager.BothDialogs_Update: GdPopUnlock returned");
}

void WatcherManager::BothDialogs_GoToPausingConfig() {
  const bool ef = Input_EFPerformAnalysis;
  ResumeNext([&] {
    Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window").GoToPausingConfig();
  });
  ResumeNext([&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").GoToPausingConfig(); });
}

namespace {
// Each window on its own, so one that fails does not keep the other in the wrong state.
template <class Small, class Full>
void OnBoth(const std::unique_ptr<Small>& small, const std::unique_ptr<Small>& smallEF,
            const std::unique_ptr<Full>& full, const std::unique_ptr<Full>& fullEF, bool ef,
            const std::function<void(SmallWindow&)>& onSmall,
            const std::function<void(WatcherWindow&)>& onFull) {
  ResumeNext([&] { onSmall(Active(small, smallEF, ef, "The small progress window")); });
  ResumeNext([&] { onFull(Active(full, fullEF, ef, "The Watcher window")); });
}
}  // namespace

void WatcherManager::CommandPauseOptimization_ProcessClick() {
  const std::string about =
      "WATCHER: CommandPauseOptimization_ProcessClick, about to call GdPopSetRunStatus, "
      "Me.Input_PopHandle=" +
      std::to_string(Input_PopHandle);
  const std::string returned = "WATCHER: CommandPauseOptimization_ProcessClick, GdPopSetRunStatus returned";
  if (Input_MCoreOptimization) {
    Log(about);
    ResumeNext([&] { GdLib::GdPopSetRunStatus(Input_PopHandle, GdRunStatusPaused); });
    Log(returned);
    bool updateLastResult = true;
    BothDialogs_Update(true, updateLastResult);
    BothDialogs_GoToPausingConfig();
    TellXLWatcherWindowChanged();
    return;
  }
  ResumeNext([&] { GdLib::GdPopLock(Input_PopHandle); });
  ResumeNext([&] {
    const std::int16_t status = GdLib::GdPopGetRunStatus(Input_PopHandle);
    CheckEngine(status, "CommandPauseOptimization_ProcessClick", "GdPopGetRunStatus");
    if (status == GdRunStatusStopped) return;
    Log(about);
    WaitingAfterPauseClicked = true;
    GdLib::GdPopSetRunStatus(Input_PopHandle, GdRunStatusMarkToPause);
    Log(returned);
  });
  ResumeNext([&] { GdLib::GdPopUnlock(Input_PopHandle); });
}

std::string WatcherManager::StopQuestionText() {
  return Utilities::StopQuestionText(Input_EFPerformAnalysis);
}

std::string WatcherManager::MoveOnQuestionText() {
  return Utilities::MoveOnQuestionText(Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final);
}

void WatcherManager::CommandStopOptimization_ProcessClick() {
  const bool ef = Input_EFPerformAnalysis;
  const std::string handle = std::to_string(Input_PopHandle);
  const std::string smallName = ef ? "m_FormProgressSmallEF" : "m_FormProgressSmall";
  if (g_LoggingEnabled) Log("CommandStopOptimization_ProcessClick: entering");
  Log("CommandStopOptimization_ProcessClick: about to call GdPopLock with " + handle);
  ResumeNext([&] { GdLib::GdPopLock(Input_PopHandle); });
  Log("GdPopLock Me.Input_PopHandle returned");

  auto disableBoth = [&] {
    Log("CommandStopOptimization_ProcessClick, about to call " + smallName +
        ".ControlsAfterStopClickedDisableEnable False");
    ResumeNext([&] {
      Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window")
          .ControlsAfterStopClickedDisableEnable(false);
    });
    Log("CommandStopOptimization_ProcessClick, about to call "
        "m_FormWatcher.ControlsAfterStopClickedDisableEnable False");
    ResumeNext([&] {
      Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window")
          .ControlsAfterStopClickedDisableEnable(false);
    });
  };
  auto setStatus = [&](std::int16_t status, const char* statusName) {
    Log(std::string(
            "CommandStopOptimization_ProcessClick, about to call GdPopSetRunStatus Me.Input_PopHandle, ") +
        statusName);
    std::int16_t result = 0;
    ResumeNext([&] { result = GdLib::GdPopSetRunStatus(Input_PopHandle, status); });
    Log("CommandStopOptimization_ProcessClick, GdPopSetRunStatus returned: " + std::to_string(result));
  };
  // Asked with the population locked; a failed question counts as No.
  auto askStop = [&] {
    bool yes = false;
    ResumeNext([&] { yes = DisplayYesNoQuery(StopQuestionText(), true, true); });
    if (yes) {
      disableBoth();
      setStatus(GdRunStatusMarkToStop, "GdRunStatusMarkToStop");
    } else {
      OnBoth(
          m_FormProgressSmall, m_FormProgressSmallEF, m_FormWatcher, m_FormWatcherEF, ef,
          [](SmallWindow& w) { w.UpdateRunPauseButtons(); },
          [](WatcherWindow& w) { w.UpdateRunPauseButtons(); });
    }
  };

  std::int16_t status = 0;
  const bool statusRead = ResumeNext([&] {
    status = GdLib::GdPopGetRunStatus(Input_PopHandle);
    CheckEngine(status, "CommandStopOptimization_ProcessClick", "GdPopGetRunStatus");
  });
  if (statusRead && status != GdRunStatusStopped) {
    Log("Evaluated \"GdLib.GdPopGetRunStatus(Me.Input_PopHandle) <> GdRunStatusStopped\" as True");
    if (Input_MCoreOptimization) {
      g_StopRequested = true;
      askStop();
      g_StopRequested = false;
    } else {
      int configuration = 1;
      ResumeNext([&] {
        configuration =
            Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").ButtonConfiguration();
      });
      if (configuration == 2) {
        Log("CommandStopOptimization_ProcessClick, PAUSED");
        askStop();
      } else {
        Log("CommandStopOptimization_ProcessClick, RUNNING");
        disableBoth();
        WaitingAfterStopClicked = true;
        setStatus(GdRunStatusMarkToPause, "GdRunStatusMarkToPause");
      }
    }
  }
  Log("CommandStopOptimization_ProcessClick, about to call GdPopUnlock with " + handle);
  ResumeNext([&] { GdLib::GdPopUnlock(Input_PopHandle); });
  Log("CommandStopOptimization_ProcessClick, GdPopUnlock returned");
}

void WatcherManager::CommandResumeOptimization_ProcessClick() {
  const bool ef = Input_EFPerformAnalysis;
  OnBoth(
      m_FormProgressSmall, m_FormProgressSmallEF, m_FormWatcher, m_FormWatcherEF, ef,
      [](SmallWindow& w) { w.GoToRunningConfig(); }, [](WatcherWindow& w) { w.GoToRunningConfig(); });
  Log("WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus");
  ResumeNext([&] { GdLib::GdPopSetRunStatus(Input_PopHandle, GdRunStatusOptimizing); });
  Log("WATCHER: CommandResumeOptimization_ProcessClick, GdPopSetRunStatus returned");
  ResumeNext(
      [&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").SetResumeSignalTicks(3); });
}

void WatcherManager::ProcessPausedMessageFromExcel() {
  const bool ef = Input_EFPerformAnalysis;
  Log("WatcherManager.ProcessPausedMessageFromExcel: entering");
  Log("WatcherManager.ProcessPausedMessageFromExcel, Me.WaitingAfterPauseClicked=" +
      BoolText(WaitingAfterPauseClicked));
  Log("WatcherManager.ProcessPausedMessageFromExcel, Me.WaitingAfterStopClicked=" +
      BoolText(WaitingAfterStopClicked));
  auto setStatus = [&](std::int16_t status, const std::string& about, const std::string& returned) {
    Log(about);
    ResumeNext([&] { GdLib::GdPopSetRunStatus(Input_PopHandle, status); });
    if (!returned.empty()) Log(returned);
  };

  if (WaitingAfterPauseClicked) {
    WaitingAfterPauseClicked = false;
    bool updateLastResult = true;
    BothDialogs_Update(true, updateLastResult);
    BothDialogs_GoToPausingConfig();
    TellXLWatcherWindowChanged();
  }

  if (WaitingAfterStopClicked) {
    Log("WATCHER: ProcessPausedMessageFromExcel, WaitingAfterStopClicked is True");
    WaitingAfterStopClicked = false;
    Log("FormProgress.ProcessPausedMessageFromExcel: about to call Me.BothDialogs_Update True, True");
    bool updateLastResult = true;
    BothDialogs_Update(true, updateLastResult);
    bool yes = false;
    ResumeNext([&] { yes = DisplayYesNoQuery(StopQuestionText(), true, true); });
    if (yes) {
      setStatus(GdRunStatusMarkToStop,
                "WATCHER: ProcessPausedMessageFromExcel, about to call GdPopSetRunStatus Me.Input_PopHandle, "
                "GdRunStatusMarkToStop",
                "WATCHER: ProcessPausedMessageFromExcel, GdPopSetRunStatus returned");
    } else {
      OnBoth(
          m_FormProgressSmall, m_FormProgressSmallEF, m_FormWatcher, m_FormWatcherEF, ef,
          [](SmallWindow& w) { w.ControlsAfterStopClickedDisableEnable(true); },
          [](WatcherWindow& w) { w.ControlsAfterStopClickedDisableEnable(true); });
      OnBoth(
          m_FormProgressSmall, m_FormProgressSmallEF, m_FormWatcher, m_FormWatcherEF, ef,
          [](SmallWindow& w) { w.UpdateRunPauseButtons(); },
          [](WatcherWindow& w) { w.UpdateRunPauseButtons(); });
      setStatus(GdRunStatusOptimizing,
                "WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus "
                "Me.Input_PopHandle, "
                "GdRunStatusOptimizing",
                "WATCHER: CommandResumeOptimization_ProcessClick, GdPopSetRunStatus returned");
      ResumeNext(
          [&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").SetResumeSignalTicks(3); });
    }
  }

  if (WaitingAfterEFNextOptimizationClicked) {
    Log("WATCHER: ProcessPausedMessageFromExcel, WaitingAfterEFNextOptimizationClicked is True");
    WaitingAfterEFNextOptimizationClicked = false;
    double underWay = 0;
    ResumeNext([&] { underWay = WatcherOLShared::GetEFNumOptimizationUnderWay(); });
    if (underWay == Input_EFNumConstrainingValues) {
      setStatus(
          GdRunStatusOptimizing,
          "WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus "
          "Me.Input_PopHandle, "
          "GdRunStatusOptimizing, because we got to the last optimization, and there's no point in asking "
          "about moving to next one",
          "");
    } else {
      bool yes = false;
      ResumeNext([&] { yes = DisplayYesNoQuery(MoveOnQuestionText(), true, true); });
      if (yes) {
        setStatus(
            GdRunStatusMarkToMoveToNextOptimization,
            "WATCHER: ProcessPausedMessageFromExcel, about to call GdPopSetRunStatus Me.Input_PopHandle, "
            "GdRunStatusMarkToMoveToNextOptimization",
            "WATCHER: ProcessPausedMessageFromExcel, GdPopSetRunStatus returned");
      } else {
        setStatus(GdRunStatusOptimizing,
                  "WATCHER: CommandResumeOptimization_ProcessClick, about to call GdPopSetRunStatus "
                  "Me.Input_PopHandle, GdRunStatusOptimizing, because user said no to prompt",
                  "WATCHER: CommandResumeOptimization_ProcessClick, GdPopSetRunStatus returned");
      }
    }
    ResumeNext(
        [&] { Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window").SetResumeSignalTicks(3); });
    OnBoth(
        m_FormProgressSmall, m_FormProgressSmallEF, m_FormWatcher, m_FormWatcherEF, ef,
        [](SmallWindow& w) { w.ControlsAfterStopClickedDisableEnable(true); },
        [](WatcherWindow& w) { w.ControlsAfterStopClickedDisableEnable(true); });
    OnBoth(
        m_FormProgressSmall, m_FormProgressSmallEF, m_FormWatcher, m_FormWatcherEF, ef,
        [](SmallWindow& w) { w.UpdateRunPauseButtons(); },
        [](WatcherWindow& w) { w.UpdateRunPauseButtons(); });
  }
  Log("WatcherManager.ProcessPausedMessageFromExcel: exiting");
}

// ---------------------------------------------------------------------------------------------
// Channel protocol

void WatcherManager::ReadStoppingOptionsFromWatcher() {
  const std::string method = "ReadStoppingOptionsFromWatcher";
  ResumeNext([&] {
    Stop_AtEndGenerateOptimizationSummary =
        ReadBooleanChannel(ChannelStopGenerateOptimizationSummary, method);
  });
  ResumeNext(
      [&] { Stop_AtEndWriteLogOfAllTrials = ReadBooleanChannel(ChannelStopWriteLogOfAllTrials, method); });
  ResumeNext([&] {
    Stop_AtEndWriteLogOfProgressSteps = ReadBooleanChannel(ChannelStopWriteLogOfProgressSteps, method);
  });
  ResumeNext([&] { Stop_SolutionToKeep = ReadLongChannel(ChannelStopSolutionToKeep, method); });
}

bool WatcherManager::GetFirstTrialInfoSentByXL(std::int32_t& p_GraphAllTrialsInitialNumTrialsShown,
                                               std::int32_t& p_NumLastTrialsToShow) {
  const std::string method = "GetFirstTrialInfoSentByXL";
  Log("About to call GdLib.GdReadTempData ChannelFirstTrialInfoAvailable, l_InfoAvailable, 2");
  const bool available = ReadBooleanChannel(ChannelFirstTrialInfoAvailable, method);
  Log("GetFirstTrialInfoSentByXL, l_InfoAvailable=" + BoolText(available));
  if (available) {
    p_GraphAllTrialsInitialNumTrialsShown =
        ReadLongChannel(ChannelGraphAllTrialsInitialNumTrialsShown, method);
    p_NumLastTrialsToShow = ReadLongChannel(ChannelNumLastTrialsToShow, method);
    if (!(p_GraphAllTrialsInitialNumTrialsShown > 0 && p_NumLastTrialsToShow > 0))
      Log("ERROR: GetFirstTrialInfoSentByXL, p_GraphAllTrialsInitialNumTrialsShown=" +
          std::to_string(p_GraphAllTrialsInitialNumTrialsShown) +
          ", p_NumLastTrialsToShow=" + std::to_string(p_NumLastTrialsToShow));
  }
  return available;
}

void WatcherManager::InitializeAfterFirstTrialIfReady() {
  // Any failure leaves the hand-shake for the next tick.
  ResumeNext([&] {
    Log("About to call GetFirstTrialInfoSentByXL");
    std::int32_t allTrialsShown = 0, lastTrialsShown = 0;
    if (!GetFirstTrialInfoSentByXL(allTrialsShown, lastTrialsShown)) return;
    Log("WatcherManager.InitializeAfterFirstTrialIfReady: Ready");
    const bool ef = Input_EFPerformAnalysis;
    Active(m_FormWatcher, m_FormWatcherEF, ef, "The Watcher window")
        .InitializeAfterFirstTrial(allTrialsShown, lastTrialsShown);
    Active(m_FormProgressSmall, m_FormProgressSmallEF, ef, "The small progress window")
        .InitializeAfterFirstTrial();
    GotInitializedAfterFirstTrial = true;
    Log("WatcherManager.InitializeAfterFirstTrialIfReady: about to TellXLInitializedAfterFirstTrial");
    TellXLInitializedAfterFirstTrial();
  });
}

void WatcherManager::TellXLInitializedAfterFirstTrial() {
  ResumeNext([&] {
    WriteBooleanChannel(ChannelWatcherInitializedAfterFirstTrial, true, "TellXLInitializedAfterFirstTrial");
  });
}

void WatcherManager::CheckForXLRequestToAskUserAboutSolverAndProcess() {
  if (m_AskedUserAboutSolver) return;
  std::int32_t answer = 0;
  const bool ok = ResumeNext([&] {
    Log("CheckForXLRequestToAskUserAboutSolverAndProcess, about to read from channel");
    const std::int32_t n =
        ReadLongChannel(ChannelAskUserAboutSolver, "CheckForXLRequestToAskUserAboutSolverAndProcess");
    Log("CheckForXLRequestToAskUserAboutSolverAndProcess, read from channel: " + std::to_string(n));
    if (n <= 0) return;
    // The question is about the small single-optimization window only; without it the step fails.
    SmallWindow& small = Active(m_FormProgressSmall, m_FormProgressSmall, false, "The small progress window");
    const bool visible = small.Visible();
    if (visible) small.SetTopMost(false);
    const bool yes = DisplayYesNoQueryWithHelp(Utilities::SolverQuestionText(n), Input_MainHelpFilePath,
                                               11200, true, true);
    answer = yes ? -1 : -2;
    m_AskedUserAboutSolver = true;
    if (visible) small.SetTopMost(true);
  });
  if (!ok) answer = -2;
  if (answer < 0) SendAnswerToXLAboutConstraintSolver(answer);
}

void WatcherManager::SendAnswerToXLAboutConstraintSolver(std::int32_t answer) {
  ResumeNext([&] {
    Log("SendAnswerToXLAboutConstraintSolver, about to write: " + std::to_string(answer));
    WriteLongChannel(ChannelAskUserAboutSolver, answer, "SendAnswerToXLAboutConstraintSolver");
    Log("SendAnswerToXLAboutConstraintSolver, line returned");
  });
}

void WatcherManager::
    CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest() {
  static const std::string kName =
      "CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest";
  std::int32_t answer = -1;
  const bool ok = ResumeNext([&] {
    if (g_LoggingEnabled) Log(kName + ", about to read from channel");
    const std::int32_t n = ReadLongChannel(ChannelAskUserAboutInconsistentConstraints, kName);
    if (g_LoggingEnabled) Log(kName + ", read from channel: " + std::to_string(n));
    if (n > 0) answer = DisplayYesNoQuery(Utilities::GetResourceString(5201), true, true) ? -1 : -2;
  });
  if (!ok) answer = -1;
  SendAnswerToXLAboutInconsistentConstraints(answer);
}

void WatcherManager::SendAnswerToXLAboutInconsistentConstraints(std::int32_t answer) {
  ResumeNext([&] {
    Log("SendAnswerToXLAboutInconsistentConstraints, about to write: " + std::to_string(answer));
    WriteLongChannel(ChannelAskUserAboutInconsistentConstraints, answer,
                     "SendAnswerToXLAboutInconsistentConstraints");
    Log("SendAnswerToXLAboutInconsistentConstraints, line returned");
  });
}

void WatcherManager::ChannelWatcherSentCommandToShowItModally() {
  ErrorInfo err;
  Log("About to call GdLib.GdWriteTempData XLWatcherChannels.ChannelWatcherSentCommandToShowItModally, True, "
      "2 "
      "(XLWatcherChannels.ChannelWatcherSentCommandToShowItModally=" +
      std::to_string(static_cast<int>(corvana::ChannelWatcherSentCommandToShowItModally)) + ")");
  ResumeNext(err, [&] {
    WriteBooleanChannel(corvana::ChannelWatcherSentCommandToShowItModally, true,
                        "ChannelWatcherSentCommandToShowItModally");
  });
  Log("GdWriteTempData returned, Err: " + err.Description);
}

void WatcherManager::SendShowExcelRecalculationsToXL(std::int32_t value) {
  ResumeNext(
      [&] { WriteLongChannel(ChannelShowExcelRecalculations, value, "SendShowExcelRecalculationsToXL"); });
}

void WatcherManager::TellXLWatcherWindowChanged() {
  ResumeNext([&] { WriteBooleanChannel(ChannelWatcherWindowChanged, true, "TellXLWatcherWindowChanged"); });
}

bool WatcherManager::OLToldWatcherToStopTimer() {
  bool told = false;
  ResumeNext([&] { told = ReadBooleanChannel(ChannelOLToldWatcherToStopTimer, "OLToldWatcherToStopTimer"); });
  return told;
}

bool WatcherManager::TellOLWatcherStoppedTimer() {
  ResumeNext([&] { WriteBooleanChannel(ChannelWatcherStoppedTimer, true, "TellOLWatcherStoppedTimer"); });
  return false;
}

// ---------------------------------------------------------------------------------------------
// Progress figures

namespace {
double ChannelFigure(int channel, const std::string& name) {
  double value = 0;
  ResumeNext([&] {
    const std::string prefix = "WatcherManger, " + name + ", ";
    DebugLogFile::WriteLine(prefix + "about to call GdReadTempData");
    value = ReadDoubleChannel(channel, name);
    DebugLogFile::WriteLine(prefix + "GdReadTempData returned: " + DoubleToText(value));
  });
  return value;
}
}  // namespace

double WatcherManager::NumIterations() {
  return ChannelFigure(ChannelNumIterations, "NumIterations");
}

double WatcherManager::NumIterationsInCompletedSimulation() {
  return ChannelFigure(ChannelNumIterationsInCompletedSimulation, "NumIterationsInCompletedSimulation");
}

double WatcherManager::NumTrialUnderWay() {
  return ChannelFigure(ChannelNumTrialUnderWay, "NumTrialUnderWay");
}

std::int32_t WatcherManager::ElapsedTicks() {
  std::int32_t ticks = 0;
  ResumeNext([&] {
    Log("WatcherManger, ElapsedTicks, about to call GdPopGetTimerValue, popHandle=" +
        std::to_string(Input_PopHandle));
    const std::int32_t value = GdLib::GdPopGetTimerValue(Input_PopHandle);
    Log("WatcherManger, ElapsedTicks, GdPopGetTimerValue returned");
    CheckEngine(value, "ElapsedTicks", "GdPopGetTimerValue");
    ticks = value;
  });
  return ticks;
}

double WatcherManager::getGendaraResult(std::int32_t organism) {
  double objectiveValue = 0;
  ResumeNext([&] {
    Log("WatcherManager.getGendaraResult: entering");
    Log("WatcherManager.getGendaraResult: about to call GdOrgGetResult(" + std::to_string(Input_PopHandle) +
        ", " + std::to_string(organism) + ", tempValue, objectiveValue, ByVal 0&, flags)");
    double tempValue = 0, objective = 0;
    std::int32_t flags = 0;
    const std::int16_t result = GdLib::GdOrgGetResult(Input_PopHandle, organism, tempValue, objective, flags);
    Log("WatcherManager.getGendaraResult: GdOrgGetResult returned: " + std::to_string(result));
    if (result != 0)
      Log("Error calling GdOrgGetResult in getGendaraResult: " + std::to_string(result));
    else
      objectiveValue = objective;
    Log("WatcherManager.getGendaraResult: exiting");
  });
  return objectiveValue;
}

double WatcherManager::LogTrialCount() {
  double count = 0;
  ResumeNext([&] { count = GdLib::Log_GetTrialCount(Input_LogPath); });
  return count;
}

double WatcherManager::LogValidTrialCount() {
  double count = 0;
  ResumeNext([&] { count = GdLib::Log_GetValidTrialCount(Input_LogPath); });
  return count;
}

bool WatcherManager::LogHasProgressSteps() {
  bool has = false;
  ResumeNext([&] { has = GdLib::Log_GetProgressStepCount(Input_LogPath) >= 1; });
  return has;
}

double WatcherManager::ObjectiveValueForSolution(std::int32_t which) {
  double value = 0;
  ResumeNext(
      [&] { value = GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(Input_LogPath, which); });
  return value;
}

double WatcherManager::BestObjectiveValue() {
  return ObjectiveValueForSolution(GdLib::kWhichBest);
}

double WatcherManager::OriginalObjectiveValue() {
  return ObjectiveValueForSolution(GdLib::kWhichOriginal);
}

double WatcherManager::BestTrialNumber() {
  double number = 0;
  ResumeNext([&] { number = GdLib::Log_GetBestTrialNumber(Input_LogPath); });
  return number;
}

bool WatcherManager::AdjustableCellValuesForSolution(std::int32_t which, std::vector<double>& values) {
  bool read = false;
  ResumeNext(
      [&] { read = GdLib::Log_GetAdjustableCellValuesForBestOriginalLast(Input_LogPath, which, values); });
  return read;
}

double WatcherManager::EFFrontierObjective(std::int32_t index) {
  double objective = 0;
  ResumeNext([&] {
    std::int32_t record = 0, trial = 0;
    std::vector<double> values;
    double withoutPenalties = 0;
    objective =
        GdLib::Log_EFGetFrontierSolution(Input_LogPath, index, record, trial, values, withoutPenalties);
  });
  return objective;
}

std::int32_t WatcherManager::EFFrontierTrialNumber(std::int32_t index) {
  std::int32_t trial = 0;
  ResumeNext([&] {
    std::int32_t record = 0;
    std::vector<double> values;
    double withoutPenalties = 0;
    GdLib::Log_EFGetFrontierSolution(Input_LogPath, index, record, trial, values, withoutPenalties);
  });
  return trial;
}

std::string WatcherManager::FormatTargetValue(double value) {
  std::string text;
  ResumeNext([&] {
    text =
        WatcherOLShared::FormatValueForStatistic(Variant(value), Input_TargetCellValuesTreatedAsDates, false,
                                                 Input_StatisticToOptimize != 12, Input_StatisticToOptimize);
  });
  return text;
}

std::string WatcherManager::FormatEFConstrainedValue(double value) {
  std::string text;
  ResumeNext([&] {
    text = WatcherOLShared::FormatValueForStatistic(
        Variant(value), Input_EFConstrainedCellValuesTreatedAsDate, false, Input_EFConstrainedStatistic != 12,
        Input_EFConstrainedStatistic);
  });
  return text;
}

std::string WatcherManager::GetProgressStatusText() {
  std::string text;
  ResumeNext([&] {
    using Utilities::GetResourceString;
    const std::string runTime = GetResourceString(2454, Utilities::FormatElapsedTime(ElapsedTicks()));
    if (Input_EFPerformAnalysis) {
      text = GetResourceString(2461, NumTrialUnderWay()) + " " + runTime;
      return;
    }
    const double trials = LogTrialCount();
    const double valid = LogValidTrialCount();
    const double best = BestObjectiveValue();
    const double original = OriginalObjectiveValue();
    auto format = [&](double v) {
      return Input_ConstraintSolverMode ? Utilities::ConstraintSolverValueText(v, true)
                                        : FormatTargetValue(v);
    };
    const std::string bestText = IsSpecialValue(best)
                                     ? GetResourceString(2463, WatcherOLShared::FormatNumberDefault(best))
                                     : GetResourceString(2464, format(best), BestTrialNumber());
    const std::string originalText = GetResourceString(2465, format(original));
    if (Input_ConstraintSolverMode) {
      const std::string gap = "    ";
      text = GetResourceString(
                 4510, static_cast<std::int32_t>(Input_ConstraintSolver_HardConstraintDescriptions.Count())) +
             gap + bestText + gap + originalText + gap + GetResourceString(2461, valid) + gap + runTime;
      return;
    }
    const std::string trialsText =
        trials == valid ? GetResourceString(2461, valid) : GetResourceString(2462, trials, valid);
    text = bestText + " " + originalText + " " + trialsText + " " + runTime;
  });
  return text;
}

void WatcherManager::ShowHelp(std::int32_t helpContextID) {
  ResumeNext([&] {
    if (Input_NETApplication) Input_NETApplication->ShowHelp(helpContextID);
  });
}

}  // namespace corvana
