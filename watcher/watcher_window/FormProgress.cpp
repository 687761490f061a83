#include "watcher/watcher_window/FormProgress.h"

#include <array>
#include <utility>

#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/graph/OGrGraph.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/WindowUtilities.h"

namespace corvana {

namespace {

constexpr std::array<int, FormProgress::kTabCount> kTabCaptions = {4014, 4015, 4016, 4017, 4018, 4512, 4019};
constexpr std::array<int, FormProgress::kTabCount> kTabHelpContexts = {11090, 11080, 11110, 11100,
                                                                       11120, 11200, 11130};

// Runs `leave` however the procedure is left: the log pairs every entry line with its exit line.
template <class Leave>
class OnExit {
 public:
  explicit OnExit(Leave leave) : m_Leave(std::move(leave)) {}
  ~OnExit() { ResumeNext(m_Leave); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  Leave m_Leave;
};

}  // namespace

std::string FormProgress::BoolText(bool value) {
  return value ? "True" : "False";
}

std::string FormProgress::ErrorNumberText(const ErrorInfo& err) {
  return std::to_string(static_cast<std::int32_t>(err.Number));
}

std::string FormProgress::Res(long id, const Variant& p1) {
  return Utilities::GetResourceString(id, p1);
}

FormProgress::FormProgress(ui::Platform& platform)
    : ProgressForm(platform, "FormProgress"),
      TabMain(m_Form.Add<ui::TabControl>("TabMain", kTabCount)),
      OrrGraphAllTrials(m_Form.Add<ui::GraphControl>("OrrGraphAllTrials")),
      OrrGraphLastTrials(m_Form.Add<ui::GraphControl>("OrrGraphLastTrials")),
      LabelProgressStatus(m_Form.Add<ui::Label>("LabelProgressStatus")),
      LabelProgressSolver(m_Form.Add<ui::Label>("LabelProgressSolver")),
      SGGridSummary(m_Form.Add<ui::Grid>("SGGridSummary")),
      LabelAdjustableCellValues(m_Form.Add<ui::Label>("LabelAdjustableCellValues")),
      LabelGeneticAlgorithmParameters(m_Form.Add<ui::Label>("LabelGeneticAlgorithmParameters")),
      FrameGroupSettingsDivider(m_Form.Add<ui::Label>("FrameGroupSettingsDivider")),
      LabelCrossoverRate(m_Form.Add<ui::Label>("LabelCrossoverRate")),
      ScrollCrossover(m_Form.Add<ui::ScrollBar>("ScrollCrossover")),
      TextCrossover(m_Form.Add<ui::TextBox>("TextCrossover")),
      CommandCrossover(m_Form.Add<ui::Button>("CommandCrossover")),
      LabelMutationRate(m_Form.Add<ui::Label>("LabelMutationRate")),
      ScrollMutation(m_Form.Add<ui::ScrollBar>("ScrollMutation")),
      TextMutation(m_Form.Add<ui::TextBox>("TextMutation")),
      CommandMutation(m_Form.Add<ui::Button>("CommandMutation")),
      ComboLogType(m_Form.Add<ui::ComboBox>("ComboLogType")),
      LabelLogType(m_Form.Add<ui::Label>("LabelLogType")),
      SGGridLog(m_Form.Add<ui::Grid>("SGGridLog")),
      CheckValidTrialsOnly(m_Form.Add<ui::CheckBox>("CheckValidTrialsOnly")),
      LabelGoToTrial(m_Form.Add<ui::Label>("LabelGoToTrial")),
      TextGoToTrial(m_Form.Add<ui::TextBox>("TextGoToTrial")),
      CommandGoToTrial(m_Form.Add<ui::Button>("CommandGoToTrial")),
      LabelLogColumnsLeftOut(m_Form.Add<ui::Label>("LabelLogColumnsLeftOut")),
      SGGridPopulation(m_Form.Add<ui::Grid>("SGGridPopulation")),
      PopulationColorGraph(m_Form.Add<ui::PictureBox>("PopulationColorGraph")),
      LabelPopulationColorGraph(m_Form.Add<ui::Label>("LabelPopulationColorGraph")),
      SGGridConstraintSolver(m_Form.Add<ui::Grid>("SGGridConstraintSolver")),
      LabelConstraintSolver(m_Form.Add<ui::Label>("LabelConstraintSolver")),
      LabelStoppingStatus(m_Form.Add<ui::Label>("LabelStoppingStatus")),
      CheckRestoreOriginal(m_Form.Add<ui::CheckBox>("CheckRestoreOriginal")),
      LabelRestoreOriginal(m_Form.Add<ui::Label>("LabelRestoreOriginal")),
      LabelSolutionToKeep(m_Form.Add<ui::Label>("LabelSolutionToKeep")),
      FrameSolutionDivider(m_Form.Add<ui::Label>("FrameSolutionDivider")),
      LabelReportsToGenerate(m_Form.Add<ui::Label>("LabelReportsToGenerate")),
      CheckGenerateOptimizationSummary(m_Form.Add<ui::CheckBox>("CheckGenerateOptimizationSummary")),
      CheckWriteLogOfAllTrials(m_Form.Add<ui::CheckBox>("CheckWriteLogOfAllTrials")),
      CheckWriteLogOfProgressSteps(m_Form.Add<ui::CheckBox>("CheckWriteLogOfProgressSteps")),
      ComboReportPlacement(m_Form.Add<ui::ComboBox>("ComboReportPlacement")),
      FrameReportsDivider(m_Form.Add<ui::Label>("FrameReportsDivider")),
      LabelGeneratorSeed(m_Form.Add<ui::Label>("LabelGeneratorSeed")),
      CheckFixSeed(m_Form.Add<ui::CheckBox>("CheckFixSeed")),
      FrameGeneratorSeedDivider(m_Form.Add<ui::Label>("FrameGeneratorSeedDivider")),
      FrameBottom(m_Form.Add<ui::Frame>("FrameBottom")),
      FrameBottomDivider(m_Form.Add<ui::Label>("FrameBottomDivider")),
      CommandRun(m_Form.Add<ui::Button>("CommandRun")),
      CommandPause(m_Form.Add<ui::Button>("CommandPause")),
      CommandStop(m_Form.Add<ui::Button>("CommandStop")),
      CommandOK(m_Form.Add<ui::Button>("CommandOK")),
      CommandExcelUpdate(m_Form.Add<ui::Button>("CommandExcelUpdate")),
      CommandMinimizeWatcher(m_Form.Add<ui::Button>("CommandMinimizeWatcher")),
      CommandHelp(m_Form.Add<ui::Button>("CommandHelp")),
      LabelLanguage(m_Form.Add<ui::Label>("LabelLanguage")),
      TimerUpdate(m_Form.Add<ui::Timer>("TimerUpdate", 1000, false)),
      TimerForColorGraph(m_Form.Add<ui::Timer>("TimerForColorGraph", 1, false)),
      m_GridPopupMenu(m_Form.Add<ui::PopupMenu>("mnuGridPopup")) {
  for (int i = 0; i < kTabCount; ++i) {
    auto& frame = m_Form.Add<ui::Frame>("FrameTabMain(" + std::to_string(i) + ")");
    frame.SetBorderVisible(false);
    FrameTabMain.push_back(&frame);
  }
  const auto place = [](int tab, std::initializer_list<ui::Control*> controls) {
    for (auto* c : controls) c->SetContainer("FrameTabMain(" + std::to_string(tab) + ")");
  };
  place(TabProgress, {&OrrGraphAllTrials, &OrrGraphLastTrials, &LabelProgressStatus});
  place(TabSummary,
        {&SGGridSummary, &LabelAdjustableCellValues, &LabelGeneticAlgorithmParameters,
         &FrameGroupSettingsDivider, &LabelCrossoverRate, &ScrollCrossover, &TextCrossover, &CommandCrossover,
         &LabelMutationRate, &ScrollMutation, &TextMutation, &CommandMutation});
  place(TabLog, {&ComboLogType, &LabelLogType, &SGGridLog, &CheckValidTrialsOnly, &LabelGoToTrial,
                 &TextGoToTrial, &CommandGoToTrial, &LabelLogColumnsLeftOut});
  place(TabPopulation, {&SGGridPopulation});
  place(TabColorGraph, {&PopulationColorGraph, &LabelPopulationColorGraph});
  place(TabConstraintSolver, {&SGGridConstraintSolver, &LabelConstraintSolver, &LabelProgressSolver});
  place(TabStoppingOptions,
        {&LabelStoppingStatus, &CheckRestoreOriginal, &LabelRestoreOriginal, &LabelSolutionToKeep,
         &FrameSolutionDivider, &LabelReportsToGenerate, &CheckGenerateOptimizationSummary,
         &CheckWriteLogOfAllTrials, &CheckWriteLogOfProgressSteps, &ComboReportPlacement,
         &FrameReportsDivider, &LabelGeneratorSeed, &CheckFixSeed, &FrameGeneratorSeedDivider});
  for (auto* b : {&CommandRun, &CommandPause, &CommandStop, &CommandOK, &CommandExcelUpdate,
                  &CommandMinimizeWatcher, &CommandHelp})
    b->SetContainer("FrameBottom");
  for (auto* d : {&FrameGroupSettingsDivider, &FrameSolutionDivider, &FrameReportsDivider,
                  &FrameGeneratorSeedDivider, &FrameBottomDivider})
    d->SetDivider(true);
  FrameBottom.SetBorderVisible(false);
  LabelLanguage.SetVisible(false);
  GeneticParameters_Construct();
  ColorGraph_Construct();

  CommandRun.SetPictureKey(ui::PictureKeys::kRun);
  CommandPause.SetPictureKey(ui::PictureKeys::kPause);
  CommandStop.SetPictureKey(ui::PictureKeys::kStop);
  CommandExcelUpdate.SetPictureKey(ui::PictureKeys::kExcelUpdate);
  CommandExcelUpdate.SetDropDown(true);
  CommandMinimizeWatcher.SetPictureKey(ui::PictureKeys::kMinimize);
  CommandHelp.SetPictureKey(ui::PictureKeys::kHelp);
  for (auto* b : {&CommandRun, &CommandPause, &CommandStop, &CommandExcelUpdate, &CommandMinimizeWatcher,
                  &CommandHelp}) {
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
  CommandExcelUpdate.Click = [this] { CommandExcelUpdate_Click(); };
  CommandMinimizeWatcher.Click = [this] { CommandMinimizeWatcher_Click(); };
  CommandHelp.Click = [this] { CommandHelp_Click(); };
  TabMain.Click = [this](int previous) { TabMain_Click(previous); };
  ComboLogType.Click = [this] { ComboLogType_Click(); };
  CheckValidTrialsOnly.Click = [this] { CheckValidTrialsOnly_Click(); };
  CommandGoToTrial.Click = [this] { CommandGoToTrial_Click(); };
  TextGoToTrial.KeyPress = [this](int& key) {
    if (key == 13) {
      key = 0;
      CommandGoToTrial_Click();
    }
  };
  for (auto* grid : {&SGGridSummary, &SGGridPopulation, &SGGridLog})
    grid->MouseUp = [this, grid](int button, int, int x, int y) { Grid_MouseUp(*grid, button, x, y); };
  m_Form.Load = [this] { Form_Load(); };
  m_Form.QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
  m_Form.Resize = [this] { Form_Resize(); };
  m_Form.Paint = [this] { KickColorGraphTimer(); };

  m_Form.SetBorderStyle(ui::BorderStyle::Sizable);
  m_Form.SetIconKey(ui::PictureKeys::kProgressIcon);
  m_Form.Move(0, 0, 10500, 7800);
  m_SummaryTable = std::make_unique<SolutionTable>(Collection(), Collection());
  ShowSelectedFrame();
}

FormProgress::~FormProgress() = default;

// ---------------------------------------------------------------------------------------------
// Structure, configurations, buttons and menus

void FormProgress::Initialize(WatcherManager& manager) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    Log("WATCHER: entering FormProgress.Initialize");
    m_Manager = &manager;
    m_UpdatingControls = true;
    m_Steps.Initialize();
    SetTabsEnabled(false);

    ui::WindowUtilities::SetFormIcon(m_Form);
    for (auto* f : FrameTabMain) f->SetBorderVisible(false);
    const bool solver = manager.Input_ConstraintSolverMode;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&LabelGeneratorSeed, &FrameGeneratorSeedDivider,
                                                              &CheckFixSeed}) {
      c->SetVisible(solver);
      c->SetEnabled(!manager.Input_ConstraintSolver_FixedSeed);
    }
    const bool ga = manager.Input_OptimizationEngine == 1;
    GeneticParameters_SetVisible(ga);
    ApplyFormLocalization();

