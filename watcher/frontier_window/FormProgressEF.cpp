#include "watcher/frontier_window/FormProgressEF.h"

#include <array>

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/NumericHelpers.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/graph/OGrGraph.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/WindowUtilities.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {

namespace {

constexpr std::array<int, FormProgressEF::kTabCount> kTabCaptions = {4014, 4015, 4016, 4019};
constexpr std::array<int, FormProgressEF::kTabCount> kTabHelpContexts = {11090, 11080, 11110, 11130};

std::string BoolText(bool value) {
  return value ? "True" : "False";
}

std::string ErrorNumberText(const ErrorInfo& err) {
  return std::to_string(static_cast<std::int32_t>(err.Number));
}

}  // namespace

std::string FormProgressEF::Res(long id, const Variant& p1, const Variant& p2) {
  return Utilities::GetResourceString(id, p1, p2);
}

FormProgressEF::FormProgressEF(ui::Platform& platform)
    : ProgressForm(platform, "FormProgressEF"),
      TabMain(m_Form.Add<ui::TabControl>("TabMain", kTabCount)),
      OrrGraphAllTrials(m_Form.Add<ui::GraphControl>("OrrGraphAllTrials")),
      OrrGraphEfficientFrontier(m_Form.Add<ui::GraphControl>("OrrGraphEfficientFrontier")),
      LabelProgressStatus(m_Form.Add<ui::Label>("LabelProgressStatus")),
      SGGridSummary(m_Form.Add<ui::Grid>("SGGridSummary")),
      LabelBestSolutions(m_Form.Add<ui::Label>("LabelBestSolutions")),
      ComboLogType(m_Form.Add<ui::ComboBox>("ComboLogType")),
      LabelLogType(m_Form.Add<ui::Label>("LabelLogType")),
      SGGridLog(m_Form.Add<ui::Grid>("SGGridLog")),
      LabelEFAnalysisHasStopped(m_Form.Add<ui::Label>("LabelEFAnalysisHasStopped")),
      LabelStoppingStatus(m_Form.Add<ui::Label>("LabelStoppingStatus")),
      LabelReportsToGenerate(m_Form.Add<ui::Label>("LabelReportsToGenerate")),
      ComboReportPlacement(m_Form.Add<ui::ComboBox>("ComboReportPlacement")),
      CheckGenerateOptimizationSummary(m_Form.Add<ui::CheckBox>("CheckGenerateOptimizationSummary")),
      CheckWriteLogOfAllTrials(m_Form.Add<ui::CheckBox>("CheckWriteLogOfAllTrials")),
      CheckWriteLogsOfProgressSteps(m_Form.Add<ui::CheckBox>("CheckWriteLogsOfProgressSteps")),
      FrameSolutionDivider(m_Form.Add<ui::Label>("FrameSolutionDivider")),
      FrameReportsDivider(m_Form.Add<ui::Label>("FrameReportsDivider")),
      FrameBottomDivider(m_Form.Add<ui::Label>("FrameBottomDivider")),
      FrameBottom(m_Form.Add<ui::Frame>("FrameBottom")),
      CommandRun(m_Form.Add<ui::Button>("CommandRun")),
      CommandPause(m_Form.Add<ui::Button>("CommandPause")),
      CommandStop(m_Form.Add<ui::Button>("CommandStop")),
      CommandOK(m_Form.Add<ui::Button>("CommandOK")),
      CommandHelp(m_Form.Add<ui::Button>("CommandHelp")),
      CommandMinimizeWatcher(m_Form.Add<ui::Button>("CommandMinimizeWatcher")),
      TimerUpdate(m_Form.Add<ui::Timer>("TimerUpdate", 1000, false)),
      m_GridPopupMenu(m_Form.Add<ui::PopupMenu>("mnuGridPopup")) {
  for (int i = 0; i < kTabCount; ++i) {
    auto& frame = m_Form.Add<ui::Frame>("FrameTabMain(" + std::to_string(i) + ")");
    frame.SetBorderVisible(false);
    FrameTabMain.push_back(&frame);
  }
  const auto place = [](int tab, std::initializer_list<ui::Control*> controls) {
    for (auto* c : controls) c->SetContainer("FrameTabMain(" + std::to_string(tab) + ")");
  };
  place(TabProgress, {&OrrGraphAllTrials, &OrrGraphEfficientFrontier});
  place(TabSummary, {&LabelBestSolutions, &SGGridSummary});
  place(TabLog, {&LabelLogType, &ComboLogType, &SGGridLog});
  place(TabStoppingOptions,
        {&LabelEFAnalysisHasStopped, &LabelStoppingStatus, &FrameSolutionDivider, &LabelReportsToGenerate,
         &ComboReportPlacement, &FrameReportsDivider, &CheckGenerateOptimizationSummary,
         &CheckWriteLogOfAllTrials, &CheckWriteLogsOfProgressSteps});
  for (auto* b :
       {&CommandRun, &CommandPause, &CommandStop, &CommandOK, &CommandHelp, &CommandMinimizeWatcher})
    b->SetContainer("FrameBottom");
  for (auto* d : {&FrameSolutionDivider, &FrameReportsDivider, &FrameBottomDivider}) d->SetDivider(true);
  FrameBottom.SetBorderVisible(false);

  // Design texts; Initialize replaces them with the user's language.
  m_Form.SetCaption("Corvana Watcher (Efficient Frontier Analysis)");
  for (auto [i, text] : {std::pair{0, "&Progress"}, std::pair{1, "&Summary"}, std::pair{2, "&Log"},
                         std::pair{3, "Stopping &Options"}})
    TabMain.SetItemCaption(i, text);
  LabelBestSolutions.SetCaption("Best Solutions for Different Constraining Values");
  LabelLogType.SetCaption("Show");
  LabelEFAnalysisHasStopped.SetCaption("Efficient Frontier Analysis Stopped");
  LabelReportsToGenerate.SetCaption("Reports to Generate in");
  CheckGenerateOptimizationSummary.SetCaption("Opti&mization Summary");
  CheckWriteLogOfAllTrials.SetCaption("Log of &All Simulations/Trials");
  CheckWriteLogsOfProgressSteps.SetCaption("Logs of P&rogress Steps");

  CommandRun.SetPictureKey(ui::PictureKeys::kRun);
  CommandPause.SetPictureKey(ui::PictureKeys::kPause);
  CommandStop.SetPictureKey(ui::PictureKeys::kStop);
  CommandMinimizeWatcher.SetPictureKey(ui::PictureKeys::kMinimize);
  CommandHelp.SetPictureKey(ui::PictureKeys::kHelp);
  for (auto* b : {&CommandRun, &CommandPause, &CommandStop, &CommandMinimizeWatcher, &CommandHelp}) {
    b->SetWidth(1080);
    b->SetHeight(420);
  }
  CommandOK.SetWidth(1200);
  CommandOK.SetHeight(420);
  CommandOK.SetVisible(false);
  m_GridPopupMenu.AddItem("mnuGridPopup_Copy", "");

  TimerUpdate.Tick = [this] { TimerUpdate_Timer(); };
  CommandRun.Click = [this] { CommandRun_Click(); };
  CommandPause.Click = [this] { CommandPause_Click(); };
  CommandStop.Click = [this] { CommandStop_Click(); };
  CommandOK.Click = [this] { CommandOK_Click(); };
  CommandMinimizeWatcher.Click = [this] { CommandMinimizeWatcher_Click(); };
  CommandHelp.Click = [this] { CommandHelp_Click(); };
  TabMain.Click = [this](int previous) { TabMain_Click(previous); };
  ComboLogType.Click = [this] { ComboLogType_Click(); };
  for (auto* grid : {&SGGridSummary, &SGGridLog})
    grid->MouseUp = [this, grid](int button, int, int x, int y) { Grid_MouseUp(*grid, button, x, y); };
  m_Form.Load = [this] { Form_Load(); };
  m_Form.QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
  m_Form.Resize = [this] { Form_Resize(); };

  m_Form.SetBorderStyle(ui::BorderStyle::Sizable);
  m_Form.SetIconKey(ui::PictureKeys::kProgressIcon);
  m_Form.Move(0, 0, 14400, 9600);
  ShowSelectedFrame();
}

FormProgressEF::~FormProgressEF() = default;

// ---------------------------------------------------------------------------------------------
// Structure and configurations

void FormProgressEF::Initialize(WatcherManager& manager) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    Log("WATCHER: entering FormProgress.Initialize");
    m_Manager = &manager;
    m_UpdatingControls = true;
    TabMain.SetItemEnabled(TabSummary, false);
    TabMain.SetItemEnabled(TabLog, false);
    ui::WindowUtilities::SetFormIcon(m_Form);
    ComboReportPlacement.SetVisible(true);
    FrameBottom.SetBorderVisible(false);
    for (auto* f : FrameTabMain) f->SetBorderVisible(false);
    ApplyFormLocalization();
    ProgressTab_Initialize();
    GridInitialize();
    LoggingTab_Initialize();
    TabMain.SetSelectedIndex(TabProgress);
    m_Form.SetHelpContextID(kTabHelpContexts[TabProgress]);
    m_UpdatingControls = false;
    ShowSelectedFrame();
    GoToRunningConfig();
    Form_Resize();
    m_LastTop = m_Form.Top();
    m_LastLeft = m_Form.Left();
    Log("FormProgressEF.Initialize: about to activate timer");
    TimerUpdate.SetEnabled(true);
    Log("FormProgressEF.Initialize: activated timer");
  });
  m_UpdatingControls = false;
  if (!err) {
    Log("Exiting FormProgressEF.Initialize without error");
    return;
  }
  const std::string text =
      "Error in Watcher Initialize method: " + err.Description + " (" + ErrorNumberText(err) + ")";
  Log(text);
  RaiseApplicationError("FormProgressEF.Initialize", text);
}

