#include "watcher/small_window/FormProgressSmall.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/small_window/SmallWindowFigures.h"
#include "watcher/ui/WindowUtilities.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {

namespace {

using Utilities::GetResourceString;

constexpr int kRowHeight = 380;
constexpr int kCaptionLeft = 120;
constexpr int kCaptionWidth = 1500;
constexpr int kTextLeft = 1680;
constexpr int kTextWidth = 2900;
constexpr int kClientWidth = kTextLeft + kTextWidth + 120;
constexpr int kBarSpace = 500;  // what the window loses when the bar is removed

// Languages whose initialization message goes into the iteration box rather than onto the bar.
bool LongInitializationMessage(long language) {
  return language == 25 || language == 4 || language == 17;
}

}  // namespace

FormProgressSmall::FormProgressSmall(ui::Platform& platform)
    : ProgressForm(platform, "FormProgressSmall"),
      vbalProgressBar(m_Form.Add<ui::ProgressBar>("vbalProgressBar")),
      LabelIteration(m_Form.Add<ui::Label>("LabelIteration")),
      TextIteration(m_Form.Add<ui::TextBox>("TextIteration")),
      FrameBothGdAndCorvana(m_Form.Add<ui::Frame>("FrameBothGdAndCorvana")),
      LabelTrial(m_Form.Add<ui::Label>("LabelTrial")),
      TextTrial(m_Form.Add<ui::TextBox>("TextTrial")),
      LabelRuntime(m_Form.Add<ui::Label>("LabelRuntime")),
      TextRuntime(m_Form.Add<ui::TextBox>("TextRuntime")),
      LabelOriginal(m_Form.Add<ui::Label>("LabelOriginal")),
      TextOriginal(m_Form.Add<ui::TextBox>("TextOriginal")),
      LabelBest(m_Form.Add<ui::Label>("LabelBest")),
      TextBest(m_Form.Add<ui::TextBox>("TextBest")),
      FrameDivider(m_Form.Add<ui::Label>("FrameDivider")),
      FrameBottom(m_Form.Add<ui::Frame>("FrameBottom")),
      CommandRun(m_Form.Add<ui::Button>("CommandRun")),
      CommandPause(m_Form.Add<ui::Button>("CommandPause")),
      CommandStop(m_Form.Add<ui::Button>("CommandStop")),
      CommandExcelUpdate(m_Form.Add<ui::Button>("CommandExcelUpdate")),
      CommandWatcher(m_Form.Add<ui::Button>("CommandWatcher")),
      CommandToSendFocusTo(m_Form.Add<ui::Button>("CommandToSendFocusTo")),
      TimerInitialization(m_Form.Add<ui::Timer>("TimerInitialization", 500, false)) {
  m_Form.SetBorderStyle(ui::BorderStyle::FixedToolWindow);
  m_Form.SetIconKey(ui::PictureKeys::kProgressIcon);

  vbalProgressBar.Move(120, 100, kClientWidth - 240, 340);
  LabelIteration.Move(kCaptionLeft, 640, kCaptionWidth, 255);
  TextIteration.Move(kTextLeft, 600, kTextWidth, 300);
  FrameBothGdAndCorvana.Move(0, 600 + kRowHeight, kClientWidth, 4 * kRowHeight);
  int row = 0;
  for (auto [label, text] : {std::pair{&LabelTrial, &TextTrial}, std::pair{&LabelRuntime, &TextRuntime},
                             std::pair{&LabelOriginal, &TextOriginal}, std::pair{&LabelBest, &TextBest}}) {
    label->SetContainer("FrameBothGdAndCorvana");
    text->SetContainer("FrameBothGdAndCorvana");
    label->Move(kCaptionLeft, row * kRowHeight + 40, kCaptionWidth, 255);
    text->Move(kTextLeft, row * kRowHeight, kTextWidth, 300);
    ++row;
  }
  for (auto* text : {&TextIteration, &TextTrial, &TextRuntime, &TextOriginal, &TextBest}) {
    text->SetLocked(true);
    text->SetAlignment(ui::Alignment::Right);
  }
  const int dividerTop = FrameBothGdAndCorvana.Top() + FrameBothGdAndCorvana.Height() + 40;
  FrameDivider.SetDivider(true);
  FrameDivider.Move(60, dividerTop, kClientWidth - 120, 30);
  FrameBottom.Move(0, dividerTop + 80, kClientWidth, 600);
  int left = 120;
  for (auto [button, key] :
       {std::pair{&CommandRun, ui::PictureKeys::kRun}, std::pair{&CommandPause, ui::PictureKeys::kPause},
        std::pair{&CommandStop, ui::PictureKeys::kStop},
        std::pair{&CommandExcelUpdate, ui::PictureKeys::kExcelUpdate},
        std::pair{&CommandWatcher, ui::PictureKeys::kWatcher}}) {
    button->SetContainer("FrameBottom");
    button->SetPictureKey(key);
    button->Move(left, 90, 600, 420);
    left += 660;
  }
  CommandToSendFocusTo.SetContainer("FrameBottom");
  CommandToSendFocusTo.SetVisible(false);
  m_Form.SetWidth(m_Form.Width() - m_Form.ScaleWidth() + kClientWidth);
  m_Form.SetHeight(m_Form.Height() - m_Form.ScaleHeight() + FrameBottom.Top() + FrameBottom.Height());

  CommandRun.Click = [this] { CommandRun_Click(); };
  CommandPause.Click = [this] { CommandPause_Click(); };
  CommandStop.Click = [this] { CommandStop_Click(); };
  CommandWatcher.Click = [this] { CommandWatcher_Click(); };
  CommandExcelUpdate.Click = [this] { CommandExcelUpdate_Click(); };
  CommandExcelUpdate.MouseUp = [this](int button, int, int x, int y) {
    if (button != ui::kRightButton) return;
    ResumeNext([&] {
      ProcessMenuCommand(
          m_Form.GetPlatform().ShowPopupMenu(m_ExcelUpdatingMenu, m_Form, &CommandExcelUpdate, x, y));
    });
  };
  TimerInitialization.Tick = [this] { TimerInitialization_Timer(); };
  m_Form.Load = [this] { Form_Load(); };
  m_Form.QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
}

