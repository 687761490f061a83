#include "watcher/watcher_window/FormProgress.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/ClassicFormat.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/ui/WindowUtilities.h"
#include "watcher/watcher_window/graph/OGrGraph.h"

namespace corvana {

namespace {

constexpr std::array<int, FormProgress::kTabCount> kTabCaptions = {4014, 4015, 4016, 4017, 4018, 4512, 4019};
constexpr std::array<int, FormProgress::kTabCount> kTabHelpContexts = {11090, 11080, 11110, 11100,
                                                                       11120, 11200, 11130};
constexpr int kRowCaptions[] = {4303, 4304, 4305};
constexpr int kMinClientWidth = 8360;
// Kept as texts, as the layout has always held them.
constexpr const char* kMinClientHeight = "5780";
constexpr const char* kMinClientHeightConstraintSolver = "6180";

std::string B(bool value) {
  return value ? "True" : "False";
}

std::string ErrorNumberText(const ErrorInfo& err) {
  return std::to_string(static_cast<std::int32_t>(err.Number));
}

std::string Res(long id, const Variant& p1 = Variant()) {
  return Utilities::GetResourceString(id, p1);
}

}  // namespace

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
  place(TabLog, {&ComboLogType, &LabelLogType, &SGGridLog});
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
  TextCrossover.SetFlat(true);
  TextMutation.SetFlat(true);
  ScrollCrossover.SetEnabled(false);
  ScrollMutation.SetEnabled(false);
  TextCrossover.SetLocked(true);
  TextMutation.SetLocked(true);

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
  // One-shot: the colour picture is redrawn once after the event that kicked it.
  TimerForColorGraph.Tick = [this] { TimerForColorGraph.SetEnabled(false); };
  CommandRun.Click = [this] { CommandRun_Click(); };
  CommandPause.Click = [this] { CommandPause_Click(); };
  CommandStop.Click = [this] { CommandStop_Click(); };
  CommandOK.Click = [this] { CommandOK_Click(); };
  CommandExcelUpdate.Click = [this] { CommandExcelUpdate_Click(); };
  CommandMinimizeWatcher.Click = [this] { CommandMinimizeWatcher_Click(); };
  CommandHelp.Click = [this] { CommandHelp_Click(); };
  TabMain.Click = [this](int previous) { TabMain_Click(previous); };
  ComboLogType.Click = [this] {
    if (m_UpdatingControls || !m_Manager) return;
    m_Manager->IDForGdLogReadRecordVB = ComboLogType.ListIndex();
    if (SGGridLog.DataSource()) {
      SGGridLog.RefreshRowCount();
      SGGridLog.ScrollToLastRows();
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
  m_PopulationTable = std::make_unique<SolutionTable>(Collection(), Collection());
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
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &LabelGeneticAlgorithmParameters, &FrameGroupSettingsDivider, &LabelCrossoverRate,
             &ScrollCrossover, &TextCrossover, &CommandCrossover, &LabelMutationRate, &ScrollMutation,
             &TextMutation, &CommandMutation})
      c->SetVisible(ga);
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
    }
    LoggingTab_Initialize();
    Log("WATCHER: LoggingTab_Initialize returned");

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
  ApplyRunStateConfig();
  ResumeNext([&] {
    StoppingOptionsTab_Configure();
    StoppingOptionsTab_PutInfo();
  });
  m_UpdatingControls = true;
  ResumeNext([&] { TabMain.SetSelectedIndex(TabStoppingOptions); });
  m_UpdatingControls = false;
  ShowSelectedFrame();
  // The rates cannot change once the run has stopped.
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&ScrollCrossover, &TextCrossover, &CommandCrossover,
                                           &ScrollMutation, &TextMutation, &CommandMutation})
    c->SetEnabled(false);
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

bool FormProgress::SaveAllTrialsGraphPicture(const std::string& axisTitle, double axisMaximum,
                                             const std::string& path, int widthPixels, int heightPixels) {
  if (!m_GraphAllTrials) return false;
  m_GraphAllTrials->SetAxisTitleText(0, axisTitle);
  m_GraphAllTrials->DefineCustomAutoscaling(0, 0, axisMaximum, true, 0);
  return m_Form.GetPlatform().SaveGraphPicture(*m_GraphAllTrials, path, widthPixels, heightPixels);
}