void FormProgressEF::ApplyFormLocalization() {
  ResumeNext([&] { ui::WindowUtilities::ApplyFormLocalization(m_Form); });
  // One missing text leaves its control as it was; the others still get theirs.
  const auto caption = [](auto& control, long id) { ResumeNext([&] { control.SetCaption(Res(id)); }); };
  ResumeNext([&] {
    Res(4001);  // fetched with the caption, never shown
    m_Form.SetCaption(Res(4000));
  });
  const auto tip = [](ui::Button& button, long id) { ResumeNext([&] { button.SetToolTipText(Res(id)); }); };
  tip(CommandHelp, 4002);
  tip(CommandMinimizeWatcher, 4004);
  tip(CommandRun, 4005);
  tip(CommandPause, 4006);
  tip(CommandStop, 4007);
  caption(CommandOK, 4008);
  for (int i = 0; i < kTabCount; ++i) ResumeNext([&] { TabMain.SetItemCaption(i, Res(kTabCaptions[i])); });
  caption(LabelBestSolutions, 4070);
  caption(LabelLogType, 4025);
  caption(LabelEFAnalysisHasStopped, 4069);
  caption(LabelReportsToGenerate, 4072);
  caption(CheckGenerateOptimizationSummary, 4032);
  caption(CheckWriteLogOfAllTrials, 4034);
  caption(CheckWriteLogsOfProgressSteps, 4035);
  m_GridPopupMenu.Clear();
  std::string copy;
  ResumeNext([&] { copy = Res(4052); });
  m_GridPopupMenu.AddItem("mnuGridPopup_Copy", copy);
}