    // The minimize button takes the Excel-update button's place; that button is never shown here.
    CommandMinimizeWatcher.SetLeft(CommandExcelUpdate.Left());
    CommandExcelUpdate.SetEnabled(false);
    CommandExcelUpdate.SetVisible(false);

    Log("WATCHER: about to call ProgressTab_Initialize");
    ProgressTab_Initialize();
    Log("WATCHER: ProgressTab_Initialize returned");
    GridInitialize(SGGridSummary, false);
    Log("WATCHER: GridInitialize Me.SGGridSummary, False returned");
    if (ga) {
      GridInitialize(SGGridPopulation, true);
      Log("WATCHER: GridInitialize Me.SGGridPopulation, True returned");
      GeneticParameters_Initialize();
      Log("WATCHER: GeneticParameters_Initialize returned");
      ColorGraph_Initialize();
      Log("WATCHER: ColorGraph_Initialize returned");
    }
    LoggingTab_Initialize();
    Log("WATCHER: LoggingTab_Initialize returned");
    if (solver) ConstraintSolverTab_Initialize();

    TabMain.SetItemVisible(TabConstraintSolver, solver);
    TabMain.SetItemVisible(TabPopulation, ga);
    TabMain.SetItemVisible(TabColorGraph, ga);

    m_Form.SetHelpContextID(kTabHelpContexts[TabMain.SelectedIndex()]);
    m_UpdatingControls = false;
    ShowSelectedFrame();
    GoToRunningConfig();
    Form_Resize();