void FormProgress::CommandRun_Click() {
  if (m_Manager) ResumeNext([&] { m_Manager->CommandResumeOptimization_ProcessClick(); });
}

void FormProgress::CommandPause_Click() {
  if (m_Manager) ResumeNext([&] { m_Manager->CommandPauseOptimization_ProcessClick(); });
}

void FormProgress::CommandStop_Click() {
  Log("FormProgress.CommandStop_Click: entering");
  ErrorInfo err;
  ResumeNext(err, [&] {
    if (!m_Manager) return;
    m_Manager->CommandStopOptimization_ProcessClick();
    Log("FormProgress.CommandStop_Click: m_Manager.CommandStopOptimization_ProcessClick returned");
  });
  if (err)
    Log("FormProgress.CommandStop_Click: exiting with error: " + err.Description);
  else
    Log("FormProgress.CommandStop_Click: exiting without error");
}

void FormProgress::CommandExcelUpdate_Click() {
  if (m_ExcelUpdateLocked || !m_Manager) return;
  ResumeNext([&] {
    m_ExcelUpdatingMenu.CheckOnly(ExcelUpdatingKey(m_Manager->ShowExcelRecalculations));
    const std::string key = m_Form.GetPlatform().ShowPopupMenu(
        m_ExcelUpdatingMenu, m_Form, &CommandExcelUpdate, 0, CommandExcelUpdate.Height());
    OnMenuItem(key);
  });
  m_ExcelUpdateLocked = true;
  CommandExcelUpdate.SetPressed(false);
  m_ExcelUpdateLocked = m_RunState == RunState::Stopping;
}

void FormProgress::OnMenuItem(const std::string& key) {
  if (key.empty()) return;
  ResumeNext([&] {
    if (key == "mnuGridPopup_Copy") {
      if (m_MenuTargetGrid) ui::WindowUtilities::CopyGridToClipboard(m_Form.GetPlatform(), *m_MenuTargetGrid);
      return;
    }
    ChooseExcelUpdating(key);
  });
}

void FormProgress::Grid_MouseUp(ui::Grid& grid, int button, int x, int y) {
  if (button != ui::kRightButton) return;
  ResumeNext([&] {
    m_MenuTargetGrid = &grid;
    OnMenuItem(m_Form.GetPlatform().ShowPopupMenu(m_GridPopupMenu, m_Form, &grid, x, y));
  });
}

void FormProgress::CommandMinimizeWatcher_Click() {
  if (m_MinimizeLocked || !m_Manager) return;
  ResumeNext([&] { m_Manager->SwitchToSmallWindow(); });
}

void FormProgress::CommandHelp_Click() {
  if (m_Manager) ResumeNext([&] { m_Manager->ShowHelpForForm(*this); });
}

void FormProgress::TabMain_Click(int /*previousIndex*/) {
  ResumeNext([&] { m_Form.SetHelpContextID(kTabHelpContexts.at(TabMain.SelectedIndex())); });
  if (m_UpdatingControls) return;
  ShowSelectedFrame();
  KickColorGraphTimer();
}

void FormProgress::KickColorGraphTimer() {
  if (TabMain.SelectedIndex() == TabColorGraph) TimerForColorGraph.SetEnabled(true);
}

void FormProgress::Form_Load() {
  ResumeNext([&] {
    if (!m_Manager) return;
    ui::Platform& platform = m_Form.GetPlatform();
    ui::Rect excel;
    bool known = false;
    if (m_Manager->Input_ExcelApplication) {
      ResumeNext([&] {
        const HostWindowRect r = m_Manager->Input_ExcelApplication->WindowRect();
        excel = {r.Left, r.Top, r.Width, r.Height};
        known = r.Width > 0 && r.Height > 0;
      });
    }
    if (!known)
      known = platform.WindowRectPixels(static_cast<ui::WindowId>(m_Manager->Input_ExcelAppHwnd), excel);
    if (!known) return;
    m_Form.SetLeft((excel.Left + excel.Width) * platform.TwipsPerPixelX() - m_Form.Width() - 100);
    m_Form.SetTop(excel.Top * platform.TwipsPerPixelY() + 100);
  });
}

void FormProgress::Form_QueryUnload(bool& cancel, int unloadMode) {
  // Only the manager closes this window.
  if (unloadMode == ui::kUnloadFormControlMenu || unloadMode == ui::kUnloadAppTaskManager) cancel = true;
}