FormProgressSmall::~FormProgressSmall() = default;

long FormProgressSmall::LanguageID() const {
  return g_ResourceServer ? g_ResourceServer->LanguageID() : 9;
}

void FormProgressSmall::Initialize(WatcherManager& manager) {
  m_Manager = &manager;
  m_IgnoreButtonEvents = true;
  m_ProgressBarShown = true;
  m_InitializationRemainder = SmallWindowFigures::kInitialRemainder;
  Log("entering FormProgressSmall.Initialize");
  ErrorInfo err;
  ResumeNext(err, [&] {
    vbalProgressBar.SetValue(0);
    vbalProgressBar.SetText("");
    ApplyLanguageLayout();
    // The Excel-updating button is never shown in this window.
    CommandWatcher.SetLeft(CommandExcelUpdate.Left());
    CommandExcelUpdate.SetVisible(false);
    if (!manager.Input_SuppressProgressWindow)
      ui::WindowUtilities::MakeTopMost(m_Form.GetPlatform(), m_Form.Id());
    GoToRunningConfig();
    Update();
    Log("FormProgressSmall.Initialize, Update method returned");
    // A multi-process run starts with every button grey until its first trial.
    if (manager.Input_MCoreOptimization) ControlsAfterStopClickedDisableEnable(false);
    if (!manager.Input_SuppressProgressWindow) {
      m_Form.Show(ui::ShowMode::Modeless);
      m_Form.Refresh();
    }
    m_LastTop = m_PlacedTop = m_Form.Top();
    m_LastLeft = m_PlacedLeft = m_Form.Left();
    m_StartTickCount = m_Form.GetPlatform().TickCount();
    if (manager.Input_MCoreOptimization)
      TimerInitialization.SetEnabled(true);
    else if (manager.Input_Runtime_TrialCount <= 0 && manager.Input_Runtime_Milliseconds <= 0)
      HideProgressBar();
  });
  m_IgnoreButtonEvents = false;
  if (err) {
    const std::string text = "Error in FormProgressSmall.Initialize method: " + err.Description + " (" +
                             std::to_string(static_cast<std::int32_t>(err.Number)) + ")";
    Log(text);
    RaiseApplicationError("FormProgressSmall.Initialize", text);
  }
}