    Log("FormProgress.Initialize: About to call Me.TimerUpdate.Enabled = True");
    TimerUpdate.SetEnabled(true);
    m_UpdatingControls = false;
  });
  if (err) {
    m_UpdatingControls = false;
    Log("Error in Watcher Initialize method: " + err.Description + " (" + ErrorNumberText(err) + ")");
  }
}

void FormProgress::ApplyFormLocalization() {
  ResumeNext([&] { ui::WindowUtilities::ApplyFormLocalization(m_Form); });
  // One missing text leaves its control as it was; the others still get theirs.
  const auto caption = [](auto& control, long id) { ResumeNext([&] { control.SetCaption(Res(id)); }); };
  ResumeNext([&] { m_Form.SetCaption(Res(4000)); });
  caption(CommandHelp, 4002);
  caption(CommandExcelUpdate, 4122);
  caption(CommandMinimizeWatcher, 4004);
  caption(CommandRun, 4005);
  caption(CommandPause, 4006);
  caption(CommandStop, 4007);
  caption(CommandOK, 4008);
  ResumeNext([&] { m_ExcelUpdatingMenu.SetCaption("mnuExcelUpdating_On", Res(4010)); });
  ResumeNext([&] { m_ExcelUpdatingMenu.SetCaption("mnuExcelUpdating_Best", Res(4012)); });
  ResumeNext([&] { m_ExcelUpdatingMenu.SetCaption("mnuExcelUpdating_Off", Res(4013)); });
  ResumeNext([&] { m_GridPopupMenu.SetCaption("mnuGridPopup_Copy", Res(4052)); });
  for (int i = 0; i < kTabCount; ++i) ResumeNext([&] { TabMain.SetItemCaption(i, Res(kTabCaptions[i])); });
  caption(LabelAdjustableCellValues, 4020);
  caption(LabelGeneticAlgorithmParameters, 4053);
  caption(LabelCrossoverRate, 4023);
  caption(LabelMutationRate, 4024);
  caption(LabelLogType, 4025);
  caption(LabelPopulationColorGraph, 4026);
  caption(LabelSolutionToKeep, 4027);
  caption(LabelReportsToGenerate, 4072);
  caption(CheckGenerateOptimizationSummary, 4032);
  caption(CheckWriteLogOfAllTrials, 4034);
  caption(CheckWriteLogOfProgressSteps, 4035);
  caption(LabelConstraintSolver, 4513);
  caption(LabelGeneratorSeed, 4518);
  caption(CheckFixSeed, 4522);
}