void FormProgress::Dispose() {
  TimerUpdate.SetEnabled(false);
  TimerForColorGraph.SetEnabled(false);
  m_Manager = nullptr;
  Log("WATCHER, FormProgress.Dispose: Set m_Manager = Nothing");
}

// ---------------------------------------------------------------------------------------------
// The update cycle

void FormProgress::TimerUpdate_Timer() {
  Log("WATCHER: entering TimerUpdate_Timer, Me.StopTimer=" + B(m_StopTimer));
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
    if (!m.Input_MCoreOptimization) {
      Log("TimerUpdate_Timer: received message from Excal that status is GdRunStatusPaused");
      Log("TimerUpdate_Timer, m_Manager.WaitingAfterPauseClicked=" + B(m.WaitingAfterPauseClicked));
      Log("TimerUpdate_Timer, m_Manager.WaitingAfterStopClicked=" + B(m.WaitingAfterStopClicked));
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
  Log("WATCHER: exiting TimerUpdate_Timer, past Me.StopTimer check");
}

void FormProgress::Update(bool forceUpdateOfEverything, bool& /*updateLastResult*/) {
  Log("FormProgress.Update: Entering");
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
    if (m.Input_OptimizationEngine == 1 && (selected == TabPopulation || forceUpdateOfEverything))
      step([&] { Update_ValueTable(); });
    if (SGGridLog.DataSource())
      step([&] {
        SGGridLog.RefreshRowCount();
        SGGridLog.ScrollToLastRows();
      });
  }
  if (first)
    Log("Error in FormProgress.Update method: " + first.Description + " (" + ErrorNumberText(first) + ")");
  Log("FormProgress.Update: Exiting");
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
  ResumeNext([&] {
    m_GraphAllTrials->DefineCustomAutoscaling(0, 0, m_AllTrialsAxisMax, true, 0);
    m_GraphLastTrials->DefineCustomAutoscaling(0, -static_cast<double>(m_NumLastTrialsToShow), 0, true, 0);
    ProgressTab_SetGraphsVisible();
    m_Form.Refresh();
  });
}

// ---------------------------------------------------------------------------------------------
// Progress tab

void FormProgress::ProgressTab_Initialize() {
  ErrorInfo err;
  ResumeNext(err, [&] {
    m_GraphLastTrials = std::make_shared<OGrGraph>();
    m_GraphAllTrials = std::make_shared<OGrGraph>();
    m_GraphLastTrials->Initialize(kOGrGraphXY, "");
    m_GraphAllTrials->Initialize(kOGrGraphXY, "");
    Log("WATCHER, ProgressTab_Initialize, created and initialized graphs");
    OrrGraphLastTrials.SetGraph(m_GraphLastTrials);
    Log("WATCHER, ProgressTab_Initialize, assigned first graph to control");
    OrrGraphAllTrials.SetGraph(m_GraphAllTrials);
    Log("WATCHER, ProgressTab_Initialize, assigned graphs to controls");
    const bool rightClick = m_Manager && m_Manager->Stop_AtEndShowOptionsToUser;
    OrrGraphLastTrials.SetRightClickEnabled(rightClick);
    OrrGraphAllTrials.SetRightClickEnabled(rightClick);
    Log("WATCHER, ProgressTab_Initialize, set graph control RightClickEnabled properties");
    OrrGraphLastTrials.SetVisible(false);
    OrrGraphAllTrials.SetVisible(false);
    Log("WATCHER, ProgressTab_Initialize, set graph visibility");
    LabelProgressStatus.SetCaption(Res(4037));
    Log("WATCHER, ProgressTab_Initialize, set status message");
    const std::string help = m_Manager ? m_Manager->Input_MainHelpFilePath : std::string();
    OrrGraphLastTrials.SetHelpFilePath(help);
    OrrGraphAllTrials.SetHelpFilePath(help);
    Log("WATCHER, ProgressTab_Initialize, assigned HelpFilePath");
    m_GraphLastTrials->SetLegendVisible(false);
    m_GraphAllTrials->SetLegendVisible(false);
    Log("WATCHER, ProgressTab_Initialize, set Legend.Visible");
    if (m_Manager && m_Manager->Input_TargetCellValuesTreatedAsDates) {
      Log("WATCHER, ProgressTab_Initialize, about to set DateScaling");
      m_GraphLastTrials->SetAxisDateScaling(1, true);
      m_GraphAllTrials->SetAxisDateScaling(1, true);
      Log("WATCHER, ProgressTab_Initialize, set DateScaling");
    }
    Log("WATCHER, ProgressTab_Initialize, about to set number format of Y axes");
    const std::string format =
        m_Manager ? m_Manager->Input_TargetCellNumberFormat_ShortIfDate_ForcedEnglish : std::string();
    m_GraphLastTrials->SetAxisNumberFormat(1, format.empty() ? "General" : format);
    m_GraphAllTrials->SetAxisNumberFormat(1, format.empty() ? "General" : format);
    Log("WATCHER, ProgressTab_Initialize, done setting number format of Y axes");
  });
  if (err) Log("Error initializing progress tab in Watcher: " + err.Description);
}