void FormProgressEF::ShowSelectedFrame() {
  const int selected = TabMain.SelectedIndex();
  for (int i = 0; i < kTabCount; ++i) {
    FrameTabMain[i]->SetVisible(i == selected);
    FrameTabMain[i]->SetEnabled(i == selected);
  }
}

void FormProgressEF::ApplyRunStateConfig() {
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  const bool stopping = m_RunState == RunState::Stopping;
  CommandRun.SetVisible(!stopping);
  CommandPause.SetVisible(!stopping);
  CommandStop.SetVisible(!stopping);
  CommandOK.SetVisible(stopping);
  if (stopping) {
    SetButtonPicture(CommandMinimizeWatcher, ui::PictureKeys::kMinimize, false);
    m_MinimizeLocked = true;
  }
  PressRunPauseButtons(CommandRun, CommandPause);
  TabMain.SetItemEnabled(TabStoppingOptions, stopping);
  m_Form.Refresh();
  m_UpdatingControls = wasUpdating;
}

void FormProgressEF::SetButtonPicture(ui::Button& button, const char* key, bool enabled) {
  button.SetPictureKey(enabled ? std::string(key) : ui::GreyPicture(key));
}

void FormProgressEF::ControlsAfterStopClickedDisableEnable(bool enable) {
  SetButtonPicture(CommandRun, ui::PictureKeys::kRun, enable);
  SetButtonPicture(CommandPause, ui::PictureKeys::kPause, enable);
  SetButtonPicture(CommandStop, ui::PictureKeys::kStop, enable);
  SetButtonPicture(CommandMinimizeWatcher, ui::PictureKeys::kMinimize, enable);
  m_RunPauseStopLocked = !enable;
  m_MinimizeLocked = !enable;
}