void FormProgress::SetTabsEnabled(bool enabled) {
  for (int tab : {TabSummary, TabLog, TabPopulation, TabColorGraph}) TabMain.SetItemEnabled(tab, enabled);
}

void FormProgress::ShowSelectedFrame() {
  const int selected = TabMain.SelectedIndex();
  for (int i = 0; i < kTabCount; ++i) {
    FrameTabMain[i]->SetVisible(i == selected);
    FrameTabMain[i]->SetEnabled(i == selected);
  }
}

void FormProgress::ApplyRunStateConfig() {
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  const bool stopping = m_RunState == RunState::Stopping;
  CommandRun.SetVisible(!stopping);
  CommandPause.SetVisible(!stopping);
  CommandStop.SetVisible(!stopping);
  CommandOK.SetVisible(stopping);
  if (stopping) {
    SetButtonPicture(CommandExcelUpdate, ui::PictureKeys::kExcelUpdate, false);
    SetButtonPicture(CommandMinimizeWatcher, ui::PictureKeys::kMinimize, false);
    m_ExcelUpdateLocked = true;
    m_MinimizeLocked = true;
  }
  PressRunPauseButtons(CommandRun, CommandPause);
  TabMain.SetItemEnabled(TabStoppingOptions, stopping);
  m_Form.Refresh();
  m_UpdatingControls = wasUpdating;
}