void FormProgress::ProgressTab_InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                                         std::int32_t numLastTrialsToShow) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    m_NumLastTrialsToShow = numLastTrialsToShow;
    m_GraphLastTrials->SetAxisTitleText(0, Res(4039));
    m_GraphLastTrials->DefineCustomAutoscaling(0, -static_cast<double>(numLastTrialsToShow), 0, true, 0);
    m_GraphAllTrials->SetAxisTitleText(0, Res(4041));
    m_GraphAllTrials->DefineCustomAutoscaling(0, 0, graphAllTrialsInitialNumTrialsShown, true, 0);
    m_AllTrialsAxisMax = graphAllTrialsInitialNumTrialsShown;
    for (auto* graph : {m_GraphLastTrials.get(), m_GraphAllTrials.get()})
      for (int axis = 0; axis < 2; ++axis) graph->SetAxisScalingFlags(axis, true, false);
  });
  if (err) Log("Error in ProgressTab_InitializeAfterFirstTrial in Watcher: " + err.Description);
}

void FormProgress::ProgressTab_SetGraphsVisible() {
  OrrGraphAllTrials.SetVisible(true);
  OrrGraphLastTrials.SetVisible(true);
}

void FormProgress::RecordProgressStep() {
  if (m_Steps.Count() > ProgressSteps::kMaxSteps) return;
  Log("WATCHER: about to call GdPopGetProgressStepCount(" + std::to_string(m_Steps.Count()) + ")");
  m_Steps.Record(m_TrialCount, m_HasBest, m_BestValue);
}

void FormProgress::UpdateStatusLabel() {
  LabelProgressStatus.SetCaption(m_Manager->GetProgressStatusText());
}

void FormProgress::ProgressTab_Update() {
  const double axisMax = ProgressSteps::GrownAxisMax(m_AllTrialsAxisMax, m_TrialCount);
  if (axisMax != m_AllTrialsAxisMax) {
    m_AllTrialsAxisMax = axisMax;
    m_GraphAllTrials->DefineCustomAutoscaling(0, 0, axisMax, true, 0);
  }
  m_Steps.AllTrialsData(m_TrialCount, m_BestValue, m_GraphX, m_GraphY);
  m_GraphAllTrials->SetData(m_GraphX, m_GraphY);
  m_Steps.LastTrialsData(m_TrialCount, m_NumLastTrialsToShow, m_HasBest, m_BestValue, m_GraphX, m_GraphY);
  m_GraphLastTrials->SetData(m_GraphX, m_GraphY);
}

// ---------------------------------------------------------------------------------------------
// Summary and population tables

void FormProgress::GridInitialize(ui::Grid& grid, bool isPopulationTable) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    ui::WindowUtilities::StyleGrid(grid);
    grid.ClearColumns();
    grid.ClearCells();
    Log("WATCHER: GridInitialize, before adding columns");
    if (!isPopulationTable) grid.AddColumn(Res(4046), 1200);
    grid.AddColumn(Res(4047), 1000);
    Log("WATCHER: GridInitialize, before calculating numGenesInTable");
    const Collection& names = m_Manager->Input_AllGeneNamesCol;
    Log("WATCHER: GridInitialize, after calculating numGenesInTable, =" + std::to_string(names.Count()));
    Log("WATCHER: GridInitialize, about to loop over variables to add columns");
    for (const Variant& name : names.Items()) {
      std::string caption;
      ResumeNext([&] { caption = name.ToString(); });
      grid.AddColumn(caption, 1000);
    }
    Log("WATCHER: GridInitialize, after adding columns");
    auto table = std::make_unique<SolutionTable>(names, m_Manager->Input_AdjustableCellsFormatAsDateCol);
    std::vector<std::string> headers;
    if (isPopulationTable) {
      for (std::int32_t i = 1; i <= m_Manager->Input_PopulationSize; ++i)
        headers.push_back(std::to_string(i));
      m_PopulationTable = std::move(table);
    } else {
      for (int id : kRowCaptions) headers.push_back(Res(id));
      m_SummaryRows.assign(3, table->EmptySummaryRow());
      m_SummaryTable = std::move(table);
    }
    grid.SetRowHeaders(std::move(headers));
  });
  if (err) Log("Error in GridInitialize: " + err.Description + " (" + ErrorNumberText(err) + ")");
}