void FormProgressSmall::ApplyFormLocalization() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ResumeNext([&] { ui::WindowUtilities::ApplyFormLocalization(m_Form); });
  ResumeNext([&] {
    std::string caption;
    if (m.Input_ConstraintSolverMode) {
      caption = GetResourceString(4123);
    } else {
      caption = GetResourceString(4100);
      if (m.Input_MCoreNumWorkerProcesses > 1)
        caption += " " + GetResourceString(4127, Variant(m.Input_MCoreNumWorkerProcesses));
    }
    m_Form.SetCaption(caption);
  });
  const auto caption = [](ui::Label& label, long id) {
    ResumeNext([&] { label.SetCaption(GetResourceString(id)); });
  };
  caption(LabelIteration, 4102);
  caption(LabelTrial, 4104);
  caption(LabelRuntime, 4105);
  caption(LabelOriginal, 4106);
  caption(LabelBest, 4107);
  const auto tip = [](ui::Button& button, long id) {
    ResumeNext([&] { button.SetToolTipText(GetResourceString(id)); });
  };
  tip(CommandWatcher, 4108);
  tip(CommandExcelUpdate, 4122);
  tip(CommandRun, 4110);
  tip(CommandPause, 4111);
  tip(CommandStop, 4112);
  m_ExcelUpdatingMenu.Clear();
  for (auto [key, id] : {std::pair{"mnuExcelUpdating_On", 4114}, std::pair{"mnuExcelUpdating_Best", 4116},
                         std::pair{"mnuExcelUpdating_Off", 4117}}) {
    std::string text;
    ResumeNext([&] { text = GetResourceString(id); });
    m_ExcelUpdatingMenu.AddItem(key, text);
  }
}

void FormProgressSmall::ApplyLanguageLayout() {
  ApplyFormLocalization();
  FrameBothGdAndCorvana.SetBorderVisible(false);
  FrameBottom.SetBorderVisible(false);
  const bool solver = m_Manager && m_Manager->Input_ConstraintSolverMode;
  const auto extra = SmallWindowFigures::ExtraWidthsForLanguage(LanguageID(), solver);
  const int both = extra.Captions + extra.TextBoxes;
  if (both == 0) return;
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&FrameBothGdAndCorvana, &FrameBottom, &vbalProgressBar})
    c->SetWidth(c->Width() + both);
  FrameDivider.SetWidth(FrameDivider.Width() + both);
  m_Form.SetWidth(m_Form.Width() + both);
  for (auto* button : {&CommandRun, &CommandPause, &CommandStop, &CommandExcelUpdate, &CommandWatcher})
    button->SetLeft(button->Left() + both);
  for (auto* label : {&LabelIteration, &LabelTrial, &LabelRuntime, &LabelOriginal, &LabelBest})
    label->SetWidth(label->Width() + extra.Captions);
  for (auto* text : {&TextIteration, &TextTrial, &TextRuntime, &TextOriginal, &TextBest}) {
    text->SetLeft(text->Left() + extra.Captions);
    text->SetWidth(text->Width() + extra.TextBoxes);
  }
}

void FormProgressSmall::Dispose() {
  TimerInitialization.SetEnabled(false);
  m_Manager = nullptr;
}

void FormProgressSmall::ApplyRunStateConfig() {
  m_IgnoreButtonEvents = true;
  PressRunPauseButtons(CommandRun, CommandPause);
  m_Form.Refresh();
  m_IgnoreButtonEvents = false;
}

void FormProgressSmall::ControlsAfterStopClickedDisableEnable(bool enable) {
  for (auto [button, key] :
       {std::pair{&CommandRun, ui::PictureKeys::kRun}, std::pair{&CommandPause, ui::PictureKeys::kPause},
        std::pair{&CommandStop, ui::PictureKeys::kStop},
        std::pair{&CommandExcelUpdate, ui::PictureKeys::kExcelUpdate},
        std::pair{&CommandWatcher, ui::PictureKeys::kWatcher}})
    button->SetPictureKey(enable ? std::string(key) : ui::GreyPicture(key));
  m_ExcelUpdateButtonInactive = !enable;
  m_RunPauseStopInactive = !enable;
  m_WatcherButtonInactive = !enable;
}

void FormProgressSmall::UpdateRunPauseButtons() {
  m_RunPauseStopInactive = true;
  PressRunPauseButtons(CommandRun, CommandPause);
  m_RunPauseStopInactive = false;
}

void FormProgressSmall::SetExcelUpdateButtonState(bool pressed) {
  const bool inactive = m_ExcelUpdateButtonInactive;
  m_ExcelUpdateButtonInactive = true;
  CommandExcelUpdate.SetPressed(pressed);
  m_ExcelUpdateButtonInactive = inactive;
}

void FormProgressSmall::PlaceWindow() {
  // On the screen that holds the add-in's window, where the user is looking.
  const auto host =
      m_Manager ? static_cast<ui::WindowId>(static_cast<std::uint32_t>(m_Manager->Input_ExcelAppHwnd)) : 0;
  const ui::Rect area = m_Form.GetPlatform().WorkArea(host);
  m_Form.SetLeft(area.Left + 100);
  m_Form.SetTop(area.Top + area.Height - m_Form.Height() - 100);
}