void FormProgressEF::UpdateRunPauseButtons() {
  const bool locked = m_RunPauseStopLocked;
  m_RunPauseStopLocked = true;
  PressRunPauseButtons(CommandRun, CommandPause);
  m_RunPauseStopLocked = locked;
}

bool FormProgressEF::OrrGraphModalDialogBeingDisplayed() const {
  const_cast<FormProgressEF*>(this)->Log(
      "FormProgressEF, about to check ModalDialogBeingDisplayed property of graphs");
  const bool shown =
      OrrGraphAllTrials.ModalDialogBeingDisplayed() || OrrGraphEfficientFrontier.ModalDialogBeingDisplayed();
  const_cast<FormProgressEF*>(this)->Log(
      "FormProgressEF, checked ModalDialogBeingDisplayed property of graphs");
  return shown;
}

void FormProgressEF::CheckWindowMoved() {
  if (m_Form.Top() == m_LastTop && m_Form.Left() == m_LastLeft) return;
  ResumeNext([&] { GdLib::GdWriteTempData(ChannelWatcherWindowChanged, Variant(true), 2); });
  m_LastTop = m_Form.Top();
  m_LastLeft = m_Form.Left();
}

// ---------------------------------------------------------------------------------------------
// Buttons, tabs, menus and window events

void FormProgressEF::SendFocusAway() {
  // No run button keeps a focus rectangle after it was used.
  TabMain.SetFocus();
}

void FormProgressEF::CommandRun_Click() {
  if (m_UpdatingControls || m_RunPauseStopLocked || !m_Manager) return;
  SendFocusAway();
  ResumeNext([&] { m_Manager->CommandResumeOptimization_ProcessClick(); });
}

void FormProgressEF::CommandPause_Click() {
  if (m_UpdatingControls || m_RunPauseStopLocked || !m_Manager) return;
  SendFocusAway();
  ResumeNext([&] { m_Manager->CommandPauseOptimization_ProcessClick(); });
}

void FormProgressEF::CommandStop_Click() {
  if (m_UpdatingControls || m_RunPauseStopLocked || !m_Manager) return;
  SendFocusAway();
  ResumeNext([&] { m_Manager->CommandStopOptimization_ProcessClick(); });
}

void FormProgressEF::CommandMinimizeWatcher_Click() {
  if (m_MinimizeLocked || !m_Manager) return;
  ResumeNext([&] { m_Manager->SwitchToSmallWindow(); });
}

void FormProgressEF::CommandHelp_Click() {
  if (m_Manager) ResumeNext([&] { m_Manager->ShowHelpForForm(*this); });
}

void FormProgressEF::TabMain_Click(int /*previousIndex*/) {
  ResumeNext([&] { m_Form.SetHelpContextID(kTabHelpContexts.at(TabMain.SelectedIndex())); });
  if (m_UpdatingControls) return;
  ShowSelectedFrame();
  // A tab just brought into view shows the figures of now, not of the last time it was shown.
  if (m_Manager && m_InitializedAfterFirstTrial && TabMain.SelectedIndex() == TabProgress)
    ResumeNext([&] {
      ProgressTab_UpdateGraphProgress();
      ProgressTab_UpdateGraphEfficientFrontier();
    });
}