std::string FormProgress::ObjectiveText(double value) {
  WatcherManager& m = *m_Manager;
  if (m.Input_ConstraintSolverMode) return Utilities::ConstraintSolverValueText(value, false);
  const std::string& format = m.Input_TargetCellNumberFormat;
  // Formats beyond plain digit patterns (sections, colours, "General") go by the shared rules.
  const bool plainPattern =
      !format.empty() && format != "General" && format.find_first_of("[;\"@*_\\") == std::string::npos;
  if (!plainPattern || IsSpecialValue(value) || m.Input_TargetCellValuesTreatedAsDates)
    return m.FormatTargetValue(value);
  return ClassicFormat::Apply(value, format);
}

void FormProgress::SummaryTable_Update() {
  ErrorInfo first;
  for (std::int32_t which : {GdLib::kWhichBest, GdLib::kWhichOriginal, GdLib::kWhichLast}) {
    ErrorInfo err;
    if (!ResumeNext(err, [&] { SummaryTable_UpdateRow(which); }) && !first) first = err;
  }
  if (m_SummaryRows.size() == 3)
    SGGridSummary.LoadText(m_SummaryRows[0] + '\r' + m_SummaryRows[1] + '\r' + m_SummaryRows[2]);
  if (first) RaiseError(first.Number, first.Source, first.Description);
}

void FormProgress::SummaryTable_UpdateRow(std::int32_t whichSolution) {
  WatcherManager& m = *m_Manager;
  if (whichSolution == GdLib::kWhichBest && !m_HasBest) return;
  const long position = SolutionTable::SummaryTableRowPosition(whichSolution);
  double trial = 1;
  if (whichSolution == GdLib::kWhichBest) trial = m.BestTrialNumber();
  if (whichSolution == GdLib::kWhichLast) trial = m_TrialCount;
  const std::string objective = ObjectiveText(m.ObjectiveValueForSolution(whichSolution));
  m_Values.clear();
  if (!m.AdjustableCellValuesForSolution(whichSolution, m_Values)) m_Values.clear();
  if (m_SummaryRows.size() != 3) m_SummaryRows.assign(3, m_SummaryTable->EmptySummaryRow());
  m_SummaryRows[position - 1] = m_SummaryTable->SummaryRow(DoubleToText(trial), objective, m_Values);
}

void FormProgress::Update_ValueTable() {
  WatcherManager& m = *m_Manager;
  ui::Platform& platform = m_Form.GetPlatform();
  const std::uint32_t t0 = platform.TickCount();
  bool genesFailed = false;
  const std::string text = m_PopulationTable->PopulationText(
      m.Input_PopulationSize,
      [&](std::int32_t organism, std::string& objective, std::vector<double>& values) {
        objective = ObjectiveText(m.getGendaraResult(organism));
        // An invalid handle fails for every organism alike: reported once per refresh.
        if (genesFailed) return false;
        const std::int16_t rc = GdLib::GdOrgGetGenes(m.Input_PopHandle, organism, values);
        if (rc == 0) return true;
        genesFailed = true;
        ResumeNext([&] { GdLib::LogGdLibError("Update_ValueTable", "GdOrgGetGenes", rc, false); });
        return false;
      });
  const std::uint32_t t1 = platform.TickCount();
  SGGridPopulation.LoadText(text);
  const std::uint32_t t2 = platform.TickCount();
  Log("Population table update, firststage = " + std::to_string(t1 - t0) +
      " milliseconds, second stage = " + std::to_string(t2 - t1) + " milliseconds");
}

// ---------------------------------------------------------------------------------------------
// Stopping options and logging tab