void FormProgressSmall::HideProgressBar() {
  vbalProgressBar.SetVisible(false);
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &LabelIteration, &TextIteration, &FrameBothGdAndCorvana, &FrameDivider, &FrameBottom})
    c->SetTop(c->Top() - kBarSpace);
  m_Form.SetHeight(m_Form.Height() - kBarSpace);
  m_ProgressBarShown = false;
  // Keep the bottom margin unless the user has put the window elsewhere.
  if (m_Form.Top() == m_PlacedTop && m_Form.Left() == m_PlacedLeft) {
    PlaceWindow();
    m_PlacedTop = m_LastTop = m_Form.Top();
    m_PlacedLeft = m_LastLeft = m_Form.Left();
  }
}

void FormProgressSmall::CheckWindowMoved() {
  if (m_Form.Top() == m_LastTop && m_Form.Left() == m_LastLeft) return;
  ResumeNext([&] { GdLib::GdWriteTempData(ChannelWatcherWindowChanged, Variant(true), 2); });
  m_LastTop = m_Form.Top();
  m_LastLeft = m_Form.Left();
}

void FormProgressSmall::Update() {
  Log("FormProgressSmall.Update: Entering");
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  const bool multiProcess = m.Input_MCoreOptimization;
  double numIterations = 0, numTrialUnderWay = 0, logTrialCount = 0, validTrialCount = 0, elapsed = 0;
  ResumeNext([&] { numIterations = m.NumIterations(); });
  ResumeNext([&] { numTrialUnderWay = m.NumTrialUnderWay(); });
  ResumeNext([&] { logTrialCount = m.LogTrialCount(); });
  ResumeNext([&] { validTrialCount = m.LogValidTrialCount(); });
  ResumeNext([&] { elapsed = m.ElapsedTicks(); });

  SmallWindowFigures::IterationAndTrial figures;
  ResumeNext([&] {
    figures = SmallWindowFigures::SelectIterationAndTrial(
        multiProcess, numIterations, numTrialUnderWay, logTrialCount,
        !multiProcess && numIterations == 0 && logTrialCount != 0 ? m.NumIterationsInCompletedSimulation()
                                                                  : 0);
  });

  std::string iterationText = DoubleToText(figures.Iteration);
  if (m.Input_Runtime_NumIterations > 0)
    ResumeNext([&] {
      iterationText = GetResourceString(4118, Variant(iterationText), Variant(m.Input_Runtime_NumIterations));
    });
  if (!(multiProcess && TimerInitialization.Enabled() && LongInitializationMessage(LanguageID())))
    TextIteration.SetText(iterationText);

  const bool noGoal = m.Input_Runtime_TrialCount <= 0 && m.Input_Runtime_Milliseconds <= 0;
  if (TimerInitialization.Enabled() && (numTrialUnderWay > 0 || numIterations > 0)) {
    TimerInitialization.SetEnabled(false);
    ControlsAfterStopClickedDisableEnable(true);
    if (noGoal && m_ProgressBarShown) HideProgressBar();
  }

  if (vbalProgressBar.Visible() && !TimerInitialization.Enabled()) {
    if (m.Input_Runtime_TrialCount > 0) Log("PROBLEMX: " + DoubleToText(logTrialCount));
    const double percent = SmallWindowFigures::ProgressPercent(logTrialCount, m.Input_Runtime_TrialCount,
                                                               elapsed, m.Input_Runtime_Milliseconds);
    if (percent > 0) {
      vbalProgressBar.SetValue(SmallWindowFigures::BarValue(percent));
      vbalProgressBar.SetText(SmallWindowFigures::PercentText(percent));
    }
  }

  std::string trialText = DoubleToText(figures.Trial);
  if (logTrialCount != validTrialCount)
    ResumeNext([&] { trialText = GetResourceString(4119, Variant(trialText), Variant(validTrialCount)); });
  std::string runtimeText;
  ResumeNext([&] { runtimeText = Utilities::FormatElapsedTime(elapsed); });
  if (m.Input_Runtime_TrialCount <= 0) {
    if (m.Input_Runtime_Milliseconds > 0)
      ResumeNext([&] {
        runtimeText = GetResourceString(4121, Variant(runtimeText),
                                        Variant(Utilities::FormatElapsedTime(m.Input_Runtime_Milliseconds)));
      });
  } else {
    ResumeNext([&] {
      trialText = GetResourceString(4120, Variant(trialText), Variant(m.Input_Runtime_TrialCount));
    });
  }
  TextTrial.SetText(trialText);
  TextRuntime.SetText(runtimeText);

  const auto valueText = [&](double value) {
    return m.Input_ConstraintSolverMode ? Utilities::ConstraintSolverValueText(value, true)
                                        : m.FormatTargetValue(value);
  };
  ResumeNext([&] { TextOriginal.SetText(valueText(m.OriginalObjectiveValue())); });
  ResumeNext([&] { TextBest.SetText(valueText(m.BestObjectiveValue())); });
  CheckWindowMoved();
  Log("FormProgressSmall.Update: Exiting");
}