void FormProgressEF::Grid_MouseUp(ui::Grid& grid, int button, int x, int y) {
  if (button != ui::kRightButton) return;
  ResumeNext([&] {
    m_MenuTargetGrid = &grid;
    const std::string key = m_Form.GetPlatform().ShowPopupMenu(m_GridPopupMenu, m_Form, &grid, x, y);
    if (key == "mnuGridPopup_Copy") ui::WindowUtilities::CopyGridToClipboard(m_Form.GetPlatform(), grid);
  });
}

void FormProgressEF::Form_Load() {
  PlaceAtTopRightOfHostWindow();
}

void FormProgressEF::Form_QueryUnload(bool& cancel, int unloadMode) {
  // Only the manager closes this window.
  if (unloadMode == ui::kUnloadFormControlMenu || unloadMode == ui::kUnloadAppTaskManager) cancel = true;
}

void FormProgressEF::Dispose() {
  TimerUpdate.SetEnabled(false);
  OrrGraphAllTrials.SetGraph(nullptr);
  OrrGraphEfficientFrontier.SetGraph(nullptr);
  m_ProgressGraph.reset();
  m_EFGraph.reset();
  m_Steps.Clear();
  m_CurveIDs.clear();
  SGGridLog.SetDataSource(nullptr);
  if (m_LogServer) m_LogServer->Dispose();
  m_LogServer.reset();
  m_Manager = nullptr;
  Log("WATCHER, FormProgressEF.Dispose: Set m_Manager = Nothing");
}

// ---------------------------------------------------------------------------------------------
// The tick and the update

void FormProgressEF::TimerUpdate_Timer() {
  Log("WATCHER: entering TimerUpdate_Timer, Me.StopTimer=" + BoolText(m_StopTimer));
  if (m_StopTimer || !m_Manager) return;
  Log("WATCHER: entering TimerUpdate_Timer, past Me.StopTimer check");
  WatcherManager& m = *m_Manager;
  Log("TimerUpdate_Timer, past If Not m_Manager.FormsGotInitialized Then m_Manager.InitializeFormsIfReady");
  ResumeNext([&] {
    if (!m.Input_ConstraintSolverMode) m.CheckForXLRequestToAskUserAboutSolverAndProcess();
  });
  ResumeNext([&] {
    if (!m.Input_ConstraintSolverMode)
      m.CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest();
  });
  ResumeNext([&] {
    if (!m.GotInitializedAfterFirstTrial) m.InitializeAfterFirstTrialIfReady();
  });

  std::int32_t status = 0;
  ResumeNext([&] { status = GdLib::GdPopGetRunStatus(m.Input_PopHandle); });
  if (status != GdRunStatusStopped && m_ResumeSignalTicks > 0) {
    --m_ResumeSignalTicks;
    ResumeNext([&] { m.TellXLWatcherWindowChanged(); });
  }

  status = 0;
  ResumeNext([&] { status = GdLib::GdPopGetRunStatus(m.Input_PopHandle); });
  if (status == GdRunStatusPaused) {
    // Also in a multi-process run; a pending move to the next optimization counts too.
    Log("TimerUpdate_Timer: received message from Excal that status is GdRunStatusPaused");
    Log("TimerUpdate_Timer, m_Manager.WaitingAfterPauseClicked=" + BoolText(m.WaitingAfterPauseClicked));
    Log("TimerUpdate_Timer, m_Manager.WaitingAfterStopClicked=" + BoolText(m.WaitingAfterStopClicked));
    if (m.WaitingAfterPauseClicked || m.WaitingAfterStopClicked || m.WaitingAfterEFNextOptimizationClicked)
      ResumeNext([&] { m.ProcessPausedMessageFromExcel(); });
  } else if (status == GdRunStatusStopped) {
    m_StopTimer = true;
    TimerUpdate.SetEnabled(false);
    ResumeNext([&] {
      bool updateLastResult = true;
      m.BothDialogs_Update(true, updateLastResult);
    });
    if (m.Stop_AtEndShowOptionsToUser) {
      ResumeNext([&] { m.ReadStoppingOptionsFromWatcher(); });
      ResumeNext([&] { GoToStoppingConfig(); });
      ResumeNext([&] {
        if (!m.WatcherShown) m.SwitchToWatcherWindow();
      });
      // A minimized window would come up as an icon when shown modally.
      if (m_Form.State() == ui::WindowState::Minimized)
        ResumeNext([&] { m_Form.SetWindowState(ui::WindowState::Normal); });
      ResumeNext([&] { m_Form.Hide(); });
      ResumeNext([&] { m.ChannelWatcherSentCommandToShowItModally(); });
    }
  } else {
    ResumeNext([&] {
      bool updateLastResult = false;
      m.BothDialogs_Update(false, updateLastResult);
    });
  }

  // The manager may have been let go by a call above (the add-in disposed it meanwhile).
  if (!m_Manager) return;
  bool stopRequested = false;
  ResumeNext([&] { stopRequested = m.OLToldWatcherToStopTimer(); });
  if (stopRequested) {
    m_StopTimer = true;
    TimerUpdate.SetEnabled(false);
    ResumeNext([&] { m.TellOLWatcherStoppedTimer(); });
  }
  Log("WATCHER: exiting TimerUpdate_Timer, past Me.StopTimer check");
}