void FormProgress::LoggingTab_Initialize() {
  ui::WindowUtilities::StyleGrid(SGGridLog);
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ComboLogType.Clear();
  ResumeNext([&] { ComboLogType.AddItem(Res(4043)); });
  ResumeNext([&] { ComboLogType.AddItem(Res(4044)); });
  if (ComboLogType.ListCount() > 0) ComboLogType.SetListIndex(0);
  m_UpdatingControls = wasUpdating;
}

void FormProgress::StoppingOptionsTab_Configure() {
  WatcherManager& m = *m_Manager;
  ResumeNext([&] { LabelSolutionToKeep.SetCaption(Res(4054)); });
  ResumeNext([&] { CheckRestoreOriginal.SetCaption(Res(4061)); });
  ResumeNext([&] { LabelRestoreOriginal.SetCaption(Res(4055)); });

  const double trialCount = m.LogTrialCount();
  const bool hasSteps = m.LogHasProgressSteps();
  // Flag A: the best is the original (nothing improved); flag B: an improvement exists.
  bool flagA = false;
  std::string status;
  if (!hasSteps) {
    status = Res(4060, "Corvana");
    flagA = true;
  } else if (m.BestTrialNumber() == 1) {
    status = Res(4057);
    flagA = true;
  } else {
    status = Res(4059);
  }
  if (m.Input_ConstraintSolverMode && m.BestObjectiveValue() != m.Input_NumConstraints)
    ResumeNext([&] { status += " " + Res(4058); });
  LabelStoppingStatus.SetCaption(status);

  // With nothing improved restoring the original changes nothing: the box shows that and stays
  // fixed; otherwise the choice is the user's.
  CheckRestoreOriginal.SetValue(flagA ? ui::kChecked : ui::kUnchecked);
  CheckRestoreOriginal.SetEnabled(!flagA);
  LabelRestoreOriginal.SetEnabled(!flagA);
  ui::WindowUtilities::FillReportPlacementCombo(ComboReportPlacement);

  const int frameWidth = FrameTabMain[TabStoppingOptions]->Width();
  const int left = 120;
  const int width = std::max(1000, frameWidth - 2 * left);
  const int lineHeight = 240;
  int top = 120;
  LabelSolutionToKeep.Move(left, top, width, lineHeight);
  top += lineHeight + 150;
  LabelStoppingStatus.Move(left, top, width, status.size() >= 150 ? lineHeight * 4 : lineHeight * 2);
  top += LabelStoppingStatus.Height() + 150;
  CheckRestoreOriginal.Move(left, top, width, lineHeight);
  top += lineHeight + 20;
  LabelRestoreOriginal.Move(left + 280, top, width - 280, lineHeight * 2);
  top += LabelRestoreOriginal.Height() + 500;
  FrameSolutionDivider.Move(left, top - 250, width, 30);
  LabelReportsToGenerate.Move(left, top, width / 2, lineHeight);
  ComboReportPlacement.Move(left + width / 2, top - 55, width / 2, 315);
  top += lineHeight + 290;
  FrameReportsDivider.Move(left, top, width, 30);
  top += 210;
  for (auto* check :
       {&CheckGenerateOptimizationSummary, &CheckWriteLogOfAllTrials, &CheckWriteLogOfProgressSteps}) {
    check->Move(left, top, width, lineHeight);
    top += 400;
  }
  if (m.Input_ConstraintSolverMode) {
    top += 100;
    LabelGeneratorSeed.Move(left, top, width, lineHeight);
    top += lineHeight + 290;
    FrameGeneratorSeedDivider.Move(left, top, width, 30);
    top += 210;
    CheckFixSeed.Move(left, top, width, lineHeight);
  }
  LabelGeneratorSeed.SetVisible(m.Input_ConstraintSolverMode);
  CheckWriteLogOfAllTrials.SetEnabled(trialCount >= 1);
  CheckWriteLogOfProgressSteps.SetEnabled(hasSteps);
}