void FormProgress::GoToStoppingConfig() {
  m_RunState = RunState::Stopping;
  GeneticParameters_HideRateDialog();
  ApplyRunStateConfig();
  ResumeNext([&] {
    StoppingOptionsTab_Configure();
    StoppingOptionsTab_PutInfo();
  });
  m_UpdatingControls = true;
  ResumeNext([&] { TabMain.SetSelectedIndex(TabStoppingOptions); });
  m_UpdatingControls = false;
  ShowSelectedFrame();
  GeneticParameters_DisableControls();
  ui::WindowUtilities::MakeNotTopMost(m_Form.GetPlatform(), m_Form.Id());
  m_Form.Refresh();
}

void FormProgress::SetButtonPicture(ui::Button& button, const char* key, bool enabled) {
  button.SetPictureKey(enabled ? std::string(key) : ui::GreyPicture(key));
}

void FormProgress::ControlsAfterStopClickedDisableEnable(bool enable) {
  SetButtonPicture(CommandRun, ui::PictureKeys::kRun, enable);
  SetButtonPicture(CommandPause, ui::PictureKeys::kPause, enable);
  SetButtonPicture(CommandStop, ui::PictureKeys::kStop, enable);
  SetButtonPicture(CommandExcelUpdate, ui::PictureKeys::kExcelUpdate, enable);
  SetButtonPicture(CommandMinimizeWatcher, ui::PictureKeys::kMinimize, enable);
  for (auto* b : {&CommandRun, &CommandPause, &CommandStop, &CommandExcelUpdate, &CommandMinimizeWatcher})
    b->SetEnabled(enable);
  // The Excel-update button stays hidden and unusable in this window whatever happens.
  CommandExcelUpdate.SetEnabled(false);
}

void FormProgress::UpdateRunPauseButtons() {
  PressRunPauseButtons(CommandRun, CommandPause);
}

void FormProgress::SetExcelUpdateButtonState(bool pressed) {
  m_ExcelUpdateLocked = true;
  CommandExcelUpdate.SetPressed(pressed);
  m_ExcelUpdateLocked = m_RunState == RunState::Stopping;
}

bool FormProgress::OrrGraphModalDialogBeingDisplayed() const {
  return OrrGraphAllTrials.ModalDialogBeingDisplayed() || OrrGraphLastTrials.ModalDialogBeingDisplayed();
}

void FormProgress::TabMain_Click(int /*previousIndex*/) {
  ResumeNext([&] { m_Form.SetHelpContextID(kTabHelpContexts.at(TabMain.SelectedIndex())); });
  if (m_UpdatingControls) return;
  ShowSelectedFrame();
  KickColorGraphTimer();
}

void FormProgress::Form_Load() {
  PlaceAtTopRightOfHostWindow();
}

void FormProgress::Form_QueryUnload(bool& cancel, int unloadMode) {
  // Only the manager closes this window.
  if (unloadMode == ui::kUnloadFormControlMenu || unloadMode == ui::kUnloadAppTaskManager) cancel = true;
}

void FormProgress::Dispose() {
  TimerUpdate.SetEnabled(false);
  TimerForColorGraph.SetEnabled(false);
  LoggingTab_Dispose();
  m_Manager = nullptr;
  Log("WATCHER, FormProgress.Dispose: Set m_Manager = Nothing");
  Log("WATCHER, FormProgress.Dispose: Set m_LogServer = Nothing");
}

// ---------------------------------------------------------------------------------------------
// The update cycle