void FormProgressEF::Update(bool forceUpdateOfEverything, bool& /*updateLastResult*/) {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ErrorInfo first;
  const auto step = [&](auto&& statement) {
    ErrorInfo err;
    if (!ResumeNext(err, statement) && !first) first = err;
  };
  double trialCount = 0;
  step([&] { trialCount = m.LogTrialCount(); });
  if (trialCount >= 1 && m_InitializedAfterFirstTrial) {
    m_TrialCount = trialCount;
    const int selected = TabMain.SelectedIndex();
    step([&] { m_Form.SetHelpContextID(kTabHelpContexts.at(selected)); });
    if (!m_LogServer) step([&] { LoggingTab_Bind(); });
    step([&] { LabelProgressStatus.SetCaption(m.GetProgressStatusText()); });
    // Every value on every update, whatever tab is shown, so that no best is missed.
    const std::int32_t n = NumConstrainingValues();
    for (std::int32_t i = 1; i <= n; ++i)
      step([&] { ProgressTab_UpdateProgressStepInfoPerConstrainingValue(i); });
    if (selected == TabProgress || forceUpdateOfEverything) {
      step([&] { ProgressTab_UpdateGraphProgress(); });
      step([&] { ProgressTab_UpdateGraphEfficientFrontier(); });
    }
    for (std::int32_t i = 1; i <= m.Input_EFNumConstrainingValues; ++i)
      step([&] { SummaryTable_UpdateRow(i); });
    step([&] { LoadSummaryGrid(); });
    step([&] { RefreshLogGrid(); });
  }
  if (first)
    Log("Error in FormProgress.Update method: " + first.Description + " (" + ErrorNumberText(first) + ")");
}

void FormProgressEF::InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                               std::int32_t /*numLastTrialsToShow*/) {
  Log("FormProgressEF.InitializeAfterFirstTrial, entering");
  ResumeNext([&] { ProgressTab_InitializeAfterFirstTrial(graphAllTrialsInitialNumTrialsShown); });
  TabMain.SetItemEnabled(TabSummary, true);
  TabMain.SetItemEnabled(TabLog, true);
  m_InitializedAfterFirstTrial = true;
  ResumeNext([&] {
    bool updateLastResult = false;
    if (m_Manager) m_Manager->BothDialogs_Update(true, updateLastResult);
  });
  Log("InitializeAfterFirstTrial, updated form");
  Log("FormProgressEF, about to make progress graph visible");
  OrrGraphAllTrials.SetVisible(true);
  Log("FormProgressEF, about to make progress efficient frontier graphs visible");
  OrrGraphEfficientFrontier.SetVisible(true);
  Log("FormProgressEF, done making graphs visible");
  m_Form.Refresh();
}

}  // namespace corvana