void FormProgress::StoppingOptionsTab_PutInfo() {
  WatcherManager& m = *m_Manager;
  ErrorInfo err;
  ResumeNext(err, [&] {
    ComboReportPlacement.SetListIndex(m.ReportPlacement);
    CheckGenerateOptimizationSummary.SetValue(m.Stop_AtEndGenerateOptimizationSummary ? ui::kChecked
                                                                                      : ui::kUnchecked);
    const bool trials = m.LogTrialCount() >= 1;
    CheckWriteLogOfAllTrials.SetValue(trials && m.Stop_AtEndWriteLogOfAllTrials ? ui::kChecked
                                                                                : ui::kUnchecked);
    const bool steps = m.LogHasProgressSteps();
    CheckWriteLogOfProgressSteps.SetValue(steps && m.Stop_AtEndWriteLogOfProgressSteps ? ui::kChecked
                                                                                       : ui::kUnchecked);
    if (m.Input_ConstraintSolverMode) CheckFixSeed.SetValue(ui::kUnchecked);
  });
  if (err) Log("Error in StoppingOptionsTab_PutInfo: " + err.Description);
}

void FormProgress::StoppingOptionsTab_GetInfo() {
  WatcherManager& m = *m_Manager;
  m.Stop_AtEndGenerateOptimizationSummary = CheckGenerateOptimizationSummary.Checked();
  m.Stop_AtEndWriteLogOfAllTrials = CheckWriteLogOfAllTrials.Checked();
  m.Stop_AtEndWriteLogOfProgressSteps = CheckWriteLogOfProgressSteps.Checked();
  m.ReportPlacement = std::max(0, ComboReportPlacement.ListIndex());
  if (m.Input_ConstraintSolverMode && !m.Input_ConstraintSolver_FixedSeed) {
    Log("m_Manager.Stop_ConstraintSolver_FixSeed, before setting = " + B(m.Stop_ConstraintSolver_FixSeed));
    m.Stop_ConstraintSolver_FixSeed = CheckFixSeed.Checked();
    Log("m_Manager.Stop_ConstraintSolver_FixSeed, after setting = " + B(m.Stop_ConstraintSolver_FixSeed));
  }
}

void FormProgress::CommandOK_Click() {
  Log("WATCHER, CommandOK_Click: entering");
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ResumeNext([&] {
    if (CheckRestoreOriginal.Enabled() && CheckRestoreOriginal.Checked())
      m.Stop_SolutionToKeep = GdLib::kWhichOriginal;
  });
  ErrorInfo err;
  ResumeNext(err, [&] {
    StoppingOptionsTab_GetInfo();
    m_Form.Hide();
    Log("WATCHER, CommandOK_Click: hid dialog");
    if (m.Input_ConstraintSolverMode && m.Stop_ConstraintSolver_FixSeed) {
      Log("ConstraintSolver_FixSeed, entering");
      if (m.Input_Application) m.Input_Application->ConstraintSolverFixSeed();
    }
    if (m.Input_Application)
      m.Input_Application->EndOfRunChoices(
          m.Stop_AtEndGenerateOptimizationSummary, m.Stop_AtEndWriteLogOfAllTrials,
          m.Stop_AtEndWriteLogOfProgressSteps, m.Stop_SolutionToKeep, m.ReportPlacement);
  });
  if (err) ResumeNext([&] { m.DisplayMessage("Error in OK command handler: " + err.Description, false); });
}

// ---------------------------------------------------------------------------------------------
// Layout