void FormProgressSmall::TimerInitialization_Timer() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  std::int32_t status = 0;
  ResumeNext([&] { status = GdLib::GdPopGetRunStatus(m.Input_PopHandle); });
  if (status == GdRunStatusPaused) return;
  const double duration = m.Input_MCoreOptimization ? SmallWindowFigures::kInitializationMsMultiProcess
                                                    : SmallWindowFigures::kInitializationMsSingle;
  const double elapsed = static_cast<double>(m_Form.GetPlatform().TickCount() - m_StartTickCount);
  const double percent =
      SmallWindowFigures::InitializationPercent(elapsed, duration, m_InitializationRemainder);
  if (percent <= 0) return;
  vbalProgressBar.SetValue(SmallWindowFigures::BarValue(percent));
  std::string message;
  ResumeNext([&] { message = GetResourceString(4126); });
  if (LongInitializationMessage(LanguageID())) {
    vbalProgressBar.SetText(SmallWindowFigures::PercentText(percent));
    TextIteration.SetText(message);
  } else {
    vbalProgressBar.SetText(message + SmallWindowFigures::PercentText(percent));
  }
}

void FormProgressSmall::SendFocusAway() {
  // No run button keeps a focus rectangle after it was used.
  CommandToSendFocusTo.SetFocus();
}

void FormProgressSmall::CommandRun_Click() {
  if (m_IgnoreButtonEvents || m_RunPauseStopInactive || !m_Manager) return;
  SendFocusAway();
  ResumeNext([&] { m_Manager->CommandResumeOptimization_ProcessClick(); });
}

void FormProgressSmall::CommandPause_Click() {
  if (m_IgnoreButtonEvents || m_RunPauseStopInactive || !m_Manager) return;
  SendFocusAway();
  ResumeNext([&] { m_Manager->CommandPauseOptimization_ProcessClick(); });
}

void FormProgressSmall::CommandStop_Click() {
  if (m_IgnoreButtonEvents || m_RunPauseStopInactive || !m_Manager) return;
  Log("FormProgressSmall.CommandStop_Click: Entering");
  ErrorInfo err;
  ResumeNext(err, [&] {
    SendFocusAway();
    Log("FormProgress.CommandStop_Click: SendFocusAway returned");
    m_Manager->CommandStopOptimization_ProcessClick();
    Log("FormProgress.CommandStop_Click: m_Manager.CommandStopOptimization_ProcessClick returned");
  });
  Log(err ? "FormProgressSmall.CommandStop_Click: exiting with error"
          : "FormProgressSmall.CommandStop_Click: exiting without error");
}

void FormProgressSmall::CommandWatcher_Click() {
  if (m_WatcherButtonInactive || !m_Manager) return;
  ResumeNext([&] { m_Manager->SwitchToWatcherWindow(); });
}

void FormProgressSmall::CommandExcelUpdate_Click() {
  if (m_ExcelUpdateButtonInactive || !m_Manager) return;
  ResumeNext([&] {
    const bool pressed = !CommandExcelUpdate.Pressed();
    m_ExcelUpdateButtonInactive = true;
    CommandExcelUpdate.SetPressed(pressed);
    m_ExcelUpdateButtonInactive = false;
    m_Manager->SetWatcherExcelUpdateButtonState(pressed);
  });
}

void FormProgressSmall::ProcessMenuCommand(const std::string& p_Key) {
  ChooseExcelUpdating(p_Key);
}

void FormProgressSmall::Form_Load() {
  ResumeNext([&] { ui::WindowUtilities::SetFormIcon(m_Form); });
  PlaceWindow();
}

void FormProgressSmall::Form_QueryUnload(bool& cancel, int unloadMode) {
  // The user cannot close it; the manager unloads it.
  if (unloadMode == ui::kUnloadFormControlMenu || unloadMode == ui::kUnloadAppTaskManager) cancel = true;
}

}  // namespace corvana