void FormProgress::TimerUpdate_Timer() {
  Log("WATCHER: entering TimerUpdate_Timer, Me.StopTimer=" + BoolText(m_StopTimer));
  if (m_StopTimer || !m_Manager) return;
  Log("WATCHER: entering TimerUpdate_Timer, past Me.StopTimer check");
  const OnExit exit([this] { Log("WATCHER: exiting TimerUpdate_Timer, past Me.StopTimer check"); });
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
    if (!m.Input_MCoreOptimization) {
      Log("TimerUpdate_Timer: received message from Excal that status is GdRunStatusPaused");
      Log("TimerUpdate_Timer, m_Manager.WaitingAfterPauseClicked=" + BoolText(m.WaitingAfterPauseClicked));
      Log("TimerUpdate_Timer, m_Manager.WaitingAfterStopClicked=" + BoolText(m.WaitingAfterStopClicked));
      if (m.WaitingAfterPauseClicked || m.WaitingAfterStopClicked)
        ResumeNext([&] { m.ProcessPausedMessageFromExcel(); });
    }
  } else if (status == GdRunStatusStopped) {
    Log("TimerUpdate_Timer: status is GdRunStatusStopped");
    m_StopTimer = true;
    TimerUpdate.SetEnabled(false);
    ResumeNext([&] {
      bool updateLastResult = true;
      m.BothDialogs_Update(true, updateLastResult);
    });
    Log("TimerUpdate_Timer: updated both dialogs");
    if (m.Stop_AtEndShowOptionsToUser) {
      Log("TimerUpdate_Timer: about to call m_Manager.ReadStoppingOptionsFromWatcher");
      ResumeNext([&] { m.ReadStoppingOptionsFromWatcher(); });
      Log("TimerUpdate_Timer: m_Manager.ReadStoppingOptionsFromWatcher returned");
      ResumeNext([&] { GoToStoppingConfig(); });
      Log("TimerUpdate_Timer: GoToStoppingConfig returned");
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
}

void FormProgress::Update(bool forceUpdateOfEverything, bool& /*updateLastResult*/) {
  Log("FormProgress.Update: Entering");
  const OnExit exit([this] { Log("FormProgress.Update: Exiting"); });
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
    m_HasBest = false;
    m_BestValue = kMissingValue;
    step([&] { m_HasBest = m.LogHasProgressSteps(); });
    if (m_HasBest) step([&] { m_BestValue = m.BestObjectiveValue(); });
    const int selected = TabMain.SelectedIndex();
    step([&] { m_Form.SetHelpContextID(kTabHelpContexts.at(selected)); });
    step([&] { UpdateStatusLabel(); });
    step([&] { RecordProgressStep(); });
    if (selected == TabProgress || forceUpdateOfEverything) step([&] { ProgressTab_Update(); });
    step([&] { SummaryTable_Update(); });
    if (m.Input_OptimizationEngine == 1) {
      step([&] { GeneticParameters_Update(); });
      if (selected == TabPopulation || forceUpdateOfEverything) step([&] { Update_ValueTable(); });
      if (selected == TabColorGraph || forceUpdateOfEverything) step([&] { ColorGraph_Update(false); });
    }
    if (m.Input_ConstraintSolverMode) step([&] { ConstraintSolverTab_Update(); });
    if (!m_LogServer) step([&] { LoggingTab_Bind(); });
    step([&] { LoggingTab_Refresh(); });
  }
  if (first)
    Log("Error in FormProgress.Update method: " + first.Description + " (" + ErrorNumberText(first) + ")");
}

void FormProgress::InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                             std::int32_t numLastTrialsToShow) {
  ResumeNext([&] {
    ProgressTab_InitializeAfterFirstTrial(graphAllTrialsInitialNumTrialsShown, numLastTrialsToShow);
  });
  ResumeNext([&] { SetTabsEnabled(true); });
  m_InitializedAfterFirstTrial = true;
  ResumeNext([&] {
    bool updateLastResult = false;
    if (m_Manager) m_Manager->BothDialogs_Update(true, updateLastResult);
    Log("InitializeAfterFirstTrial, updated form");
  });
  ResumeNext([&] { GeneticParameters_AddPendingMarkers(); });
  ResumeNext([&] {
    m_GraphAllTrials->DefineCustomAutoscaling(0, 0, m_AllTrialsAxisMax, true, 0);
    m_GraphLastTrials->DefineCustomAutoscaling(0, -static_cast<double>(m_NumLastTrialsToShow), 0, true, 0);
    ProgressTab_SetGraphsVisible();
    m_Form.Refresh();
  });
}

}  // namespace corvana