void FormProgress::Form_Resize() {
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ResumeNext([&] {
    if (m_Form.State() == ui::WindowState::Minimized) return;
    if (m_Form.ScaleWidth() < kMinClientWidth)
      m_Form.SetWidth(m_Form.Width() - m_Form.ScaleWidth() + kMinClientWidth);
    const bool solver = m_Manager && m_Manager->Input_ConstraintSolverMode;
    const int minHeight = std::stoi(solver ? kMinClientHeightConstraintSolver : kMinClientHeight);
    if (m_Form.ScaleHeight() < minHeight)
      m_Form.SetHeight(m_Form.Height() - m_Form.ScaleHeight() + minHeight);
    const int cw = std::max(m_Form.ScaleWidth(), kMinClientWidth);
    const int ch = std::max(m_Form.ScaleHeight(), minHeight);

    // Bottom bar: run buttons right-aligned, Stop rightmost; help and minimize on the left.
    const int barHeight = 600;
    FrameBottom.Move(0, ch - barHeight, cw, barHeight);
    const int buttonTop = (barHeight - CommandRun.Height()) / 2;
    CommandStop.SetTop(buttonTop);
    CommandStop.SetLeft(cw - 120 - CommandStop.Width());
    CommandPause.SetTop(buttonTop);
    CommandPause.SetLeft(CommandStop.Left() - 40 - CommandPause.Width());
    CommandRun.SetTop(buttonTop);
    CommandRun.SetLeft(CommandPause.Left() - 40 - CommandRun.Width());
    CommandOK.SetTop(buttonTop);
    CommandOK.SetLeft(cw - 120 - CommandOK.Width());
    CommandHelp.SetTop(buttonTop);
    CommandHelp.SetLeft(120);
    CommandExcelUpdate.SetTop(buttonTop);
    CommandExcelUpdate.SetLeft(CommandHelp.Left() + CommandHelp.Width() + 40);
    CommandMinimizeWatcher.SetTop(buttonTop);
    CommandMinimizeWatcher.SetLeft(CommandExcelUpdate.Left());
    FrameBottomDivider.Move(60, FrameBottom.Top() - 80, cw - 60 - 20, 30);

    // Tab area above the divider; every tab's frame fills the tab control's inner area.
    TabMain.Move(40, 40, cw - 80, FrameBottomDivider.Top() - 40 - 40);
    const int fw = TabMain.Width() - 120;
    const int fh = TabMain.Height() - 420;
    for (auto* frame : FrameTabMain) frame->Move(TabMain.Left() + 60, TabMain.Top() + 360, fw, fh);
    Log("New frame width: " + std::to_string(fw));
    Log("New frame height: " + std::to_string(fh));
    const int inner = fw - 240;

    // Progress: two graphs one above the other, the status line under them.
    LabelProgressStatus.Move(120, fh - 500 + 120, inner, 360);
    const int graphHeight = (LabelProgressStatus.Top() - 120 - 60) / 2;
    OrrGraphAllTrials.Move(120, 60, inner, graphHeight);
    OrrGraphLastTrials.Move(120, 60 + graphHeight + 60, inner, graphHeight);

    // Summary and genetic parameters.
    LabelAdjustableCellValues.Move(120, 60, inner, 240);
    const bool ga = m_Manager && m_Manager->Input_OptimizationEngine == 1;
    const int parametersHeight = ga ? 1440 : 0;
    SGGridSummary.Move(120, 360, inner, std::max(1050, fh - 360 - 120 - parametersHeight));
    int top = SGGridSummary.Top() + SGGridSummary.Height() + 120;
    LabelGeneticAlgorithmParameters.Move(120, top, inner, 240);
    FrameGroupSettingsDivider.Move(120, top + 265, inner, 30);
    for (auto row : {std::tuple{&LabelCrossoverRate, &ScrollCrossover, &TextCrossover, &CommandCrossover},
                     std::tuple{&LabelMutationRate, &ScrollMutation, &TextMutation, &CommandMutation}}) {
      top += 420;
      auto [label, scroll, text, command] = row;
      label->Move(120, top + 40, 2200, 240);
      scroll->Move(2400, top, std::max(1000, inner - 2400 - 2300), 300);
      text->Move(scroll->Left() + scroll->Width() + 120, top, 1000, 300);
      command->Move(text->Left() + 1120, top - 20, 1050, 340);
    }

    // Log, population, colour picture, constraint solver.
    LabelLogType.Move(120, 90, 2000, 240);
    ComboLogType.Move(2200, 60, 3000, 315);
    SGGridLog.Move(120, 480, inner, std::max(600, fh - 480 - 120));
    SGGridPopulation.Move(120, 120, inner, std::max(600, fh - 240));
    LabelPopulationColorGraph.Move(120, 60, inner, 240);
    PopulationColorGraph.Move(120, 360, inner, std::max(600, fh - 360 - 120));
    LabelConstraintSolver.Move(120, 60, inner, 240);
    LabelProgressSolver.Move(120, fh - 420, inner, 300);
    SGGridConstraintSolver.Move(120, 360, inner, std::max(600, LabelProgressSolver.Top() - 360 - 120));
    for (auto* divider : {&FrameSolutionDivider, &FrameReportsDivider, &FrameGeneratorSeedDivider})
      divider->SetWidth(inner);
    LabelStoppingStatus.SetWidth(inner);

    for (auto* grid : {&SGGridSummary, &SGGridLog, &SGGridPopulation, &SGGridConstraintSolver})
      ui::WindowUtilities::AdjustGridColumns(*grid, 5000);
  });
  KickColorGraphTimer();
  m_UpdatingControls = wasUpdating;
}

}  // namespace corvana
